// The game's files: fixed-layout records of 32-bit little-endian integers,
// read whole and checked before use, and written whole or not at all (a
// temporary file in the same folder, flushed to the disk, then renamed over
// the old one), so that a crash or a full disk never leaves half a save.
//
// Every file operation goes through one table of functions (the system's
// own by default, platform/file_system.h), which tests can replace to make
// the disk fail in any step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvrin {

// Little-endian fields into a buffer of fixed size. Never allocates (the
// crash handler serializes with it); a write past the end is dropped and
// remembered in ok().
class ByteWriter {
public:
    ByteWriter(unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    void putI32(std::int32_t value) { putU32(static_cast<std::uint32_t>(value)); }
    void putU32(std::uint32_t value);
    void putBytes(const void* bytes, std::size_t count);
    void putZeros(std::size_t count);

    std::size_t position() const { return pos_; }
    bool ok() const { return ok_; }

private:
    unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// Little-endian fields out of a buffer; a read past the end gives zeros and
// is remembered in ok().
class ByteReader {
public:
    ByteReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint32_t u32();
    void bytes(void* out, std::size_t count);

    std::size_t position() const { return pos_; }
    bool ok() const { return ok_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// The file operations everything here is built on. File names are UTF-8.
// The system's own never allocate, and the POSIX ones retry after a signal
// and are async-signal-safe, as the crash save needs.
struct FileOperations {
    int (*openForReading)(const char* path);  // a descriptor of a plain file, or -1
    int (*createForWriting)(const char* path);  // a new file in place of anything of that name; -1 on failure
    // Bytes moved (possibly fewer than asked), 0 at the end of a file, -1 on failure.
    long (*read)(int fd, void* data, std::size_t size);
    long (*write)(int fd, const void* data, std::size_t size);
    bool (*flushToDisk)(int fd);
    bool (*close)(int fd);
    bool (*rename)(const char* from, const char* to);  // replaces `to` in one step
    bool (*remove)(const char* path);
    bool (*exists)(const char* path);
    void (*flushFolderOf)(const char* path);  // makes a rename durable; best effort
    // Takes an exclusive lock on `path` without waiting, creating an empty
    // file there if there is none; the descriptor holds the lock until it
    // is closed (or the process ends). -1 on failure, with errno
    // EWOULDBLOCK when someone else holds the lock, anything else when the
    // folder allows no lock there (read-only, no lock support).
    int (*lockExclusive)(const char* path);
    // Whether `path` still names the file `fd` is open on: 1 when it does,
    // 0 when it names another file or nothing, -1 when that cannot be told.
    // A lock taken on a file that another copy removed at that moment is a
    // lock on nothing; the name must be locked again.
    int (*stillNamed)(int fd, const char* path);
    // A new file for writing, refused (-1, errno EEXIST) when anything of
    // that name is there already. Only the recording of a game uses it.
    int (*createNew)(const char* path) = nullptr;
};

// The operations in use; `operations` stays owned by the caller. nullptr
// puts the system's own back.
void setFileOperations(const FileOperations* operations);
const FileOperations& fileOperations();

// The temporary name a file is written under before it replaces `path`:
// the same folder, a leading dot and ".tmp" ("save_Ala" gives
// ".save_Ala.tmp"), which no game file ever has.
std::string temporaryNameFor(std::string_view path);

// Writes the bytes to `temporaryPath`, flushes them to the disk and renames
// the file over `path`. On any failure the temporary file is removed and
// `path` is left as it was. Async-signal-safe with the system's operations.
// Straight through the file operations, never through the answers in use:
// the crash path writes with it.
bool writeFileAtomically(const char* path, const char* temporaryPath, const unsigned char* data, std::size_t size);
// The game's writes: through the answers in use, under temporaryNameFor(path).
bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& data);

// The largest file the game ever reads: a graveyard of a million heroes.
constexpr std::size_t LargestFileRead = 4 + 58 * std::size_t{1000000};

enum class ReadStatus {
    Ok,
    Missing,
    Unreadable,  // there, but cannot be opened or read (a folder, no permission)
    TooLarge,    // more than the caller's limit
};

struct FileContents {
    ReadStatus status = ReadStatus::Missing;
    std::vector<unsigned char> bytes;
};

// How taking a hero's lock file ended.
enum class LockOutcome {
    Taken,          // held until the hero leaves play
    HeldElsewhere,  // another copy of the game holds it
    Impossible,     // the folder allows no lock: play goes on without
};

// Every question the game asks of the folder it plays in, one at a time,
// and nothing else: the system answers them, unless a recording stands in
// between (it passes each question on and writes the answer down) or a
// replay answers from a recording. The crash path never asks here.
class FileAnswers {
public:
    virtual ~FileAnswers() = default;
    virtual bool exists(const std::string& path) = 0;
    // A whole file of at most maxSize bytes.
    virtual FileContents read(const std::string& path, std::size_t maxSize) = 0;
    // Written whole or not at all (writeFileAtomically).
    virtual bool write(const std::string& path, const std::vector<unsigned char>& bytes) = 0;
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Locks a hero's lock file (core/hero_lock.h keeps what it holds).
    virtual LockOutcome lock(const std::string& path) = 0;
};

// The system's answers, through the file operations in use.
FileAnswers& systemFileAnswers();
// The answers in use (not owned); nullptr puts the system's back.
void setFileAnswers(FileAnswers* answers);
FileAnswers& fileAnswers();

// The game's questions, through the answers in use.
FileContents readWholeFile(const std::string& path, std::size_t maxSize);
bool fileExists(const std::string& path);
bool removeFile(const std::string& path);
bool renameFile(const std::string& from, const std::string& to);

}  // namespace kelvrin
