// The places of the game as a screen reader names them when asked where
// the hero is, by location code (-1 the world map .. 7 the crypt); "%d" is
// the level within the place, counted from 1.
#pragma once

#include <array>

namespace kelvrin {

inline constexpr int FirstPlaceCode = -1;
inline constexpr std::array<const char*, 9> placeNames{{
    "mapa świata",           // -1
    "miasto",                // 0
    "las",                   // 1
    "trakt",                 // 2
    "podziemia, poziom %d",  // 3
    "kopalnia",              // 4
    "sale bólu",             // 5
    "komnata wyzwań",        // 6
    "krypta, poziom %d",     // 7
}};

}  // namespace kelvrin
