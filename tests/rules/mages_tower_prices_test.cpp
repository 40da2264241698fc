#include <array>
#include <climits>

#include "core/polish_case.h"
#include "items/mages_tower.h"
#include "items/seer.h"
#include "support/game_test.h"

namespace kelvrin::test {
namespace {

class TowerPricesTest : public GameTest {
protected:
    // Enchanting, identification and lifting the curse at the CHA.
    std::array<int, 3> pricesAt(int cha, const ItemSlot& item) {
        hero.attributes[Cha] = cha;
        return {enchantingPrice(item), identificationPrice(item), curseLiftingPrice(item)};
    }
};

// At CHA 14 the factor is 0.97 in single precision, truncated; at CHA 8 it
// lies just below 1.015, at 18 just below 0.94.
TEST_F(TowerPricesTest, ServicesBySinglePrecisionFactor) {
    using Prices = std::array<int, 3>;
    const struct { ItemSlot item; Prices at10, at14; } cases[] = {
        {{7, KindWeapon, 1, 1, Identified}, {8000, 200, 0}, {7760, 194, 0}},
        {{7, KindWeapon, 1, -5, OfTheGods}, {162000, 200, 25000}, {157140, 194, 24250}},  // the strange sword
        {{6, KindArmour, 1, 2, Identified | Blinking}, {25000, 100, 0}, {24250, 97, 0}},
        {{1, KindShield, 1, -3, Identified}, {16000, 100, 4500}, {15520, 97, 4365}},
        {{0, KindPotion, 0, -1, Identified}, {300, 50, 75}, {291, 48, 72}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pricesAt(10, c.item), c.at10) << c.item.kind << " " << c.item.bonus;
        EXPECT_EQ(pricesAt(14, c.item), c.at14) << c.item.kind << " " << c.item.bonus;
    }
    const ItemSlot sword{7, KindWeapon, 1, 0, Identified};
    EXPECT_EQ(pricesAt(8, sword)[1], 202);
    EXPECT_EQ(pricesAt(18, sword)[1], 187);
    EXPECT_EQ(pricesAt(200, sword)[1], 0);  // a factor below zero charges nothing
    EXPECT_EQ(pricesAt(10, ItemSlot{7, KindWeapon, 1, -2000000000, Identified})[2], INT_MAX);
    EXPECT_EQ(pricesAt(10, ItemSlot{7, KindWeapon, 1, 1100, Identified})[0], INT_MAX);
}

TEST(SeerRulesTest, NamesFoldPolishCaseFeesAndReduction) {
    EXPECT_EQ(foldPolishCase("ĄĆĘŁŃÓŚŹŻ AZ Ü"), "ąćęłńóśźż az Ü");
    EXPECT_FALSE(equalIgnoringCase("Łowca", "Lowca"));
    EXPECT_EQ(findMonsterByName("PALADYN"), MonsterStrongPaladin);  // the last of two rows
    EXPECT_EQ(findMonsterByName("ŻYWIOŁAK OGNIA"), MonsterFireElemental);
    const struct { int row, fee, reduction; } cases[] = {
        {MonsterRat, 1, 0},          {MonsterSkeleton, 3, 0},    {MonsterMummy, 30, 1},
        {MonsterStoneGolem, 110, 2}, {MonsterIronGolem, 130, 3}, {MonsterFireElemental, 110, 2},
        {MonsterBalor, 180, 3},      {MonsterTerrasque, 200, 5}, {MonsterDeathKnight, 100, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(seerFee(monsterRow(c.row)), c.fee) << c.row;
        EXPECT_EQ(reductionBeatenBy(monsterRow(c.row)), c.reduction) << c.row;
    }
}

}  // namespace
}  // namespace kelvrin::test
