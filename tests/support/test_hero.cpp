#include "support/test_hero.h"

#include <tuple>

#include "character/rules_tables.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/classes.h"
#include "data/races.h"
#include "items/inventory.h"

namespace kelvrin::test {

void makeTestHero() {
    resetForNewGame();
    std::tie(hero.name, hero.race, hero.heroClass) = std::tuple("Testowy", RaceHuman, ClassFighter);
    hero.attributes = {14, 12, 12, 10, 10, 10};
    hero.maxHp = hero.hp = 12 + attributeModifier(hero.attributes[Con]);
    std::tie(hero.weapon, hero.armour, hero.shield) = std::tuple(ItemSlot{7, KindWeapon, 0, 0, Identified},
                                                                 ItemSlot{6, KindArmour, 0, 0, Identified},
                                                                 ItemSlot{1, KindShield, 0, 0, Identified});
    hero.capacity = computeCapacity();
    recomputeLoad();
}

}  // namespace kelvrin::test
