// Chooses the backend for the process's standard input and output.
#pragma once

#include <memory>

#include "platform/backend.h"

namespace kelvrin {

// The terminal backend when both standard input and standard output are
// terminals; otherwise the stream backend on descriptors 0 and 1.
std::unique_ptr<Backend> makeBackend();

}  // namespace kelvrin
