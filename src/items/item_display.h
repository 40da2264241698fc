// How the player sees an item everywhere: its name with the prefixes and
// suffixes of its properties and enchantment, and, by mode, a bracket of
// statistics.
#pragma once

#include <cstdint>

#include "core/item_slot.h"

namespace kelvrin {

// Display modes of `printItem`.
enum ItemDisplayMode : int {
    ShowName = 0,        // names inside prompts and messages: no bracket
    ShowBackpack = 1,    // the backpack list: catalogue damage, newline
    ShowSheet = 2,       // the character sheet: the hero's damage and threat range
    ShowShopStock = 3,   // smith stock lists: no newline (the price follows)
    ShowPotionList = 4,  // potion lists of the market and the druid
};

// Prints the item in the given mode (0 or less: the name only).
void printItem(const ItemSlot& item, int mode);
// Prints the words of the set damage type bits joined by "/".
void printDamageTypes(std::uint32_t bits);

}  // namespace kelvrin
