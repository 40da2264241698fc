// What a fight leaves behind, called once at its end (unless the hero
// died): experience, kill bookkeeping and, after a won fight, treasure and
// the loot screen. Also the two small rewards other screens pay out.
#pragma once

#include <vector>

#include "combat/combatant.h"
#include "combat/loot.h"
#include "combat/treasure.h"

namespace kelvrin {

// Called by the fight after its rage and fatigue are undone. `combatants`
// are all the creatures of the fight in turn order (fled ones at
// FledMarker Pw). Returns true when the hero died on the way (a potion
// drunk from the loot screen's inventory): the fight then ends as a death.
bool awardFight(const std::vector<Combatant>& combatants, bool heroFled, bool won);

// Prints "Zdobyłeś N doświadczenia." (with a note when the hero may now
// train for the next level) and adds the amount to Hero::xp.
void gainExperience(int amount);

// Prints "Dostałeś N złota." and adds the amount to Hero::gold.
void gainGold(int amount);

}  // namespace kelvrin
