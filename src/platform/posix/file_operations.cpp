// The file operations on a POSIX system. Every call retries after a signal
// and none allocates, so the crash save can use them from a signal handler.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/binary_file.h"

namespace kelvrin {

namespace {

// Only a plain file is read. Opening without blocking keeps a pipe put in
// a file's place from stopping the game until someone writes into it.
int posixOpenForReading(const char* path) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// Always a new plain file: whatever had the name (a temporary file left by
// a crash, or a pipe or a link put there) is removed first, so that the
// write never blocks on a pipe or goes through a link to another file.
int posixCreateForWriting(const char* path) {
    ::unlink(path);
    for (;;) {
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

int posixCreateNew(const char* path) {
    for (;;) {
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

long posixRead(int fd, void* data, std::size_t size) {
    for (;;) {
        const ssize_t done = ::read(fd, data, size);
        if (done >= 0 || errno != EINTR) return static_cast<long>(done);
    }
}

long posixWrite(int fd, const void* data, std::size_t size) {
    for (;;) {
        const ssize_t done = ::write(fd, data, size);
        if (done >= 0 || errno != EINTR) return static_cast<long>(done);
    }
}

bool posixFlushToDisk(int fd) {
    for (;;) {
        if (::fsync(fd) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// A close interrupted by a signal has still released the descriptor on
// Linux; retrying could close someone else's.
bool posixClose(int fd) { return ::close(fd) == 0 || errno == EINTR; }

bool posixRename(const char* from, const char* to) { return ::rename(from, to) == 0; }
bool posixRemove(const char* path) { return ::unlink(path) == 0; }

bool posixExists(const char* path) {
    struct stat info {};
    return ::lstat(path, &info) == 0;
}

// The folder's own entry must reach the disk too, or a power cut right
// after the rename may bring back the old file.
void posixFlushFolderOf(const char* path) {
    char folder[4096];
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        folder[0] = '.';
        folder[1] = '\0';
    } else {
        const std::size_t length = slash == path ? 1 : static_cast<std::size_t>(slash - path);
        if (length >= sizeof folder) return;
        std::memcpy(folder, path, length);
        folder[length] = '\0';
    }
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Read-only is enough for flock, and opening an existing file so works in
// a folder that is read-only by now. A link is not followed, so the game
// never creates a file elsewhere; opening without blocking keeps a pipe put
// there from stopping the game; only a plain file is locked.
int posixLockExclusive(const char* path) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat info {};
    int failure = EINVAL;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
            if (errno != EINTR) break;
        }
        failure = errno;
    }
    ::close(fd);
    errno = failure;
    return -1;
}

int posixStillNamed(int fd, const char* path) {
    struct stat held {}, named {};
    if (::fstat(fd, &held) != 0) return -1;
    if (::lstat(path, &named) != 0) return errno == ENOENT ? 0 : -1;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino ? 1 : 0;
}

constexpr FileOperations posixOperations{
    posixOpenForReading, posixCreateForWriting, posixRead,   posixWrite,  posixFlushToDisk,
    posixClose,          posixRename,           posixRemove, posixExists, posixFlushFolderOf,
    posixLockExclusive,  posixStillNamed,       posixCreateNew,
};

}  // namespace

const FileOperations& systemFileOperations() { return posixOperations; }

}  // namespace kelvrin
