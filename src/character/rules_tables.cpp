#include "character/rules_tables.h"

#include <algorithm>
#include <cmath>

#include "core/game_state.h"
#include "data/progression.h"
#include "data/races.h"

namespace kelvrin {

float computeCapacity(int strength, int race) {
    // A cursed weapon of the gods can push SIŁ below 0; such a hero carries
    // what SIŁ 0 carries instead of reading before the table.
    strength = std::max(strength, 0);
    float capacity;
    if (strength < 30) {
        capacity = capacityTable[static_cast<std::size_t>(strength)];
    } else {
        // Each 10 points above 20..29 multiply the capacity by 4.
        const int n = (strength - 20) / 10;
        capacity = capacityTable[static_cast<std::size_t>(strength - 10 * n)];
        for (int i = 0; i < n && !std::isinf(capacity); ++i) capacity *= 4.0f;
    }
    if (raceHasTrait(race, TraitSmall)) capacity *= 0.75f;
    return capacity;
}

float computeCapacity() { return computeCapacity(hero.attributes[Str], hero.race); }

int xpForNextLevel(int level) {
    level = std::clamp(level, 0, MaxLevel);
    return experienceTable[static_cast<std::size_t>(level)];
}

}  // namespace kelvrin
