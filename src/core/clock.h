// The one place the game reads the time (seconds since the epoch): the
// start seed and the dungeon level seeds. Tests fix it; a seeded game, a
// recording and a replay put a source of their own in front of it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace kelvrin {

std::int64_t nowSeconds();
// A fixed time for tests; nullopt goes back to the real clock.
void setFixedClock(std::optional<std::int64_t> seconds);
// Where every clock read goes instead of the system's clock (a fixed
// clock still wins); an empty function goes back to the system's.
void setClockSource(std::function<std::int64_t()> source);
// The system's own clock, for a source that passes it on.
std::int64_t systemSeconds();

}  // namespace kelvrin
