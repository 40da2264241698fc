// Resting, at the inn or at home: how many days a typed number asks for.
#pragma once

namespace kelvrin {

// The most days one rest may last (ten years); a longer rest is refused
// with a word to the player.
constexpr int MaxRestDays = 3650;

// The days of a rest, at the inn or at home, from the number the player
// typed: -1 rests until healed at `hpPerDay` Pw a day (rounded up in single
// precision). 0 when there is nothing to do; a rest beyond MaxRestDays is
// refused with "Możesz odpoczywać najwyżej 3650 dni." and a key, then 0.
int restDays(int typed, float hpPerDay);

}  // namespace kelvrin
