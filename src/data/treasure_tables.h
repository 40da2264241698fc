// What a creature's or a chest's treasure is worth, and what loot pays for
// an enchantment when it buys one from that worth.
#pragma once

#include <array>

namespace kelvrin {

// Treasure value by challenge 0..20: index 0 serves every fractional
// challenge (1/2 … 1/8), index n challenge n.
inline constexpr std::array<int, 21> treasureValueTable{
    300,   600,   900,   1200,  1600,  2000,  2600,  3400,  4500,  5800,  7500,
    9800,  13000, 17000, 22000, 28000, 36000, 47000, 61000, 80000, 100000,
};

// What loot pays for a weapon's enchantment 0..7: 300 + 2000 × n² (level 0
// is a masterwork weapon without enchantment).
inline constexpr std::array<int, 8> weaponEnchantmentPrice{300, 2300, 8300, 18300, 32300, 50300, 72300, 98300};

// The same for armour and shields, 0..10: 150 + 1000 × n².
inline constexpr std::array<int, 11> armourEnchantmentPrice{150,   1150,  4150,  9150,  16150, 25150,
                                                            36150, 49150, 64150, 81150, 100150};

}  // namespace kelvrin
