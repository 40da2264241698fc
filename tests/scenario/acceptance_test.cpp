#include <deque>
#include "support/game_test.h"
#include "support/test_hero.h"
#include "character/rules_tables.h"
#include "data/feats.h"
#include "data/item_tables.h"
#include "dungeon/special_places.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

using Scratch = GameTest;

TEST_F(Scratch, TerrasqueOdds) {
    for (int level : {20, 25, 30}) {
      for (int weaponBonus : {5, 7}) {
        for (int potions : {0, 10}) {
    int wins = 0, total = 0; long long rounds = 0;
    for (int seed = 1; seed <= 40; ++seed) {
        makeTestHero();
        screen.setPaging(false);
        hero.level = level;
        hero.baseAttack = hero.attackPool = level;
        hero.attributes = {18 + level / 4, 12, 14, 10, 10, 10};
        hero.maxHp = hero.hp = 14 + (level - 1) * 9 + 30;
        hero.weapon = ItemSlot{LongSwordRow, KindWeapon, 1, weaponBonus, Identified};
        hero.armour = ItemSlot{11, KindArmour, 1, 5, Identified};
        hero.shield = ItemSlot{1, KindShield, 1, 5, Identified};
        hero.feats = FeatPowerAttack | FeatCleave;
        hero.weaponFocusMask = hero.weaponSpecMask = hero.improvedCritMask = 1u << LongSwordRow;
        hero.lastChances = 3;
        for (int i = 0; i < potions; ++i) hero.inventory[i] = ItemSlot{2, KindPotion, 0, 0, Identified | StrengthKnown};
        hero.capacity = computeCapacity();
        recomputeLoad();
        world.location = LocationHallsOfPain;
        world.storyFlags = DruidFriend | PaladinFriend;
        seedRandom(seed);
        screen.clearTranscript();
        auto pending = std::make_shared<std::deque<int>>();
        bool started = false;
        screen.setKeySource([&, pending]() -> int {
            if (!pending->empty()) { int k = pending->front(); pending->pop_front(); return k; }
            if (!started) { started = true; return 't'; }
            if (world.inCombat) {
                bool havePotion = false;
                for (auto& s : hero.inventory) havePotion |= s.kind == KindPotion;
                if (hero.hp < hero.maxHp / 2 && havePotion) {
                    for (char c : std::string("u1\n x")) pending->push_back(c);
                    return 'e';
                }
                return 'f';
            }
            return ' ';
        });
        runUntilInputEnds([] { specialPlace(); });
        ++total;
        if (world.has(TerrasqueDead)) ++wins;
        rounds += world.combatRound;
    }
    printf("level %d weapon +%d potions %d: %d/%d won, avg rounds %.1f\n", level, weaponBonus, potions, wins, total, double(rounds)/total);
        }
      }
    }
}

}  // namespace
}  // namespace kelvrin::test
