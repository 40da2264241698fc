#include <gtest/gtest.h>

#include "core/random.h"
#include "items/catalogue.h"

namespace kelvrin {
namespace {

// Loading rebuilds items from stored ids: every row turns back, nothing else does.
TEST(CatalogueTest, StoredIdsTurnBackIntoRows) {
    const int sizes[] = {0, 14, 12, 2, 6, 6};
    for (std::int32_t kind = KindWeapon; kind <= KindGem; ++kind) {
        EXPECT_EQ(catalogueSize(kind), sizes[kind]);
        for (std::int32_t id = 0; id < sizes[kind]; ++id)
            EXPECT_EQ(rowId(ItemSlot{catalogueRow(kind, id).value_or(-1), kind, 0, 0, 0}), id) << kind << " " << id;
        EXPECT_FALSE(catalogueRow(kind, sizes[kind]).has_value()) << kind;
        EXPECT_FALSE(catalogueRow(kind, -1).has_value()) << kind;
    }
    for (std::int32_t kind : {0, 6, -1}) EXPECT_FALSE(catalogueRow(kind, 0).has_value()) << kind;
    EXPECT_EQ(rowId(ItemSlot{14, KindWeapon, 0, 0, 0}), -1);
    EXPECT_STREQ(itemName(ItemSlot{}), "");
    EXPECT_EQ(itemBasePrice(ItemSlot{4, KindPotion, 0, 0, 0}), 2000);  // a potion's worth is its `value`
}

// Seeds chosen for their first two draws % 10: 126 → 0, 0; 8 → 4, 0; 16 → 0, 4.
TEST(CatalogueTest, SpecialPropertiesDrawOnlyWhenTheQualityAllows) {
    const struct { int quality; std::uint32_t seed; int bonus; std::uint32_t properties; int draws; } cases[] = {
        {5, 126, 2, Keen | Accurate, 2}, {4, 126, 2, Keen, 1},  // down to 2: no second draw
        {4, 8, 3, Accurate, 2},          {3, 16, 2, Accurate, 1},  // only the second rule
        {2, 126, 2, 0, 0},
    };
    for (const auto& c : cases) {
        seedRandom(c.seed);
        for (int i = 0; i < c.draws; ++i) randomNext();
        const std::uint32_t expectedState = randomState();
        seedRandom(c.seed);
        std::uint32_t flags = Identified;
        EXPECT_EQ(rollSpecialProperties(c.quality, flags), c.bonus) << c.quality << " " << c.seed;
        EXPECT_EQ(flags, Identified | c.properties) << c.quality << " " << c.seed;
        EXPECT_EQ(randomState(), expectedState) << c.quality << " " << c.seed;
    }
}

}  // namespace
}  // namespace kelvrin
