#include <climits>

#include "core/polish_case.h"
#include "items/mages_tower.h"
#include "items/seer.h"
#include "support/game_test.h"

namespace kelvrin::test {
namespace {

class TowerPricesTest : public GameTest {};

TEST_F(TowerPricesTest, ServicesAtCharisma10And14) {
    const struct {
        const char* what;
        ItemSlot item;
        int enchant10, identify10, curse10, enchant14, identify14, curse14;
    } cases[] = {
        {"sword +1", {7, KindWeapon, 1, 1, Identified}, 8000, 200, 0, 7760, 194, 0},
        {"accurate sword +1", {7, KindWeapon, 1, 1, Identified | Accurate}, 18000, 200, 0, 17460, 194, 0},
        {"strange sword -5", {7, KindWeapon, 1, -5, OfTheGods}, 162000, 200, 25000, 157140, 194, 24250},
        {"blinking armour +2", {6, KindArmour, 1, 2, Identified | Blinking}, 25000, 100, 0, 24250, 97, 0},
        {"small armour", {6, KindArmour, 1, 0, Identified | SmallSize}, 1000, 100, 0, 970, 97, 0},  // no property
        {"cursed shield -3", {1, KindShield, 1, -3, Identified}, 16000, 100, 4500, 15520, 97, 4365},
        {"spoiled potion -1", {0, KindPotion, 0, -1, Identified}, 300, 50, 75, 291, 48, 72},
        {"gem", {2, KindGem, 0, 0, Identified}, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        hero.attributes[Cha] = 10;
        EXPECT_EQ(enchantingPrice(c.item), c.enchant10) << c.what;
        EXPECT_EQ(identificationPrice(c.item), c.identify10) << c.what;
        EXPECT_EQ(curseLiftingPrice(c.item), c.curse10) << c.what;
        hero.attributes[Cha] = 14;
        EXPECT_EQ(enchantingPrice(c.item), c.enchant14) << c.what;
        EXPECT_EQ(identificationPrice(c.item), c.identify14) << c.what;
        EXPECT_EQ(curseLiftingPrice(c.item), c.curse14) << c.what;
    }
}

TEST_F(TowerPricesTest, FactorIsSinglePrecisionTruncatedAndNeverNegative) {
    // At CHA 8 the factor lies just below 1.015, at 18 just below 0.94.
    const ItemSlot sword{7, KindWeapon, 1, 0, Identified};
    for (const auto& [cha, price] : {std::pair{11, 200}, {12, 197}, {8, 202}, {18, 187}}) {
        hero.attributes[Cha] = cha;
        EXPECT_EQ(identificationPrice(sword), price) << cha;
    }
    hero.attributes[Cha] = 10;
    EXPECT_EQ(curseLiftingPrice(ItemSlot{7, KindWeapon, 1, -2000000000, Identified}), INT_MAX);
    EXPECT_EQ(enchantingPrice(ItemSlot{7, KindWeapon, 1, 1100, Identified}), INT_MAX);
    hero.attributes[Cha] = 200;  // a factor below zero
    EXPECT_EQ(identificationPrice(sword), 0);
}

TEST(SeerRulesTest, NamesFoldPolishCaseFeesAndReduction) {
    EXPECT_EQ(foldPolishCase("ĄĆĘŁŃÓŚŹŻ AZ Ü"), "ąćęłńóśźż az Ü");
    EXPECT_FALSE(equalIgnoringCase("Łowca", "Lowca"));
    EXPECT_EQ(findMonsterByName("PALADYN"), MonsterStrongPaladin);  // the last of two rows
    EXPECT_EQ(findMonsterByName("żMIJA"), MonsterViper);
    EXPECT_EQ(findMonsterByName("ŻYWIOŁAK OGNIA"), MonsterFireElemental);
    EXPECT_EQ(findMonsterByName("Rycerz"), -1);
    const struct {
        int row, fee, reduction;
    } cases[] = {
        {MonsterRat, 1, 0},           {MonsterKobold, 1, 0},      {MonsterSkeleton, 3, 0},
        {MonsterZombie, 5, 0},        {MonsterMummy, 30, 1},      {MonsterStoneGolem, 110, 2},
        {MonsterIronGolem, 130, 3},   {MonsterFireElemental, 110, 2}, {MonsterBalor, 180, 3},
        {MonsterTerrasque, 200, 5},   {MonsterDeathKnight, 100, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(seerFee(monsterRow(c.row)), c.fee) << c.row;
        EXPECT_EQ(reductionBeatenBy(monsterRow(c.row)), c.reduction) << c.row;
    }
}

}  // namespace
}  // namespace kelvrin::test
