// The monster's half of a round: what a creature with a catalogue row,
// enemy or companion, does when its turn comes.
#pragma once

#include "combat/combatant.h"

namespace kelvrin {

// One turn of the monster at `actor` (alive, with `opponents` rebuilt for
// it): regeneration, then flight, healing, turning undead, the druid's and
// the guard caller's gifts, waiting or attacking. May end the fight.
void monsterTurn(FightState& fight, int actor);

// The monster's attacks on one target, in order, until the list ends, the
// target falls or the fight ends.
void monsterAttack(FightState& fight, int actor, int target);

}  // namespace kelvrin
