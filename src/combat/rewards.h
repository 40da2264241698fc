// What a fight leaves behind, called once at its end (unless the hero
// died): experience, kill bookkeeping and, after a won fight, treasure and
// the loot screen.
#pragma once

#include <vector>

#include "combat/combatant.h"

namespace kelvrin {

// Called by the fight after its rage and fatigue are undone. `combatants`
// are all the creatures of the fight in turn order (fled ones at
// FledMarker Pw). Returns true when the hero died on the way (a potion
// drunk from the loot screen's inventory): the fight then ends as a death.
bool awardFight(const std::vector<Combatant>& combatants, bool heroFled, bool won);

}  // namespace kelvrin
