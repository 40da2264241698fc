#include <gtest/gtest.h>

#include "core/game_state.h"
#include "items/item_value.h"

namespace kelvrin {
namespace {

class ItemValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        hero = Hero{};
        hero.attributes[Cha] = 10;
    }
};

// The factor is held in single precision and the price truncated: at CHA 12
// a 100-gold item sells for 50 (0.51f × 100 < 51), at CHA 14 for 51, not 52.
TEST_F(ItemValueTest, CharismaScalesPricesInSinglePrecision) {
    const ItemSlot chainShirt{4, KindArmour, 0, 0, Identified};  // worth 100
    const struct { int cha, sells, costs; } cases[] = {{10, 50, 150}, {12, 50, 148}, {14, 51, 147}, {8, 49, 151}};
    for (const auto& c : cases) {
        hero.attributes[Cha] = c.cha;
        EXPECT_EQ(saleValue(chainShirt), c.sells) << "CHA " << c.cha;
        EXPECT_EQ(purchasePrice(chainShirt), c.costs) << "CHA " << c.cha;
    }
    // Crystals from the well raise CHA without end: a price never turns
    // into a payment, and a huge worth never wraps.
    hero.attributes[Cha] = 250;
    EXPECT_EQ(purchasePrice(chainShirt), 0);
    EXPECT_EQ(applyPriceFactor(2000000000, 1.5f, 0.0f, 0), 2147483647);
}

// At CHA 10: half the worth on sale, 1.5 times on purchase.
TEST_F(ItemValueTest, WorthByKind) {
    const struct { const char* what; ItemSlot item; int sells, costs; } cases[] = {
        {"plain long sword", {7, KindWeapon, 0, 0, Identified}, 7, 22},
        {"masterwork", {7, KindWeapon, 1, 0, Identified}, 157, 472},
        {"a property without enchantment is not paid for", {7, KindWeapon, 0, 0, Identified | Accurate}, 7, 22},
        {"+1 accurate keen of the gods: 7² × 2000", {6, KindWeapon, 1, 1, Identified | Accurate | Keen | OfTheGods},
         (6 + 300 + 98000) / 2, (6 + 300 + 98000) * 3 / 2},
        {"known cursed: not bought", {7, KindWeapon, 1, -5, Identified | OfTheGods}, 0, 472},
        {"unknown cursed sells as plain", {7, KindWeapon, 1, -5, OfTheGods}, 157, 472},
        {"unknown enchantment is not paid for", {7, KindWeapon, 1, 2, 0}, 157, (315 + 8000) * 3 / 2},
        {"armour +1 resistance blinking: 4² × 1000", {2, KindArmour, 1, 1, Identified | Resistance | Blinking},
         (10 + 150 + 16000) / 2, (10 + 150 + 16000) * 3 / 2},
        {"small armour is no property", {2, KindArmour, 0, 1, Identified | SmallSize}, 505, 1515},
        {"shield +2 masterwork", {1, KindShield, 1, 2, Identified}, (25 + 150 + 4000) / 2, (25 + 150 + 4000) * 3 / 2},
        {"unknown potion: 75 whatever it is", {4, KindPotion, 0, 3, 0}, 37, 7500},
        {"kind known: kindOnlyValue", {0, KindPotion, 0, 1, Identified}, 30, 112},
        {"healing +1 known: (1 + 2) × 50 / 2", {0, KindPotion, 0, 1, Identified | StrengthKnown}, 37, 112},
        {"harmful potion known: not bought", {3, KindPotion, 0, -1, Identified | StrengthKnown}, 0, 0},
        {"diamond", {3, KindGem, 0, 0, Identified}, 500, 1500},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(saleValue(c.item), c.sells) << c.what;
        EXPECT_EQ(purchasePrice(c.item), c.costs) << c.what;
    }
}

}  // namespace
}  // namespace kelvrin
