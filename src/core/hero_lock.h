// The lock on a hero in play. Two copies of the game started in the same
// folder must not play one hero: the one that saves last would write over
// the other's game without a word. From the moment his name is typed (for
// a new hero or a load) until the game ends, the hero's lock file
// "lock_<name>" is held with an exclusive lock. Only the held lock counts,
// never the file: a game that crashed leaves the file, and the lock goes
// with the process. The file is left in place when the lock is given up,
// so that no copy can lock a file another has just deleted.
#pragma once

#include <string>

namespace kelvrin {

// "lock_<name>": never the name of a save ("save_"), a crash save
// ("error_save_"), the graveyard or a temporary file (".").
std::string lockFileName(const std::string& name);

// Locks the hero of that name, giving up the lock held for an earlier hero
// first. False only when another copy of the game holds it; a folder that
// allows no lock (read-only, no lock support) lets the game go on without.
bool lockHero(const std::string& name);

// The hero is out of play: the lock is given up (the file stays). Does
// nothing when no lock is held.
void releaseHeroLock();

}  // namespace kelvrin
