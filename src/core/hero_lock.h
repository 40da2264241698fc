// The lock on a hero in play. Two copies of the game started in the same
// folder must not play one hero: the one that saves last would write over
// the other's game without a word. From the moment his name is typed (for
// a new hero or a load) until he leaves play, the hero's lock file
// "lock_<name>" is held with an exclusive lock. Only the held lock counts:
// the copy that holds it removes the file when the hero leaves play (while
// still holding it, so no other copy can hold that file then), and a copy
// that takes the lock checks that the name still leads to the file it
// locked, taking it again when the file went away at that moment. A file
// left by a killed game is simply locked again.
#pragma once

#include <string>

#include "core/binary_file.h"

namespace kelvrin {

// "lock_<name>": never the name of a save ("save_"), a crash save
// ("error_save_"), the graveyard or a temporary file (".").
std::string lockFileName(const std::string& name);

// Locks the hero of that name, giving up the lock held for an earlier hero
// first. False only when another copy of the game holds it; a folder that
// allows no lock (read-only, no lock support) lets the game go on without.
bool lockHero(const std::string& name);

// The system's side of lockHero: locks the file at `path` and holds it
// (core/binary_file.h's system answers call it).
LockOutcome takeHeroLockFile(const std::string& path);

// The hero is out of play: the lock file is removed and the lock given up.
// Does nothing when no lock is held.
void releaseHeroLock();

// The crash path's release: removes the held lock's file (the lock itself
// goes with the process). Async-signal-safe, allocates nothing.
void removeHeroLockAfterCrash();

}  // namespace kelvrin
