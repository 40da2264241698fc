// Kelvrin: a text role-playing game. Start-up in the order the game has
// always done it (crash handling, the user's locale, the random seed, the
// console), then the main menu.
#include <clocale>
#include <cstdint>

#include "character/program.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "platform/crash_handler.h"
#include "platform/make_backend.h"

int main() {
    using namespace kelvrin;

    installCrashHandlers();
    setCrashHooks({crashSaveHook, keepCrashCopy, removeHeroLockAfterCrash, keptCrashSave});
    std::setlocale(LC_ALL, "");
    // Numbers keep the C form ("0.5", not "0,5" in a Polish locale).
    std::setlocale(LC_NUMERIC, "C");
    seedRandom(static_cast<std::uint32_t>(nowSeconds()));

    // A terminal smaller than 80×25 is told so before the first screen
    // (and after any change of size that leaves it small); the game runs
    // at any size.
    auto console = makeBackend();
    setBackend(console.get());

    int status = 0;
    bool gameLeftBehind = false;
    try {
        status = runProgram();
    } catch (const EndOfInput&) {
        // The input is closed (a closed pipe or terminal): end quietly, but
        // a game in progress is kept in the crash save.
        gameLeftBehind = gameInProgress();
    }
    if (gameLeftBehind) {
        const bool written = writeCrashSave();
        endGameInProgress();
        // The terminal goes back to the shell first, so the message stays
        // on the screen.
        setBackend(nullptr);
        console.reset();
        reportCrashSave(written);
    }
    // A hero still in play (the input ended) leaves it now, his lock file
    // with him.
    releaseHeroLock();
    // The crash handler lets go of the console before it is destroyed.
    setBackend(nullptr);
    return status;
}
