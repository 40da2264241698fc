#include <climits>

#include "core/polish_case.h"
#include "items/mages_tower.h"
#include "items/seer.h"
#include "support/game_test.h"

namespace kelvrin::test {
namespace {

class TowerPricesTest : public GameTest {};

// The tower's screens show the weapon and shield prices; here the other
// kinds, the single-precision factor (just below 1.015 at CHA 8, just below
// 0.94 at CHA 18) and the bounds.
TEST_F(TowerPricesTest, PricesByKindFactorAndBounds) {
    const ItemSlot armour{6, KindArmour, 1, 2, Identified | Blinking}, potion{0, KindPotion, 0, -1, Identified};
    const ItemSlot sword{7, KindWeapon, 1, 0, Identified};
    hero.attributes[Cha] = 10;
    EXPECT_EQ(enchantingPrice(armour), 25000);  // (2 + 2 + 1)² × 1000
    EXPECT_EQ(identificationPrice(armour), 100);
    EXPECT_EQ(curseLiftingPrice(armour), 0);
    EXPECT_EQ(enchantingPrice(potion), 300);
    EXPECT_EQ(identificationPrice(potion), 50);
    EXPECT_EQ(curseLiftingPrice(potion), 75);
    EXPECT_EQ(curseLiftingPrice(ItemSlot{7, KindWeapon, 1, -2000000000, Identified}), INT_MAX);
    EXPECT_EQ(enchantingPrice(ItemSlot{7, KindWeapon, 1, 1100, Identified}), INT_MAX);
    for (const auto& [cha, price] : {std::pair{8, 202}, {14, 194}, {18, 187}, {200, 0}}) {
        hero.attributes[Cha] = cha;
        EXPECT_EQ(identificationPrice(sword), price) << cha;
    }
}

TEST(SeerRulesTest, NamesFoldPolishCaseFeesAndReduction) {
    EXPECT_EQ(foldPolishCase("ĄĆĘŁŃÓŚŹŻ AZ Ü"), "ąćęłńóśźż az Ü");
    EXPECT_FALSE(equalIgnoringCase("Łowca", "Lowca"));
    EXPECT_EQ(findMonsterByName("ŻYWIOŁAK OGNIA"), MonsterFireElemental);
    const struct { int row, fee, reduction; } cases[] = {
        {MonsterSkeleton, 3, 0},     {MonsterMummy, 30, 1},      {MonsterStoneGolem, 110, 2},
        {MonsterIronGolem, 130, 3},  {MonsterFireElemental, 110, 2}, {MonsterTerrasque, 200, 5},
        {MonsterDeathKnight, 100, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(seerFee(monsterRow(c.row)), c.fee) << c.row;
        EXPECT_EQ(reductionBeatenBy(monsterRow(c.row)), c.reduction) << c.row;
    }
}

}  // namespace
}  // namespace kelvrin::test
