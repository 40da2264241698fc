#include <gtest/gtest.h>

#include <vector>

#include "core/random.h"
#include "items/catalogue.h"

namespace kelvrin {
namespace {

TEST(CatalogueTest, StoredIdsTurnBackIntoRows) {
    const int sizes[] = {0, 14, 12, 2, 6, 6};
    for (std::int32_t kind = KindWeapon; kind <= KindGem; ++kind) {
        EXPECT_EQ(catalogueSize(kind), sizes[kind]);
        for (std::int32_t id = 0; id < sizes[kind]; ++id) {
            const auto ref = catalogueRow(kind, id);
            ASSERT_TRUE(ref.has_value()) << "kind " << kind << " id " << id;
            EXPECT_EQ(rowId(ItemSlot{*ref, kind, 0, 0, 0}), id);
        }
        EXPECT_FALSE(catalogueRow(kind, sizes[kind]).has_value()) << "kind " << kind;
        EXPECT_FALSE(catalogueRow(kind, -1).has_value()) << "kind " << kind;
    }
    for (std::int32_t kind : {0, 6, -1}) EXPECT_FALSE(catalogueRow(kind, 0).has_value()) << kind;
    EXPECT_EQ(rowId(ItemSlot{}), -1);
    EXPECT_EQ(rowId(ItemSlot{14, KindWeapon, 0, 0, 0}), -1);
}

TEST(CatalogueTest, NameWeightAndWorthOfAnyKind) {
    struct Case {
        ItemSlot item;
        const char* name;
        float weight;
        int worth;
    };
    const Case cases[] = {
        {ItemSlot{13, KindWeapon, 0, 0, 0}, "Tasak", 8.0f, 75},
        {ItemSlot{11, KindArmour, 0, 0, 0}, "Zbroja płytowa", 25.0f, 1500},
        {ItemSlot{0, KindShield, 0, 0, 0}, "Puklerz", 2.5f, 10},
        {ItemSlot{4, KindPotion, 0, 0, 0}, "Eliksir zdrowia", 0.25f, 2000},
        {ItemSlot{5, KindGem, 0, 0, 0}, "Kamień", 100.0f, 0},
        {ItemSlot{}, "", 0.0f, 0},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(itemName(c.item), c.name);
        EXPECT_EQ(itemWeight(c.item), c.weight) << c.name;
        EXPECT_EQ(itemBasePrice(c.item), c.worth) << c.name;
    }
}

// The seeds are chosen for their first two draws modulo 10:
// 126 → 0, 0; 16 → 0, 4; 8 → 4, 0; 1 → 1, 7.
TEST(CatalogueTest, SpecialPropertiesDrawOnlyWhenTheQualityAllows) {
    struct Case {
        int quality;
        std::uint32_t seed;
        int bonus;
        std::uint32_t properties;
        int draws;
    };
    const Case cases[] = {
        {5, 126, 2, Keen | Accurate, 2},
        {5, 16, 3, Keen, 2},
        {4, 126, 2, Keen, 1},  // down to 2: no second draw
        {4, 8, 3, Accurate, 2},
        {4, 1, 4, 0, 2},
        {3, 16, 2, Accurate, 1},  // only the second rule applies
        {3, 8, 3, 0, 1},
        {2, 126, 2, 0, 0},
        {-1, 126, -1, 0, 0},
    };
    for (const Case& c : cases) {
        seedRandom(c.seed);
        for (int i = 0; i < c.draws; ++i) randomNext();
        const std::uint32_t expectedState = randomState();

        seedRandom(c.seed);
        std::uint32_t flags = Identified;
        EXPECT_EQ(rollSpecialProperties(c.quality, flags), c.bonus) << "quality " << c.quality << " seed " << c.seed;
        EXPECT_EQ(flags, Identified | c.properties) << "quality " << c.quality << " seed " << c.seed;
        EXPECT_EQ(randomState(), expectedState) << "quality " << c.quality << " seed " << c.seed;
    }
}

}  // namespace
}  // namespace kelvrin
