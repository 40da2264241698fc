// The crash save: whatever ends the program in the middle of a game (a
// fault, Ctrl-C, SIGTERM, a closed terminal, the end of the input) keeps
// the game in "error_save_<name>" and tells the player where it went.
// The signal side is async-signal-safe: the file names and the message are
// built when a game starts, the hero is serialized into a static buffer
// and written with plain system calls.
#pragma once

namespace kelvrin {

// A game starts (the location loop is entered): builds the crash save's
// file names and message for the current hero and arms the crash save.
void beginGameInProgress();
// The game ended the normal way (death, or back to the main menu).
void endGameInProgress();
bool gameInProgress();

// Writes "error_save_<name>" now, with the hero as the running fight will
// leave him. Async-signal-safe. False when no game is in progress or the
// file could not be written (an older crash save is then left whole).
bool writeCrashSave();
// Tells the player on the standard error: the game's crash message with
// the file's real name, or "Nie mozna zapisac gry!" when it could not be
// written. Async-signal-safe.
void reportCrashSave(bool written);

// The hook for setCrashHook: a game in progress is saved and reported
// (once); outside a game it does nothing.
void crashSaveHook(int signal);

}  // namespace kelvrin
