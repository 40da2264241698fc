// The loot screen: the hero picks items of a treasure into the backpack.
#pragma once

#include "combat/treasure.h"

namespace kelvrin {

// Shows the list until it is empty or the hero walks away; taken items
// leave the list, the rest is lost with it. Returns true when the hero
// died there (a potion drunk from the inventory screen).
bool lootScreen(LootList& loot);

}  // namespace kelvrin
