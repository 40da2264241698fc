#include "core/crash_save.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>

#include "core/binary_file.h"
#include "core/game_state.h"
#include "core/save_file.h"

namespace kelvrin {

namespace {

// Room for "error_save_", a name of 30 characters of up to 4 bytes each,
// the dots of the temporary name, with plenty to spare.
constexpr std::size_t PathCapacity = 256;

constexpr char FailureMessage[] = "Nie mozna zapisac gry!\n";

// How long a crash handler on another thread waits for the game's thread
// to finish the copy it is making (a few microseconds' work).
constexpr std::chrono::seconds CopyWait{1};

char crashPath[PathCapacity];
char crashTemporaryPath[PathCapacity];
SaveImage liveImage;  // the hero written from the game's own thread
SaveImage keptImage;  // the copy kept at the last wait for input

// Set only while the names above and the kept copy belong to the game in
// progress. Lock-free, so a signal handler may read it.
std::atomic<bool> armed{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Guards the names and the kept copy against a crash handler on another
// thread. Never taken in a signal handler.
std::timed_mutex copyLock;

bool copyText(char* buffer, std::size_t capacity, const std::string& text) {
    if (text.size() + 1 > capacity) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

bool writeImage(const SaveImage& image) {
    return writeFileAtomically(crashPath, crashTemporaryPath, image.data(), image.size());
}

// The live hero, with nothing that waits or allocates.
bool writeLiveHero() {
    encodeSave(hero, world, true, liveImage);
    return writeImage(liveImage);
}

}  // namespace

void beginGameInProgress() {
    armed = false;
    const std::string path = crashSaveFileName(hero.name);
    const std::string message =
        "Wystąpił błąd gry, została ona zapisana w pliku " + path + " jednak może nie działać poprawnie.\n";
    if (!prepareCrashReport(message, FailureMessage)) return;  // a name no file system could take anyway
    {
        const std::lock_guard<std::timed_mutex> lock(copyLock);
        if (!copyText(crashPath, PathCapacity, path) ||
            !copyText(crashTemporaryPath, PathCapacity, temporaryNameFor(path)))
            return;
        encodeSave(hero, world, true, keptImage);
    }
    armed = true;
}

void endGameInProgress() { armed = false; }

bool gameInProgress() { return armed; }

bool writeCrashSave() {
    const std::lock_guard<std::timed_mutex> lock(copyLock);
    if (!armed) return false;
    return writeLiveHero();
}

void keepCrashCopy() {
    if (!armed) return;
    const std::lock_guard<std::timed_mutex> lock(copyLock);
    encodeSave(hero, world, true, keptImage);
}

bool keptCrashSave(KeptCrashSave& save) {
    if (!armed) return false;
    save = {crashPath, crashTemporaryPath, keptImage.data(), keptImage.size()};
    return true;
}

CrashSaveOutcome crashSaveHook(CrashSource source) {
    bool written = false;
    if (source == CrashSource::LiveHero) {
        if (!armed) return CrashSaveOutcome::NoGame;
        written = writeLiveHero();
    } else {
        std::unique_lock<std::timed_mutex> lock(copyLock, std::defer_lock);
        if (!lock.try_lock_for(CopyWait)) return armed ? CrashSaveOutcome::Failed : CrashSaveOutcome::NoGame;
        if (!armed) return CrashSaveOutcome::NoGame;
        written = writeImage(keptImage);
    }
    armed = false;
    return written ? CrashSaveOutcome::Written : CrashSaveOutcome::Failed;
}

}  // namespace kelvrin
