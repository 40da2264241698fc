// Writing a whole buffer to a file descriptor, through interruptions and a
// full pipe, for the backends' output.
#pragma once

#include <cstddef>

namespace kelvrin {

// Writes everything; false when the other end is gone (a hangup, a closed
// pipe, a full disk), after which nothing more should be written.
bool writeAll(int fd, const char* data, std::size_t size);

}  // namespace kelvrin
