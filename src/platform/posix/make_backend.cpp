#include "platform/make_backend.h"

#include <unistd.h>

#include <stdexcept>

#include "platform/posix/terminal_backend.h"
#include "platform/stream_backend.h"

namespace kelvrin {

std::unique_ptr<Backend> makeBackend(bool screenReader) {
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        try {
            return std::make_unique<TerminalBackend>(STDIN_FILENO, STDOUT_FILENO, screenReader);
        } catch (const std::runtime_error&) {
            // The terminal refused its settings: plain streams still work.
        }
    }
    return std::make_unique<StreamBackend>(STDIN_FILENO, STDOUT_FILENO, screenReader);
}

}  // namespace kelvrin
