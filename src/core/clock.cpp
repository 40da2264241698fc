#include "core/clock.h"

#include <ctime>

namespace kelvrin {

namespace {
std::optional<std::int64_t> fixed;
std::function<std::int64_t()> source;
}  // namespace

std::int64_t systemSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::int64_t nowSeconds() {
    if (fixed) return *fixed;
    return source ? source() : systemSeconds();
}

void setFixedClock(std::optional<std::int64_t> seconds) { fixed = seconds; }

void setClockSource(std::function<std::int64_t()> clock) { source = std::move(clock); }

}  // namespace kelvrin
