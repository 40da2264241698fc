// The file operations in a web page: each file is one key of the
// browser's localStorage (runtime.js), which is synchronous, so the crash
// save can still be written while the page goes away. A hero's lock is a
// Web Lock of the file's name, which the browser gives up when the tab
// closes; no file is kept for it.
#include "platform/file_system.h"

#include <emscripten.h>

#include <cerrno>
#include <cstring>

#include "core/binary_file.h"

namespace kelvrin {

namespace {

// clang-format off
EM_JS(int, webOpenForReading, (const char* path), {
    return Module.kelvrin.files.openForReading(UTF8ToString(path));
});
EM_JS(int, webCreateForWriting, (const char* path), {
    return Module.kelvrin.files.createForWriting(UTF8ToString(path));
});
EM_JS(long, webRead, (int fd, void* data, std::size_t size), {
    const part = Module.kelvrin.files.read(fd, size);
    if (part === null) return -1;
    HEAPU8.set(part, data);
    return part.length;
});
EM_JS(long, webWrite, (int fd, const void* data, std::size_t size), {
    return Module.kelvrin.files.write(fd, HEAPU8.subarray(data, data + size));
});
EM_JS(bool, webFlushToDisk, (int fd), { return Module.kelvrin.files.flush(fd); });
EM_JS(bool, webClose, (int fd), { return Module.kelvrin.files.close(fd); });
EM_JS(bool, webRename, (const char* from, const char* to), {
    return Module.kelvrin.files.rename(UTF8ToString(from), UTF8ToString(to));
});
EM_JS(bool, webRemove, (const char* path), { return Module.kelvrin.files.remove(UTF8ToString(path)); });
EM_JS(bool, webExists, (const char* path), { return Module.kelvrin.files.exists(UTF8ToString(path)); });
EM_JS(bool, webInBrowser, (), { return Module.kelvrin.inBrowser; });
EM_ASYNC_JS(int, webLock, (const char* path), { return await Module.kelvrin.lock(UTF8ToString(path)); });
// clang-format on

int webOpen(const char* path) {
    const int fd = webOpenForReading(path);
    if (fd < 0) errno = ENOENT;
    return fd;
}

void webFlushFolderOf(const char*) {}

int webCreateNew(const char* path) {
    if (webExists(path)) {
        errno = EEXIST;
        return -1;
    }
    return webCreateForWriting(path);
}

// Waiting for the browser's answer is the game's only wait outside a key.
// A page without Web Locks (plain http) gets a lock that keeps no other
// tab out but tells the page which hero is in play; under Node there is
// none, and nothing waits.
int webLockExclusive(const char* path) {
    if (!webInBrowser()) {
        errno = ENOLCK;  // as a folder without lock support: play goes on
        return -1;
    }
    const int fd = webLock(path);
    if (fd == -2) errno = EWOULDBLOCK;
    if (fd == -1) errno = ENOLCK;
    return fd;
}

// A Web Lock is held on the name itself: there is no file that another copy
// could remove beneath it.
int webStillNamed(int, const char*) { return 1; }

constexpr FileOperations webOperations{
    webOpen,  webCreateForWriting, webRead,   webWrite,   webFlushToDisk,   webClose,
    webRename, webRemove,          webExists, webFlushFolderOf, webLockExclusive, webStillNamed,
    webCreateNew,
};

}  // namespace

const FileOperations& systemFileOperations() { return webOperations; }

}  // namespace kelvrin
