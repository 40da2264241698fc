#include "core/binary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kelvrin {

void ByteWriter::putU32(std::uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    putBytes(bytes, sizeof bytes);
}

void ByteWriter::putBytes(const void* bytes, std::size_t count) {
    if (count > size_ - pos_) {
        ok_ = false;
        return;
    }
    std::memcpy(data_ + pos_, bytes, count);
    pos_ += count;
}

void ByteWriter::putZeros(std::size_t count) {
    if (count > size_ - pos_) {
        ok_ = false;
        return;
    }
    std::memset(data_ + pos_, 0, count);
    pos_ += count;
}

std::uint32_t ByteReader::u32() {
    unsigned char b[4];
    bytes(b, sizeof b);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void ByteReader::bytes(void* out, std::size_t count) {
    if (count > size_ - pos_) {
        ok_ = false;
        std::memset(out, 0, count);
        pos_ = size_;
        return;
    }
    std::memcpy(out, data_ + pos_, count);
    pos_ += count;
}

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

constexpr FileOperations posixOperations{
    posixOpenForReading, posixCreateForWriting, posixRead,   posixWrite,  posixFlushToDisk,
    posixClose,          posixRename,           posixRemove, posixExists, posixFlushFolderOf,
    posixLockExclusive,
};

const FileOperations* volatile currentOperations = &posixOperations;

}  // namespace

const FileOperations& posixFileOperations() { return posixOperations; }

void setFileOperations(const FileOperations* operations) {
    currentOperations = operations != nullptr ? operations : &posixOperations;
}

const FileOperations& fileOperations() { return *currentOperations; }

std::string temporaryNameFor(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::string name(path.substr(0, nameStart));
    name += '.';
    name += path.substr(nameStart);
    name += ".tmp";
    return name;
}

bool writeFileAtomically(const char* path, const char* temporaryPath, const unsigned char* data, std::size_t size) {
    const FileOperations& files = fileOperations();
    const int fd = files.createForWriting(temporaryPath);
    if (fd < 0) return false;
    bool written = true;
    while (size > 0) {
        const long done = files.write(fd, data, size);
        if (done <= 0) {  // a full disk, or a write that makes no progress
            written = false;
            break;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    written = written && files.flushToDisk(fd);
    written = files.close(fd) && written;
    if (written && files.rename(temporaryPath, path)) {
        files.flushFolderOf(path);
        return true;
    }
    files.remove(temporaryPath);
    return false;
}

bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& data) {
    const std::string temporary = temporaryNameFor(path);
    return writeFileAtomically(path.c_str(), temporary.c_str(), data.data(), data.size());
}

FileContents readWholeFile(const std::string& path, std::size_t maxSize) {
    const FileOperations& files = fileOperations();
    FileContents contents;
    if (!files.exists(path.c_str())) return contents;
    contents.status = ReadStatus::Unreadable;
    const int fd = files.openForReading(path.c_str());
    if (fd < 0) {
        // Deleted between the check and the open: as good as never there.
        if (!files.exists(path.c_str())) contents.status = ReadStatus::Missing;
        return contents;
    }
    // One byte more than allowed tells a file that is too large.
    std::vector<unsigned char> bytes(maxSize + 1 < 65536 ? maxSize + 1 : 65536);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > maxSize) break;
            bytes.resize(std::min(bytes.size() * 2, maxSize + 1));
        }
        const long done = files.read(fd, bytes.data() + used, bytes.size() - used);
        if (done < 0) {
            files.close(fd);
            return contents;
        }
        if (done == 0) break;
        used += static_cast<std::size_t>(done);
    }
    files.close(fd);
    if (used > maxSize) {
        contents.status = ReadStatus::TooLarge;
        return contents;
    }
    bytes.resize(used);
    contents.status = ReadStatus::Ok;
    contents.bytes = std::move(bytes);
    return contents;
}

bool fileExists(const std::string& path) { return fileOperations().exists(path.c_str()); }
bool removeFile(const std::string& path) { return fileOperations().remove(path.c_str()); }
bool renameFile(const std::string& from, const std::string& to) {
    return fileOperations().rename(from.c_str(), to.c_str());
}

}  // namespace kelvrin
