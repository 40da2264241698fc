#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/game_state.h"
#include "core/random.h"
#include "items/shop.h"

namespace kelvrin {
namespace {

// The generator's state after `n` more draws from the seed.
std::uint32_t stateAfter(std::uint32_t seed, int n) {
    seedRandom(seed);
    for (int i = 0; i < n; ++i) randomNext();
    return randomState();
}

class ShopRulesTest : public ::testing::Test {
protected:
    void SetUp() override { hero = Hero{}; }
};

// One roll (0-99) falls into the cumulative chances of the level's row;
// level 30 has no row of its own and uses that of level 29.
TEST_F(ShopRulesTest, QualityDrawFollowsTheLevelRow) {
    struct Bound { int below, quality; };
    const struct { int level; std::vector<Bound> bounds; } cases[] = {
        {1, {{85, -1}, {100, 0}}},
        {8, {{75, 0}, {95, 2}, {100, 3}}},
        {30, {{40, 7}, {75, 8}, {95, 9}, {100, 10}}},
    };
    for (const auto& c : cases) {
        hero.level = c.level;
        std::set<int> seen;
        for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
            seedRandom(seed);
            const int roll = randomNext() % 100;
            int expected = 0;
            for (auto it = c.bounds.rbegin(); it != c.bounds.rend(); ++it)
                if (roll < it->below) expected = it->quality;
            const std::uint32_t afterOneDraw = stateAfter(seed, 1);
            seedRandom(seed);
            ASSERT_EQ(drawQuality(), expected) << "level " << c.level << " roll " << roll;
            ASSERT_EQ(randomState(), afterOneDraw);
            seen.insert(expected);
        }
        EXPECT_EQ(seen.size(), c.bounds.size()) << "level " << c.level;
    }
}

// Seed 126 draws 0 and 0 (% 10): every property a quality allows. Armour
// takes the same bits (blinking, resistance); shields and plain or
// masterwork goods draw nothing, and a small cut of armour stays.
TEST_F(ShopRulesTest, MakeShopItem) {
    const struct { ItemKind kind; int quality; std::uint32_t flags; ItemSlot item; int draws; } cases[] = {
        {KindWeapon, 5, Identified, {1, KindWeapon, 1, 2, Identified | Keen | Accurate}, 2},
        {KindArmour, 5, Identified, {1, KindArmour, 1, 2, Identified | Blinking | Resistance}, 2},
        {KindShield, 9, Identified, {1, KindShield, 1, 9, Identified}, 0},
        {KindWeapon, -1, Identified, {1, KindWeapon, 0, 0, Identified}, 0},
        {KindArmour, 0, SmallSize, {1, KindArmour, 1, 0, Identified | SmallSize}, 0},
    };
    for (const auto& c : cases) {
        const std::uint32_t expectedState = stateAfter(126, c.draws);
        seedRandom(126);
        EXPECT_EQ(makeShopItem(c.kind, 1, c.quality, c.flags), c.item) << c.kind << " q" << c.quality;
        EXPECT_EQ(randomState(), expectedState) << c.kind << " q" << c.quality;
    }
}

}  // namespace
}  // namespace kelvrin
