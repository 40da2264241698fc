// The six attributes in their fixed order (the index is `Attribute` of
// core/game_state.h): the short names printed on the sheet and the creation
// screens, and the long names of the training prompt.
#pragma once

#include <array>

#include "core/game_state.h"

namespace kelvrin {

inline constexpr std::array<const char*, AttributeCount> attributeShortNames{
    "SIŁ", "ZRĘ", "KON", "INT", "MĄD", "CHA",
};

inline constexpr std::array<const char*, AttributeCount> attributeLongNames{
    "Siła", "Zręczność", "Kondycja", "Inteligencja", "Mądrość", "Charyzma",
};

}  // namespace kelvrin
