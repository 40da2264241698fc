// The file operations on Windows. The game's file names are UTF-8; they are
// turned into UTF-16 here and only the wide calls are used, so "save_Łucja"
// is the same file whatever the console's or the system's code page.
//
// The crash save calls these from a console control handler's thread or an
// exception filter, perhaps while the game thread is inside the C library:
// they allocate nothing and call nothing but the system, so they take none
// of the C library's locks.
#include "platform/file_system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cerrno>
#include <utility>

#include "core/binary_file.h"

namespace kelvrin {

namespace {

// A path in UTF-16, on the stack. Far more than any path the game uses
// ("error_save_" and a name of 30 letters, relative to the current folder)
// or the plain Win32 calls take (MAX_PATH).
class WideName {
public:
    explicit WideName(const char* path) {
        ok_ = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, text_, Capacity) > 0;
        if (!ok_) errno = ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ENAMETOOLONG : EINVAL;
    }
    WideName(const WideName&) = delete;
    WideName& operator=(const WideName&) = delete;

    bool ok() const { return ok_; }
    const wchar_t* text() const { return text_; }

private:
    static constexpr int Capacity = 1024;
    wchar_t text_[Capacity];
    bool ok_;
};

// The errno a failed call leaves behind, as the table's callers read it
// (the lock's EWOULDBLOCK is set by the lock itself).
int failWith(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: errno = ENOENT; break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: errno = EACCES; break;
        case ERROR_WRITE_PROTECT: errno = EROFS; break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
        default: errno = EIO; break;
    }
    return -1;
}

// A descriptor is the handle's own value. A kernel handle has only 32
// significant bits even in a 64-bit process (HandleToLong exists for
// exactly this) and is a small positive number, so -1 stays free for a
// failure. The C library's descriptors would need its locks, which the
// crash save must not wait for.
int descriptorOf(HANDLE file) {
    const long value = ::HandleToLong(file);
    if (value < 0) {
        ::CloseHandle(file);
        errno = EMFILE;
        return -1;
    }
    return static_cast<int>(value);
}

HANDLE handleOf(int fd) { return ::LongToHandle(fd); }

// ReadFile and WriteFile take a 32-bit count; the table's callers go on
// with whatever part was moved.
constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

DWORD transferSize(std::size_t size) { return static_cast<DWORD>(size < MaxTransfer ? size : MaxTransfer); }

