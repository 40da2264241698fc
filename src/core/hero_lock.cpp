#include "core/hero_lock.h"

#include <cerrno>

#include "core/binary_file.h"
#include "core/console.h"

namespace kelvrin {

namespace {

// The descriptor that holds the lock, and the file operations it came
// from (tests change them; the lock goes back through the same ones).
int heldLock = -1;
const FileOperations* heldWith = nullptr;

}  // namespace

std::string lockFileName(const std::string& name) { return formatText("lock_%s", name.c_str()); }

bool lockHero(const std::string& name) {
    releaseHeroLock();
    const std::string path = lockFileName(name);
    const FileOperations& files = fileOperations();
    const int fd = files.lockExclusive(path.c_str());
    if (fd >= 0) {
        heldLock = fd;
        heldWith = &files;
        return true;
    }
    return errno != EWOULDBLOCK;
}

void releaseHeroLock() {
    if (heldLock < 0) return;
    heldWith->close(heldLock);
    heldLock = -1;
    heldWith = nullptr;
}

}  // namespace kelvrin
