#include "core/hero_lock.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include "core/binary_file.h"
#include "core/console.h"

namespace kelvrin {

namespace {

// Room for "lock_" and a name of 30 characters of up to 4 bytes each.
constexpr std::size_t PathCapacity = 256;
// How often a lock is taken again when the file it locked has just been
// removed by the copy that held it before.
constexpr int LockAttempts = 8;

// The descriptor that holds the lock, the file operations it came from
// (tests change them; the lock goes back through the same ones) and the
// file's name, kept where the crash path can read it.
int heldLock = -1;
const FileOperations* heldWith = nullptr;
char heldPath[PathCapacity];
// Set only while heldPath names the locked file. Lock-free, so a signal
// handler may read it.
std::atomic<bool> pathHeld{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Removes the locked file's name, once, while the lock is still held; on
// the crash path too (no allocation, a lock-free flag).
void removeLockFile() {
    if (pathHeld.exchange(false)) heldWith->remove(heldPath);  // a failure leaves a file the next copy locks
}

}  // namespace

std::string lockFileName(const std::string& name) { return formatText("lock_%s", name.c_str()); }

bool lockHero(const std::string& name) {
    releaseHeroLock();
    const std::string path = lockFileName(name);
    if (path.size() >= PathCapacity) return true;  // no such name is ever typed: play on without a lock
    return fileAnswers().lock(path) != LockOutcome::HeldElsewhere;
}

LockOutcome takeHeroLockFile(const std::string& path) {
    if (path.size() >= PathCapacity) return LockOutcome::Impossible;
    const FileOperations& files = fileOperations();
    for (int attempt = 0; attempt < LockAttempts; ++attempt) {
        const int fd = files.lockExclusive(path.c_str());
        if (fd < 0) return errno == EWOULDBLOCK ? LockOutcome::HeldElsewhere : LockOutcome::Impossible;
        const int named = files.stillNamed(fd, path.c_str());
        if (named == 1) {
            heldLock = fd;
            heldWith = &files;
            std::memcpy(heldPath, path.c_str(), path.size() + 1);
            pathHeld = true;
            return LockOutcome::Taken;
        }
        files.close(fd);
        if (named < 0) return LockOutcome::Impossible;  // the folder cannot tell: play on without a lock
    }
    return LockOutcome::Impossible;  // the file keeps being replaced: play on without a lock
}

void releaseHeroLock() {
    if (heldLock < 0) return;
    removeLockFile();
    heldWith->close(heldLock);
    heldLock = -1;
    heldWith = nullptr;
}

void removeHeroLockAfterCrash() { removeLockFile(); }

}  // namespace kelvrin
