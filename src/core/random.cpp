#include "core/random.h"

namespace kelvrin {

namespace {
std::uint32_t state = 1;  // the runtime's state before any seeding
}

void seedRandom(std::uint32_t seed) { state = seed; }

int randomNext() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

int randomRange(int a, int b) { return a + randomNext() % (b - a + 1); }

int rollD20() { return randomNext() % 20 + 1; }

std::uint32_t randomState() { return state; }
void setRandomState(std::uint32_t s) { state = s; }

}  // namespace kelvrin
