#include "support/test_hero.h"

#include "character/rules_tables.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/classes.h"
#include "data/races.h"
#include "items/inventory.h"

namespace kelvrin::test {

void makeTestHero() {
    resetForNewGame();
    hero.name = "Testowy";
    hero.race = RaceHuman;
    hero.heroClass = ClassFighter;
    hero.attributes = {14, 12, 12, 10, 10, 10};
    hero.maxHp = 12 + attributeModifier(hero.attributes[Con]);
    hero.hp = hero.maxHp;
    hero.weapon = ItemSlot{7, KindWeapon, 0, 0, Identified};
    hero.armour = ItemSlot{6, KindArmour, 0, 0, Identified};
    hero.shield = ItemSlot{1, KindShield, 0, 0, Identified};
    hero.capacity = computeCapacity();
    recomputeLoad();
}

}  // namespace kelvrin::test
