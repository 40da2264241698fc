// Small rules shared by many screens.
#pragma once

#include <cstdint>

namespace kelvrin {

// The position of a single set bit (2 gives 1, 0x100000 gives 20); 1, 0, a
// value with several bits set or a bit above 0x100000 give 0.
int bitIndex(std::uint32_t flag);
// Hit points of a level-up for a hit die of 4, 6, 8, 10 or 12, with a
// raised minimum; any other size gives 0.
int rollHitDie(int size);
// "malutki", "mały", "średni", "duży" for -2..1, "brak" otherwise.
const char* sizeName(int size);
// floor((score - 10) / 2), rounding towards minus infinity.
int attributeModifier(int score);
// Prints "%s: %2d (" with the modifier coloured and ")".
void printModifier(const char* shortName, int score);

}  // namespace kelvrin
