// The smiths' quality table: how good the goods are that the weapon smith
// and the armour smith put out, by the hero's level.
#pragma once

#include <array>

namespace kelvrin {

// Quality of a new shop item: -1 a plain item, 0 a masterwork item without
// enchantment, 2 or more a masterwork item with that enchantment before its
// special properties are rolled. There is no quality 1.
constexpr int PlainQuality = -1;

struct QualityChance {
    int percent;
    int quality;
};

// One row per hero level, 0 to 29: four (chance, quality) pairs whose
// chances add up to 100. Row 0 is never reached by a hero, who starts at
// level 1; a hero of level 30 is served from row 29.
using QualityRow = std::array<QualityChance, 4>;

inline constexpr std::array<QualityRow, 30> shopQualityTable{{
    {{{90, -1}, {10, 0}, {0, 0}, {0, 2}}},   // 0
    {{{85, -1}, {15, 0}, {0, 0}, {0, 2}}},   // 1
    {{{75, -1}, {20, 0}, {5, 0}, {0, 2}}},   // 2
    {{{65, -1}, {25, 0}, {10, 0}, {0, 2}}},  // 3
    {{{55, -1}, {30, 0}, {15, 0}, {0, 2}}},  // 4
    {{{40, -1}, {35, 0}, {20, 0}, {5, 2}}},  // 5
    {{{25, -1}, {40, 0}, {25, 0}, {10, 2}}}, // 6
    {{{10, -1}, {45, 0}, {30, 0}, {15, 2}}}, // 7
    {{{40, 0}, {35, 0}, {20, 2}, {5, 3}}},   // 8
    {{{25, 0}, {40, 0}, {25, 2}, {10, 3}}},  // 9
    {{{10, 0}, {45, 0}, {30, 2}, {15, 3}}},  // 10
    {{{40, 0}, {35, 2}, {20, 3}, {5, 4}}},   // 11
    {{{25, 0}, {40, 2}, {25, 3}, {10, 4}}},  // 12
    {{{10, 0}, {45, 2}, {30, 3}, {15, 4}}},  // 13
    {{{40, 2}, {35, 3}, {20, 4}, {5, 5}}},   // 14
    {{{25, 2}, {40, 3}, {25, 4}, {10, 5}}},  // 15
    {{{10, 2}, {45, 3}, {30, 4}, {15, 5}}},  // 16
    {{{40, 3}, {35, 4}, {20, 5}, {5, 6}}},   // 17
    {{{25, 3}, {40, 4}, {25, 5}, {10, 6}}},  // 18
    {{{10, 3}, {45, 4}, {30, 5}, {15, 6}}},  // 19
    {{{40, 4}, {35, 5}, {20, 6}, {5, 7}}},   // 20
    {{{25, 4}, {40, 5}, {25, 6}, {10, 7}}},  // 21
    {{{10, 4}, {45, 5}, {30, 6}, {15, 7}}},  // 22
    {{{40, 5}, {35, 6}, {20, 7}, {5, 8}}},   // 23
    {{{25, 5}, {40, 6}, {25, 7}, {10, 8}}},  // 24
    {{{10, 5}, {45, 6}, {30, 7}, {15, 8}}},  // 25
    {{{40, 6}, {35, 7}, {20, 8}, {5, 9}}},   // 26
    {{{25, 6}, {40, 7}, {25, 8}, {10, 9}}},  // 27
    {{{10, 6}, {45, 7}, {30, 8}, {15, 9}}},  // 28
    {{{40, 7}, {35, 8}, {20, 9}, {5, 10}}},  // 29
}};

namespace detail {
constexpr bool chancesAddUpTo100() {
    for (const QualityRow& row : shopQualityTable) {
        int sum = 0;
        for (const QualityChance& pair : row) sum += pair.percent;
        if (sum != 100) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::chancesAddUpTo100());

}  // namespace kelvrin
