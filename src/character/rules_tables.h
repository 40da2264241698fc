// The rules that read the experience and carrying-capacity tables.
#pragma once

namespace kelvrin {

// Carrying capacity in kg for a SIŁ score and a race row: the table entry
// for SIŁ below 30; above, 4 times the capacity of 10 less, as often as
// needed; times 0.75 for a small race. A SIŁ below 0 (curses can push it
// there) counts as 0.
float computeCapacity(int strength, int race);
// The same for the hero's SIŁ and race.
float computeCapacity();
// The experience a hero of the level needs for the next one (99999999 at
// level 30, which is the highest level).
int xpForNextLevel(int level);

}  // namespace kelvrin
