// What the druid sells in his grove: six potions of known kind and
// strength. His stock never runs out.
#pragma once

#include <array>

#include "core/item_slot.h"

namespace kelvrin {

inline constexpr std::array<ItemSlot, 6> druidStock{{
    // ref (potion row)              kind        mw bonus flags
    {0 /* Mikstura lecznicza */,     KindPotion, 0, 1, Identified | StrengthKnown},
    {0 /* Mikstura lecznicza */,     KindPotion, 0, 2, Identified | StrengthKnown},
    {0 /* Mikstura lecznicza */,     KindPotion, 0, 3, Identified | StrengthKnown},
    {1 /* Antidotum */,              KindPotion, 0, 1, Identified | StrengthKnown},
    {1 /* Antidotum */,              KindPotion, 0, 2, Identified | StrengthKnown},
    {2 /* Eliksir uzdrowienia */,    KindPotion, 0, 0, Identified | StrengthKnown},
}};

}  // namespace kelvrin
