// The experience table and the carrying-capacity table.
#pragma once

#include <array>

namespace kelvrin {

// The highest level a hero can reach: the entry for it is a stop no
// experience reaches.
constexpr int MaxLevel = 30;

// Entry L: the experience a hero of level L needs for level L + 1, that is
// L(L+1)/2 × 1000 for L from 1 to 29.
inline constexpr std::array<int, MaxLevel + 1> experienceTable{
    0,      1000,   3000,   6000,   10000,  15000,  21000,  28000,  36000,  45000,  55000,
    66000,  78000,  91000,  105000, 120000, 136000, 153000, 171000, 190000, 210000,
    231000, 253000, 276000, 300000, 325000, 351000, 378000, 406000, 435000, 99999999,
};

// Carrying capacity in kg by SIŁ, from SIŁ 0. Entry 24 (500) really is
// above entry 25 (460).
// The last entry, for SIŁ 29, is ours: the capacity rule reduces every
// SIŁ of 30 and more to 20..29 and multiplies by 4, so SIŁ 29, 39, 49 ...
// read it too. 800 lies between SIŁ 28 (700) and SIŁ 30 (230 × 4 = 920),
// which keeps the capacity rising from 28 to 30.
inline constexpr std::array<float, 30> capacityTable{
    5.0f,   10.0f,  15.0f,  20.0f,  25.0f,  30.0f,  35.0f,  40.0f,  45.0f,  50.0f,
    57.5f,  65.0f,  75.0f,  87.5f,  100.0f, 115.0f, 130.0f, 150.0f, 175.0f, 200.0f,
    230.0f, 260.0f, 300.0f, 350.0f, 500.0f, 460.0f, 520.0f, 600.0f, 700.0f, 800.0f,
};

}  // namespace kelvrin
