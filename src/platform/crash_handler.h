// Whatever ends the program in the middle of a game (a fault, Ctrl-C, a
// closed terminal or console window, the system shutting down) gives the
// console back, keeps the game in its crash save and tells the player where
// it went. This is the system's side of it, the same on every system: the
// POSIX one (signals) lives in platform/posix/, the Windows one (console
// control events, the unhandled-exception filter, std::terminate, abort)
// in platform/windows/. The game's side (which hero, which file, what
// message) is core/crash_save.h, handed over as hooks.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelvrin {

class Backend;

// Where the hero written by a crash save comes from.
enum class CrashSource {
    // The hero as he is now: the game's own thread is stopped where it was
    // (a signal, a fault). Nothing may wait or allocate.
    LiveHero,
    // The copy kept at the game's last wait for input: the crash is handled
    // on a thread of its own while the game's thread may still be changing
    // the hero (a console control event on Windows).
    KeptCopy,
};

enum class CrashSaveOutcome {
    NoGame,   // no game in progress: nothing written, nothing to tell
    Written,  // the crash save is on the disk
    Failed,   // it could not be written (an older one is left whole)
};

// The crash save that the kept copy makes: the file's name, its temporary
// name and its bytes, all owned by the game's side and valid until the
// next wait for input.
struct KeptCrashSave {
    const char* path = nullptr;
    const char* temporaryPath = nullptr;
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
};

// The game's side of a crash.
struct CrashHooks {
    // Writes the crash save of the game in progress, once (a second call
    // finds no game).
    CrashSaveOutcome (*save)(CrashSource source) = nullptr;
    // Keeps a copy of the hero for a later KeptCopy; on the game's thread.
    void (*keepCopy)() = nullptr;
    // The hero leaves play after the crash save: removes what only a game
    // in play keeps on the disk (the hero's lock file). Async-signal-safe.
    void (*leavePlay)() = nullptr;
    // The crash save of the kept copy, for a system that writes it without
    // running game code (a web page after a trap); false outside a game.
    bool (*keptSave)(KeptCrashSave& save) = nullptr;
};

// Installs the handlers, once, at start-up, before the backend is made.
// On POSIX these are all the signal handlers (Ctrl-Z and a change of the
// window's size included), since they share the terminal's restore.
void installCrashHandlers();
void setCrashHooks(const CrashHooks& hooks);

// The console the crash path gives back (Backend::restoreAfterCrash), or
// nullptr; the console module passes every backend it is given. A POSIX
// terminal is given back by its own signal handling instead.
void setCrashConsole(Backend* console);

// The game's thread is about to wait for a key or a line: where the crash
// save is taken on another thread, the hero's copy is kept here. Nothing
// where it is taken on the game's own thread (POSIX signals).
void gameWaitsForInput();

// The crash message of the game that begins, and the text for a crash save
// that failed, both UTF-8 with their line end: turned into what the
// console or the standard error will take now, as the crash path builds
// nothing. Not on the crash path. False when they do not fit the room
// kept for them (no crash save can be announced then).
bool prepareCrashReport(std::string_view written, std::string_view failed);
// Tells the player, on the standard error (Windows: the console, when it
// is one): the prepared crash message, or the failure text. Async-signal-
// safe on POSIX.
void reportCrashSave(bool written);

}  // namespace kelvrin
