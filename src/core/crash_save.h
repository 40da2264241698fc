// The crash save: whatever ends the program in the middle of a game (a
// fault, Ctrl-C, a closed terminal or console window, the end of the
// input) keeps the game in "error_save_<name>" and tells the player where
// it went. This is the game's side of it: which hero, which file, which
// bytes, which message. The system's side (platform/crash_handler.h) calls
// crashSaveHook and keepCrashCopy. The file names and the message are
// built when a game starts; the crash path only serializes the hero into a
// static buffer and writes it through the file operations, which is
// async-signal-safe.
#pragma once

#include "platform/crash_handler.h"

namespace kelvrin {

// A game starts (the location loop is entered): builds the crash save's
// file names and message for the current hero, keeps a first copy of him
// and arms the crash save.
void beginGameInProgress();
// The game ended the normal way (death, or back to the main menu).
void endGameInProgress();
bool gameInProgress();

// Writes "error_save_<name>" now, with the hero as the running fight will
// leave him: the game's own thread, outside any signal handler (the input
// ended in the middle of a game). False when no game is in progress or the
// file could not be written (an older crash save is then left whole).
bool writeCrashSave();

// Keeps a copy of the hero, as the running fight will leave him, for a
// crash save taken on another thread. On the game's thread, each time it
// waits for input; nothing outside a game.
void keepCrashCopy();

// The crash save of the copy kept at the last wait for input (the hook
// for a system that writes it itself); false outside a game.
bool keptCrashSave(KeptCrashSave& save);

// The hook for setCrashHooks: writes the crash save of a game in progress
// and ends the game, so it is written once. Async-signal-safe with
// CrashSource::LiveHero.
CrashSaveOutcome crashSaveHook(CrashSource source);

}  // namespace kelvrin
