// The one place the game reads the time (seconds since the epoch): the
// start seed and the dungeon level seeds. Tests fix it.
#pragma once

#include <cstdint>
#include <optional>

namespace kelvrin {

std::int64_t nowSeconds();
// A fixed time for tests; nullopt goes back to the real clock.
void setFixedClock(std::optional<std::int64_t> seconds);

}  // namespace kelvrin
