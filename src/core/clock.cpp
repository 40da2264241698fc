#include "core/clock.h"

#include <ctime>

namespace kelvrin {

namespace {
std::optional<std::int64_t> fixed;
}

std::int64_t nowSeconds() { return fixed ? *fixed : static_cast<std::int64_t>(std::time(nullptr)); }

void setFixedClock(std::optional<std::int64_t> seconds) { fixed = seconds; }

}  // namespace kelvrin
