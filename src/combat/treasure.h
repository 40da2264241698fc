// Treasure: what one creature, chest or find holds. The budget comes from
// the challenge; items, gems and gold are bought from it at random.
#pragma once

#include <cstdint>
#include <vector>

#include "core/item_slot.h"

namespace kelvrin {

// The items of one fight or one find, shown on the loot screen and
// discarded afterwards.
using LootList = std::vector<ItemSlot>;

// One treasure for a challenge (n > 0 is challenge n, -n is challenge 1/n,
// as in the monster catalogue) and a loot word (MonsterLoot bits, or exactly
// LootDoubleTreasure). Items and gems are appended to `loot`; returns the
// gold (0 when the loot word pays none).
int rollTreasure(int challenge, std::uint32_t lootBits, LootList& loot);

// A treasure found outside a fight (a chest, a find on the road): rolls one
// treasure, pays its gold, reports what was found and shows the loot
// screen. The hero can die on the loot screen (a potion drunk from the
// inventory): the caller checks Hero::hp afterwards.
void treasureFind(int challenge, std::uint32_t lootBits);

// The gold and item count lines after a fight or a find, then "(ok)":
// adds `gold` to the hero's purse when it is above 0.
void reportTreasure(int gold, const LootList& loot);

}  // namespace kelvrin
