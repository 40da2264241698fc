// The game's one random generator: the linear congruential generator of
// the original runtime (state × 214013 + 2531011 mod 2^32, result
// (state >> 16) & 0x7FFF), so that a seed gives the same game, and the
// same dungeon maps, on every machine.
#pragma once

#include <cstdint>

namespace kelvrin {

void seedRandom(std::uint32_t seed);
// 0 to 32767, like the runtime's rand().
int randomNext();
// a + randomNext() % (b - a + 1): the game's uniform draw from a to b.
int randomRange(int a, int b);
// randomNext() % 20 + 1.
int rollD20();
// The raw state, so a test or a level build can put it back.
std::uint32_t randomState();
void setRandomState(std::uint32_t state);

}  // namespace kelvrin
