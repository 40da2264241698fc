// One disk that fails on command behind the game's file seam, for the fault tests, the fuzzers and the monkey, over
// the real disk or memory (no file touched, no fsync).
// The seam holds plain function pointers: one static disk at a time.
#pragma once

#include <algorithm>
#include <cerrno>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/binary_file.h"
#include "platform/file_system.h"

namespace kelvrin::test {

enum class Fault {
    None,
    ShortTransfers,  // every read and write moves only a few bytes
    FullDisk,        // 64 bytes free: a write goes part of the way, then ENOSPC
    ReadOnlyFolder,  // nothing can be created, renamed, deleted or locked
    FailedRename,    // the temporary file cannot replace the old one
    NoProgress,      // a write moves nothing and reports no error
    FailedFlush,     // the written bytes cannot be flushed to the disk
    ReadError,       // reading stops after the first few bytes with EIO
    Vanishing,       // the file is deleted between the check and the open
    FailedStat,      // whether a name still leads to an open file cannot be told
    FailedRemove,    // no file can be deleted
    Random,          // an open, create, read, write, rename, lock or its check fails one time in four
};

class FailingDisk {
public:
    using Files = std::map<std::string, std::vector<unsigned char>>;

    // `seed` draws the failures of Fault::Random from a generator of their own: the game's draws stay.
    explicit FailingDisk(Fault fault, bool inMemory = false, unsigned seed = 0) {
        s() = State{};
        s().fault = fault;
        s().memory = inMemory;
        s().draws.seed(seed);
        static const FileOperations table{openForReading, createForWriting, read,   write,  flushToDisk,  close,
                                          rename,         remove,           exists, flushFolderOf, lockExclusive,
                                          stillNamed};
        setFileOperations(&table);
    }
    ~FailingDisk() { setFileOperations(nullptr); }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    // The files of an in-memory disk.
    static Files& files() { return s().files; }
    static bool has(const std::string& path) { return s().files.count(path) != 0; }
    // How many operations Fault::Random has failed.
    static long failures() { return s().failures; }

private:
    struct OpenFile { std::string path; std::size_t pos = 0; bool locked = false; };
    struct State {
        Fault fault = Fault::None;
        bool memory = false;
        std::size_t bytesFree = 64;  // for Fault::FullDisk
        long failures = 0;
        std::mt19937 draws;
        std::map<int, int> readsPerFile;
        Files files;
        std::map<int, OpenFile> open;  // the memory disk's descriptors
    };
    static State& s() { static State state; return state; }
    static const FileOperations& real() { return systemFileOperations(); }
    static bool fails(Fault fault) { return s().fault == fault; }
    static bool randomFailure() {
        if (!fails(Fault::Random) || s().draws() % 4 != 0) return false;
        ++s().failures;
        return true;
    }
    static int refuse(int error) {
        errno = error;
        return -1;
    }

    // As flock, a lock taken through another descriptor, even of this process, is someone else's.
    static int newDescriptor(const std::string& path, bool locked = false) {
        const int fd = s().open.empty() ? 3 : s().open.rbegin()->first + 1;
        s().open[fd] = OpenFile{path, 0, locked};
        return fd;
    }
    static OpenFile* openFile(int fd) {
        const auto file = s().open.find(fd);
        return file == s().open.end() || !has(file->second.path) ? nullptr : &file->second;
    }
    static long memoryRead(int fd, void* data, std::size_t size) {
        OpenFile* file = openFile(fd);
        if (file == nullptr) return -1;
        const std::vector<unsigned char>& bytes = s().files[file->path];
        const std::size_t from = std::min(bytes.size(), file->pos), count = std::min(bytes.size() - from, size);
        std::copy_n(bytes.begin() + static_cast<long>(from), count, static_cast<unsigned char*>(data));
        file->pos += count;
        return static_cast<long>(count);
    }
    static long memoryWrite(int fd, const void* data, std::size_t size) {
        OpenFile* file = openFile(fd);
        if (file == nullptr) return -1;
        const auto* bytes = static_cast<const unsigned char*>(data);
        s().files[file->path].insert(s().files[file->path].end(), bytes, bytes + size);
        return static_cast<long>(size);
    }
    static bool memoryRename(const char* from, const char* to) {
        auto file = s().files.extract(from);
        if (!file.empty()) s().files[to] = std::move(file.mapped());
        return !file.empty();
    }
    static int memoryLock(const char* path) {
        for (const auto& [fd, file] : s().open)
            if (file.locked && file.path == path) return refuse(EWOULDBLOCK);
        s().files[path];  // an empty file if there was none
        return newDescriptor(path, true);
    }

