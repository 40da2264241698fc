#include "platform/make_backend.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <stdexcept>

#include "platform/stream_backend.h"
#include "platform/windows/console_backend.h"

namespace kelvrin {

std::unique_ptr<Backend> makeBackend(bool screenReader) {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(in, &mode) && GetConsoleMode(out, &mode)) {
        try {
            return std::make_unique<ConsoleBackend>(in, out, screenReader);
        } catch (const std::runtime_error&) {
            // The console refused the game's settings: plain streams still work.
        }
    }
    // The bytes as they are, both ways: the C library would otherwise write
    // "\n" as "\r\n" and take a Ctrl-Z byte for the end of the input.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    return std::make_unique<StreamBackend>(_fileno(stdin), _fileno(stdout), screenReader);
}

}  // namespace kelvrin
