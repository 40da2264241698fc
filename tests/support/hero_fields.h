// Every record a save file holds, and those loading derives from them: all
// of the hero and the world but `capacity` and `load` (rebuilt on loading)
// and the row of an empty slot (which means nothing).
#pragma once

#include <algorithm>
#include <string>

#include "core/game_state.h"

namespace kelvrin::test {

#define KELVRIN_SAVED_FIELDS(HERO, WORLD)                                                                        \
    HERO(attributes) HERO(race) HERO(heroClass) HERO(hp) HERO(maxHp) HERO(gold) HERO(level) HERO(xp) HERO(xpNext) \
    HERO(baseAttack) HERO(attackPool) HERO(feats) HERO(powerAttack) HERO(expertise) HERO(toughnessCount)          \
    HERO(ragesLeft) HERO(ragesPerDay) HERO(extraRageCount) HERO(extendedRageCount) HERO(weaponFocusMask)          \
    HERO(weaponSpecMask) HERO(improvedCritMask) HERO(damageReduction) HERO(kpModifier) HERO(poison)               \
    HERO(lastHarm) HERO(alignment) HERO(lastChances) WORLD(questStage) WORLD(storyFlags) WORLD(questKind)          \
    WORLD(killCounts) WORLD(levelSeeds) WORLD(savedX) WORLD(savedY) WORLD(startMarker) WORLD(dungeonLevel)        \
    WORLD(location) WORLD(year) WORLD(day)

inline bool sameSlot(ItemSlot a, ItemSlot b) {
    if (a.kind == KindEmpty) a.ref = 0;
    if (b.kind == KindEmpty) b.ref = 0;
    return a == b;
}

// Empty when the two games hold the same saved records; otherwise the
// first field that differs.
inline std::string savedDifference(const Hero& h1, const WorldState& w1, const Hero& h2, const WorldState& w2) {
#define KELVRIN_SAME_HERO(field) if (!(h1.field == h2.field)) return #field;
#define KELVRIN_SAME_WORLD(field) if (!(w1.field == w2.field)) return #field;
    KELVRIN_SAVED_FIELDS(KELVRIN_SAME_HERO, KELVRIN_SAME_WORLD)
#undef KELVRIN_SAME_HERO
#undef KELVRIN_SAME_WORLD
    if (!sameSlot(h1.weapon, h2.weapon) || !sameSlot(h1.armour, h2.armour) || !sameSlot(h1.shield, h2.shield) ||
        !std::equal(h1.inventory.begin(), h1.inventory.end(), h2.inventory.begin(), sameSlot))
        return "items";
    return {};
}

}  // namespace kelvrin::test
