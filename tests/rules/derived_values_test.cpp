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
        hero.race = RaceHuman;
        hero.heroClass = ClassFighter;
    }
    static ItemSlot armour(int row, int bonus = 0, std::uint32_t flags = Identified, int masterwork = 0) {
        return ItemSlot{row, KindArmour, masterwork, bonus, flags};
    }
};

TEST_F(DerivedValuesTest, AttackBonus) {
    EXPECT_EQ(attackBonus(), 1 + 1);  // SIŁ +1, pool 1, fists
    hero.attributes[Dex] = 16;
    EXPECT_EQ(attackBonus(), 2);
    hero.feats = FeatFinesse;
    EXPECT_EQ(attackBonus(), 3 + 1);  // ZRĘ is higher
    hero.feats = 0;
    hero.weapon = ItemSlot{7, KindWeapon, 1, 0, Identified};
    hero.weaponFocusMask = 1u << 7;
    EXPECT_EQ(attackBonus(), 2 + 1 + 1);  // focus, plain masterwork
    hero.weapon.bonus = 2;
    EXPECT_EQ(attackBonus(), 2 + 1 + 2);  // the enchantment replaces the masterwork point
    hero.weapon.flags |= Accurate;
    EXPECT_EQ(attackBonus(), 2 + 1 + 2 + 2);
    hero.weapon.bonus = -1;
    EXPECT_EQ(attackBonus(), 2 + 1 - 1 - 2);
    hero.race = RaceGnome;
    EXPECT_EQ(attackBonus(), 2 + 1 - 1 - 2 + 1);
    hero.attackPool = -1;  // base attack moved into the feat settings
    EXPECT_EQ(attackBonus(), 1 - 1 + 1 - 1 - 2 + 1);
}

TEST_F(DerivedValuesTest, ArmourClass) {
    hero.attributes[Dex] = 18;
    EXPECT_EQ(armourClass(), 10 + 4);  // no armour, no limit
    hero.armour = armour(6);           // Zbroja łuskowa: kp 4, ZRĘ up to +3
    EXPECT_EQ(armourClass(), 10 + 4 + 3);
    hero.armour.masterwork = 1;
    EXPECT_EQ(armourClass(), 10 + 4 + 4);
    hero.armour.bonus = 1;
    hero.shield = ItemSlot{1, KindShield, 0, 1, Identified};
    hero.expertise = 2;
    hero.kpModifier = -2;
    EXPECT_EQ(armourClass(), 10 + 5 + 4 + 3 + 2 - 2);
    hero.shield.kind = KindEmpty;
    hero.attributes[Dex] = 6;
    hero.race = RaceHalfling;
    EXPECT_EQ(armourClass(), 10 + 5 - 2 + 2 - 2 + 1);
}

TEST_F(DerivedValuesTest, SpeedByRaceArmourFeatsAndLoad) {
    struct Case {
        int race;
        int heroClass;
        int armourRow;
        std::uint32_t feats;
        int steps;
    };
    const Case cases[] = {
        {RaceHuman, ClassFighter, 6, 0, 6},      {RaceHuman, ClassBarbarian, 3, 0, 7},
        {RaceHuman, ClassBarbarian, 11, 0, 4},   {RaceDwarf, ClassFighter, 11, 0, 4},
        {RaceDwarf, ClassBarbarian, 1, 0, 5},    {RaceHalfling, ClassFighter, 0, 0, 4},
        {RaceHalfling, ClassFighter, 9, 0, 3},   {RaceHalfling, ClassBarbarian, 9, FeatRun, 4},
        {RaceHuman, ClassFighter, 0, FeatRun, 7},
    };
    for (const Case& c : cases) {
        hero.race = c.race;
        hero.heroClass = c.heroClass;
        hero.armour = armour(c.armourRow);
        hero.feats = c.feats;
        EXPECT_EQ(speedSteps(), c.steps) << c.race << " " << c.heroClass << " " << c.armourRow;
    }
    hero.feats = 0;
    hero.race = RaceHuman;
    hero.heroClass = ClassFighter;
    hero.armour = armour(0);
    hero.capacity = 10.0f;
    hero.load = 13.0f;  // 9.75 kg is three quarters of it
    EXPECT_EQ(speedSteps(), 6);
    hero.load = 14.0f;
    EXPECT_EQ(speedSteps(), 5);
}

TEST_F(DerivedValuesTest, PoisonResistance) {
    EXPECT_EQ(poisonResistance(), 1 + 1 + 1);  // KON +1, (1 + 2) / 2, 1
    hero.level = 4;
    EXPECT_EQ(poisonResistance(), 1 + 3 + 1);
    hero.race = RaceDwarf;
    hero.feats = FeatPoisonResistance;
    EXPECT_EQ(poisonResistance(), 5 + 2 + 2);
    hero.armour = armour(5, 1, Identified | Resistance);
    EXPECT_EQ(poisonResistance(), 9 + 2);
    hero.armour.bonus = -1;
    EXPECT_EQ(poisonResistance(), 9 - 2);
    hero.armour.bonus = 0;
    EXPECT_EQ(poisonResistance(), 9);
}

}  // namespace
}  // namespace kelvrin::test
