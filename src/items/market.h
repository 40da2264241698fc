// The market of Blackrock ("TARG"): buys any item the hero has, equipped or
// in the backpack, and sells healing potions and antidotes.
#pragma once

#include <array>

#include "core/item_slot.h"

namespace kelvrin {

// One pass through the market's menu; true while it wants to be shown
// again, false when the hero leaves for the town or dies there (a sold
// weapon of the gods can take his last Pw with it).
bool marketScreen();

// The potion seller's goods, always the same four: a healing potion and an
// antidote, each plain and one step stronger, their strength known.
std::array<ItemSlot, 4> marketPotions();

}  // namespace kelvrin
