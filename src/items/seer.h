// The seer of the mages' tower: for a fee he names a monster's strength,
// traits and speed, and where it lives.
#pragma once

#include <string_view>

#include "data/monsters.h"

namespace kelvrin {

// The seer's room, repeated until the player leaves with "x".
void seerScreen();

// The catalogue row whose name is the word, letter case aside (Polish
// letters included); the last matching row wins. -1 when none matches.
int findMonsterByName(std::string_view word);
// 10 gold per challenge; a challenge of 1/n costs 10 / n.
int seerFee(const MonsterDef& monster);
// The enchantment a weapon needs to beat the monster's damage reduction;
// 0 when it has none.
int reductionBeatenBy(const MonsterDef& monster);

}  // namespace kelvrin
