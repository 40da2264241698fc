#include <gtest/gtest.h>

#include "core/game_state.h"
#include "data/item_tables.h"
#include "items/item_value.h"

namespace kelvrin {
namespace {

ItemSlot weapon(int row, int masterwork, int bonus, std::uint32_t flags) {
    return ItemSlot{row, KindWeapon, masterwork, bonus, flags};
}

class ItemValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        hero = Hero{};
        hero.attributes[Cha] = 10;
    }
};

// Every CHA row: the price factor is held in single precision and the
// price truncated, so CHA 12 sells a 100-gold item for 50, not 51.
TEST_F(ItemValueTest, CharismaScalesPricesInSinglePrecision) {
    const ItemSlot chainShirt{4, KindArmour, 0, 0, Identified};  // "Koszulka kolcza", worth 100
    const ItemSlot longSword = weapon(7, 0, 0, Identified);     // worth 15
    struct Case {
        int cha;
        const ItemSlot& item;
        int sells;
        int costs;
    };
    const Case cases[] = {
        {10, longSword, 7, 22},   {11, longSword, 7, 22},   {10, chainShirt, 50, 150},
        {12, chainShirt, 50, 148}, {13, chainShirt, 50, 148}, {14, chainShirt, 51, 147},
        {15, chainShirt, 51, 147}, {18, chainShirt, 54, 144}, {19, chainShirt, 54, 144},
        {8, chainShirt, 49, 151},  {9, chainShirt, 49, 151},
    };
    for (const Case& c : cases) {
        hero.attributes[Cha] = c.cha;
        EXPECT_EQ(saleValue(c.item), c.sells) << "CHA " << c.cha;
        EXPECT_EQ(purchasePrice(c.item), c.costs) << "CHA " << c.cha;
    }
    EXPECT_EQ(applyPriceFactor(100, 0.5f, 0.01f, 1), 50);
    EXPECT_EQ(applyPriceFactor(100, 1.5f, -0.015f, 1), 148);
    // Crystals from the well raise CHA without end: a price never turns
    // into a payment, and a huge worth never wraps.
    hero.attributes[Cha] = 250;
    EXPECT_EQ(purchasePrice(chainShirt), 0);
    EXPECT_EQ(applyPriceFactor(2000000000, 1.5f, 0.0f, 0), 2147483647);
}

TEST_F(ItemValueTest, WeaponWorth) {
    struct Case {
        const char* what;
        ItemSlot item;
        int sells;  // at CHA 10: half the worth
        int costs;  // at CHA 10: 1.5 times the worth
    };
    const Case cases[] = {
        {"plain", weapon(7, 0, 0, Identified), 7, 22},
        {"masterwork", weapon(7, 1, 0, Identified), 157, 472},
        {"accurate without enchantment counts as plain", weapon(7, 0, 0, Identified | Accurate), 7, 22},
        {"+1 keen: (1 + 2)² × 2000", weapon(7, 1, 1, Identified | Keen), (15 + 300 + 18000) / 2,
         (15 + 300 + 18000) * 3 / 2},
        {"+1 accurate keen of the gods: 7² × 2000", weapon(6, 1, 1, Identified | Accurate | Keen | OfTheGods),
         (6 + 300 + 98000) / 2, (6 + 300 + 98000) * 3 / 2},
        {"known cursed: not bought", weapon(7, 1, -5, Identified | OfTheGods), 0, 472},
        {"unknown cursed sells as plain", weapon(7, 1, -5, OfTheGods), 157, 472},
        {"unknown enchantment is not paid for", weapon(7, 1, 2, 0), 157, (315 + 8000) * 3 / 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saleValue(c.item), c.sells) << c.what;
        EXPECT_EQ(purchasePrice(c.item), c.costs) << c.what;
    }
}

TEST_F(ItemValueTest, ArmourShieldPotionAndGemWorth) {
    struct Case {
        const char* what;
        ItemSlot item;
        int sells;
        int costs;
    };
    const Case cases[] = {
        {"armour +1 resistance blinking: 4² × 1000", ItemSlot{2, KindArmour, 1, 1, Identified | Resistance | Blinking},
         (10 + 150 + 16000) / 2, (10 + 150 + 16000) * 3 / 2},
        {"small armour is no property", ItemSlot{2, KindArmour, 0, 1, Identified | SmallSize}, (10 + 1000) / 2,
         (10 + 1000) * 3 / 2},
        {"known cursed armour", ItemSlot{2, KindArmour, 0, -1, Identified}, 0, 15},
        {"shield +2 masterwork", ItemSlot{1, KindShield, 1, 2, Identified}, (25 + 150 + 4000) / 2,
         (25 + 150 + 4000) * 3 / 2},
        {"known cursed shield", ItemSlot{0, KindShield, 0, -1, Identified}, 0, 15},
        {"unknown potion: 75 whatever it is", ItemSlot{4, KindPotion, 0, 3, 0}, 37, 7500},
        {"kind known: kindOnlyValue", ItemSlot{0, KindPotion, 0, 1, Identified}, 30, 112},
        {"healing +1 known: (1 + 2) × 50 / 2", ItemSlot{0, KindPotion, 0, 1, Identified | StrengthKnown}, 37, 112},
        {"plain healing known", ItemSlot{0, KindPotion, 0, 0, Identified | StrengthKnown}, 25, 75},
        {"harmful potion known: not bought", ItemSlot{3, KindPotion, 0, -1, Identified | StrengthKnown}, 0, 0},
        {"diamond", ItemSlot{3, KindGem, 0, 0, Identified}, 500, 1500},
        {"stone is worth nothing", ItemSlot{5, KindGem, 0, 0, Identified}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saleValue(c.item), c.sells) << c.what;
        EXPECT_EQ(purchasePrice(c.item), c.costs) << c.what;
    }
}

}  // namespace
}  // namespace kelvrin
