// Reading and writing a file descriptor (a pipe, a file, a terminal) for
// the backends, through interruptions and a full or empty pipe. One
// implementation per system.
#pragma once

#include <cstddef>

namespace kelvrin {

// Writes everything; false when the other end is gone (a hangup, a closed
// pipe, a full disk), after which nothing more should be written.
bool writeAll(int fd, const char* data, std::size_t size);

// Reads what is there, waiting for at least one byte: the number of bytes
// read, 0 at the end of the input or on a read error (the input is gone).
std::size_t readSome(int fd, char* buffer, std::size_t size);

}  // namespace kelvrin