    static bool remove(const char* path) {
        return !fails(Fault::ReadOnlyFolder) && !fails(Fault::FailedRemove) &&
               (s().memory ? s().files.erase(path) != 0 : real().remove(path));
    }
    static int openForReading(const char* path) {
        if (fails(Fault::Vanishing)) remove(path);
        if (randomFailure()) return -1;
        const int fd = s().memory ? (has(path) ? newDescriptor(path) : -1) : real().openForReading(path);
        s().readsPerFile[fd] = 0;
        return fd;
    }
    static int createForWriting(const char* path) {
        if (fails(Fault::ReadOnlyFolder)) return refuse(EROFS);
        if (randomFailure()) return -1;
        if (!s().memory) return real().createForWriting(path);
        s().files[path].clear();
        return newDescriptor(path);
    }
    static long read(int fd, void* data, std::size_t size) {
        if (randomFailure()) return -1;
        if (fails(Fault::ShortTransfers)) size = std::min<std::size_t>(size, 3);
        if (fails(Fault::ReadError)) {
            if (s().readsPerFile[fd]++ > 0) return refuse(EIO);
            size = std::min<std::size_t>(size, 16);
        }
        return s().memory ? memoryRead(fd, data, size) : real().read(fd, data, size);
    }
    static long write(int fd, const void* data, std::size_t size) {
        if (randomFailure()) return -1;
        if (fails(Fault::ShortTransfers)) size = std::min<std::size_t>(size, 7);
        if (fails(Fault::NoProgress)) return 0;
        if (fails(Fault::FullDisk)) {
            if (s().bytesFree == 0) return refuse(ENOSPC);
            size = std::min(size, s().bytesFree);
            s().bytesFree -= size;
        }
        return s().memory ? memoryWrite(fd, data, size) : real().write(fd, data, size);
    }
    static bool flushToDisk(int fd) {
        return !fails(Fault::FailedFlush) && (s().memory ? s().open.count(fd) != 0 : real().flushToDisk(fd));
    }
    static bool close(int fd) { return s().memory ? s().open.erase(fd) != 0 : real().close(fd); }
    static bool rename(const char* from, const char* to) {
        return !fails(Fault::ReadOnlyFolder) && !fails(Fault::FailedRename) && !randomFailure() &&
               (s().memory ? memoryRename(from, to) : real().rename(from, to));
    }
    static bool exists(const char* path) { return s().memory ? has(path) : real().exists(path); }
    static void flushFolderOf(const char* path) { s().memory ? void() : real().flushFolderOf(path); }
    static int lockExclusive(const char* path) {
        if (fails(Fault::ReadOnlyFolder)) return refuse(EROFS);
        if (randomFailure()) return refuse(ENOLCK);  // the game goes on without a lock
        return s().memory ? memoryLock(path) : real().lockExclusive(path);
    }
    // Memory has no file identities: a name leads to the open file while the file of that name is there.
    static int stillNamed(int fd, const char* path) {
        if (fails(Fault::FailedStat) || randomFailure()) return refuse(EIO);
        if (!s().memory) return real().stillNamed(fd, path);
        return s().open.count(fd) != 0 && s().open[fd].path == path && has(path) ? 1 : 0;
    }
};

}  // namespace kelvrin::test