// Only a plain file on a disk is read: never a device or a pipe (a folder
// cannot be opened so at all). The file stays open to everyone else, so a
// game reading it never keeps another from saving or deleting.
int windowsOpenForReading(const char* path) {
    const WideName name(path);
    if (!name.ok()) return -1;
    const HANDLE file = ::CreateFileW(name.text(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failWith(::GetLastError());
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        errno = EINVAL;
        return -1;
    }
    return descriptorOf(file);
}

// Always a new plain file: whatever had the name (a temporary file left by
// a crash, or a link put there) is deleted first, so that the write never
// goes through a link to another file. Nobody else may open it while it is
// being written.
int windowsCreateForWriting(const char* path) {
    const WideName name(path);
    if (!name.ok()) return -1;
    ::DeleteFileW(name.text());
    const HANDLE file =
        ::CreateFileW(name.text(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failWith(::GetLastError());
    return descriptorOf(file);
}

// Never in place of a file that is there; others may read it meanwhile.
int windowsCreateNew(const char* path) {
    const WideName name(path);
    if (!name.ok()) return -1;
    const HANDLE file = ::CreateFileW(name.text(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failWith(::GetLastError());
    return descriptorOf(file);
}

long windowsRead(int fd, void* data, std::size_t size) {
    DWORD done = 0;
    if (!::ReadFile(handleOf(fd), data, transferSize(size), &done, nullptr)) return failWith(::GetLastError());
    return static_cast<long>(done);
}

long windowsWrite(int fd, const void* data, std::size_t size) {
    DWORD done = 0;
    if (!::WriteFile(handleOf(fd), data, transferSize(size), &done, nullptr)) return failWith(::GetLastError());
    return static_cast<long>(done);
}

bool windowsFlushToDisk(int fd) { return ::FlushFileBuffers(handleOf(fd)) != 0; }

bool windowsClose(int fd) { return ::CloseHandle(handleOf(fd)) != 0; }

// One step: the old file is there, whole, until the new one has its name,
// and the call returns only when the move is on the disk. On one volume
// (the temporary file is always beside its target) it is a rename, never
// a copy.
bool windowsRename(const char* from, const char* to) {
    const WideName source(from);
    const WideName target(to);
    if (!source.ok() || !target.ok()) return false;
    if (::MoveFileExW(source.text(), target.text(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    failWith(::GetLastError());
    return false;
}

bool windowsRemove(const char* path) {
    const WideName name(path);
    if (!name.ok()) return false;
    if (::DeleteFileW(name.text())) return true;
    failWith(::GetLastError());
    return false;
}

// Anything of that name, a link included (the link itself, not its target).
bool windowsExists(const char* path) {
    const WideName name(path);
    return name.ok() && ::GetFileAttributesW(name.text()) != INVALID_FILE_ATTRIBUTES;
}

// Nothing to do: Windows has no flush of a folder as POSIX has. The folder's
// entry is changed by the rename itself, which MOVEFILE_WRITE_THROUGH
// already waits for (and NTFS keeps in its journal).
void windowsFlushFolderOf(const char*) {}

// The lock is the open handle itself: nobody else may open the file while
// it is held (share mode 0), and the handle goes with the process. Opened
// with delete access and FILE_FLAG_DELETE_ON_CLOSE, the file goes when the
// handle closes, by the game or by the system for a game that crashed.
// Where delete access is refused but the file opens with read access (a
// read-only folder holding an old lock file), the handle still locks and the
// file stays. A file that another copy is removing at this moment refuses
// both for an instant: that is tried again briefly before the folder counts
// as allowing no lock. A link is opened as itself and refused, so the game
// never creates a file elsewhere; only a plain file is locked.
HANDLE openLockHandle(const wchar_t* name, DWORD& error) {
    constexpr DWORD Flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    constexpr std::pair<DWORD, DWORD> ways[] = {{GENERIC_READ | DELETE, Flags | FILE_FLAG_DELETE_ON_CLOSE},
                                                {GENERIC_READ, Flags}};
    for (int attempt = 0; attempt < 50; ++attempt) {
        for (const auto& [access, flags] : ways) {
            const HANDLE file = ::CreateFileW(name, access, 0, nullptr, OPEN_ALWAYS, flags, nullptr);
            if (file != INVALID_HANDLE_VALUE) return file;
            error = ::GetLastError();
            if (error != ERROR_ACCESS_DENIED) return INVALID_HANDLE_VALUE;
        }
        ::Sleep(2);
    }
    return INVALID_HANDLE_VALUE;
}

int windowsLockExclusive(const char* path) {
    const WideName name(path);
    if (!name.ok()) return -1;
    DWORD error = 0;
    const HANDLE file = openLockHandle(name.text(), error);
    if (file == INVALID_HANDLE_VALUE) {
        if (error != ERROR_SHARING_VIOLATION) return failWith(error);
        errno = EWOULDBLOCK;  // another copy of the game holds it
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        ::CloseHandle(file);
        errno = EINVAL;
        return -1;
    }
    return descriptorOf(file);
}

// Nobody can remove or replace a file while the game's unshared handle is
// open on it.
int windowsStillNamed(int, const char*) { return 1; }

constexpr FileOperations windowsOperations{
    windowsOpenForReading, windowsCreateForWriting, windowsRead,   windowsWrite,  windowsFlushToDisk,
    windowsClose,          windowsRename,           windowsRemove, windowsExists, windowsFlushFolderOf,
    windowsLockExclusive,  windowsStillNamed,       windowsCreateNew,
};

}  // namespace

const FileOperations& systemFileOperations() { return windowsOperations; }

}  // namespace kelvrin
