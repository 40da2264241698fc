// Chooses the backend for the process's standard input and output.
#pragma once

#include <memory>

#include "platform/backend.h"

namespace kelvrin {

// The terminal backend when both standard input and standard output are
// terminals (on Windows: the console backend when both are a console);
// otherwise the stream backend on descriptors 0 and 1, which on Windows
// are switched to binary, so that "\n" stays "\n" and a Ctrl-Z byte is
// no end of input.
// In the screen-reader mode the console gives plain lines (StreamBackend's
// text) wherever it is, with keys read one at a time from a terminal.
std::unique_ptr<Backend> makeBackend(bool screenReader = false);

}  // namespace kelvrin
