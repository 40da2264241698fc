#include "support/game_test.h"

#include "character/derived_values.h"
#include "data/classes.h"
#include "data/feats.h"
#include "data/races.h"

namespace kelvrin::test {
namespace {

class DerivedValuesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        hero.attributes = {12, 12, 12, 12, 12, 12};
        hero.heroClass = ClassFighter;
    }
};

TEST_F(DerivedValuesTest, AttackBonus) {
    EXPECT_EQ(attackBonus(), 1 + 1);  // SIŁ +1, pool 1, fists
    hero.attributes[Dex] = 16;
    hero.feats = FeatFinesse;
    EXPECT_EQ(attackBonus(), 3 + 1);  // ZRĘ is higher
    hero.feats = 0;
    hero.weapon = ItemSlot{7, KindWeapon, 1, 0, Identified};
    hero.weaponFocusMask = 1u << 7;
    EXPECT_EQ(attackBonus(), 2 + 1 + 1);  // focus, plain masterwork
    hero.weapon.bonus = 2;
    hero.weapon.flags |= Accurate;
    EXPECT_EQ(attackBonus(), 2 + 1 + 2 + 2);  // the enchantment replaces the masterwork point
    hero.weapon.bonus = -1;
    hero.race = RaceGnome;
    hero.attackPool = -1;  // base attack moved into the feat settings
    EXPECT_EQ(attackBonus(), 1 - 1 + 1 - 1 - 2 + 1);
}

TEST_F(DerivedValuesTest, ArmourClass) {
    hero.attributes[Dex] = 18;
    EXPECT_EQ(armourClass(), 10 + 4);  // no armour, no limit
    hero.armour = ItemSlot{6, KindArmour, 0, 0, Identified};  // kp 4, ZRĘ up to +3
    EXPECT_EQ(armourClass(), 10 + 4 + 3);
    hero.armour.masterwork = 1;
    hero.armour.bonus = 1;
    hero.shield = ItemSlot{1, KindShield, 0, 1, Identified};
    hero.expertise = 2;
    hero.kpModifier = -2;
    EXPECT_EQ(armourClass(), 10 + 5 + 3 + 4 + 2 - 2);
    hero.shield.kind = KindEmpty;
    hero.attributes[Dex] = 6;
    hero.race = RaceHalfling;
    EXPECT_EQ(armourClass(), 10 + 5 - 2 + 2 - 2 + 1);
}

TEST_F(DerivedValuesTest, SpeedByRaceArmourFeatsAndLoad) {
    const struct {
        int race, heroClass, armourRow;
        std::uint32_t feats;
        int steps;
    } cases[] = {
        {RaceHuman, ClassFighter, 6, 0, 6},    {RaceHuman, ClassBarbarian, 3, 0, 7},
        {RaceHuman, ClassBarbarian, 11, 0, 4}, {RaceDwarf, ClassFighter, 11, 0, 4},
        {RaceDwarf, ClassBarbarian, 1, 0, 5},  {RaceHalfling, ClassFighter, 9, 0, 3},
        {RaceHalfling, ClassBarbarian, 9, FeatRun, 4},
    };
    for (const auto& c : cases) {
        hero.race = c.race;
        hero.heroClass = c.heroClass;
        hero.armour = ItemSlot{c.armourRow, KindArmour, 0, 0, Identified};
        hero.feats = c.feats;
        EXPECT_EQ(speedSteps(), c.steps) << c.race << " " << c.heroClass << " " << c.armourRow;
    }
    hero.capacity = 10.0f;
    hero.load = 13.0f;  // three quarters of it is 9.75 kg
    EXPECT_EQ(speedSteps(), 4);
    hero.load = 14.0f;
    EXPECT_EQ(speedSteps(), 3);
}

TEST_F(DerivedValuesTest, PoisonResistance) {
    hero.level = 4;
    EXPECT_EQ(poisonResistance(), 1 + 3 + 1);  // KON +1, (4 + 2) / 2, 1
    hero.race = RaceDwarf;
    hero.feats = FeatPoisonResistance;
    EXPECT_EQ(poisonResistance(), 5 + 2 + 2);
    hero.armour = ItemSlot{5, KindArmour, 0, 1, Resistance};
    EXPECT_EQ(poisonResistance(), 9 + 2);
    hero.armour.bonus = -1;
    EXPECT_EQ(poisonResistance(), 9 - 2);
}

}  // namespace
}  // namespace kelvrin::test
