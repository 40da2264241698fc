// The standard streams of the game under Node (the stream backend on a
// pipe): straight to the process's descriptors, byte for byte. (The
// runtime's own stdout goes through the console a line at a time, which
// would add line ends of its own.)
#include "platform/fd_io.h"

#include <emscripten.h>

namespace kelvrin {

namespace {

// clang-format off
EM_JS(bool, webWriteStream, (int fd, const char* data, std::size_t size), {
    return Module.kelvrin.writeStream(fd, HEAPU8.subarray(data, data + size));
});
EM_JS(int, webReadStream, (int fd, char* buffer, std::size_t size), {
    const bytes = Module.kelvrin.readStream(fd, size);
    if (bytes === null) return 0;
    HEAPU8.set(bytes, buffer);
    return bytes.length;
});
// clang-format on

}  // namespace

bool writeAll(int fd, const char* data, std::size_t size) { return webWriteStream(fd, data, size); }

std::size_t readSome(int fd, char* buffer, std::size_t size) {
    return static_cast<std::size_t>(webReadStream(fd, buffer, size));
}

}  // namespace kelvrin
