#include <gtest/gtest.h>

#include "world/druid_grove.h"

namespace kelvrin {
namespace {

// The fee follows the charisma modifier in single precision: at 18 the
// product is rounded up to 47 before it is truncated. An absurd charisma
// makes the druid work for free rather than pay the hero.
TEST(DruidFee, FollowsTheCharismaModifierInSinglePrecision) {
    const struct {
        int charisma;
        int fee;
    } cases[] = {{6, 51}, {7, 51}, {8, 50}, {9, 50}, {10, 50}, {11, 50}, {12, 49}, {13, 49},
                 {14, 48}, {15, 48}, {16, 47}, {18, 47}, {20, 46}, {26, 44}, {200, 0}};
    for (const auto& c : cases) EXPECT_EQ(druidIdentificationFee(c.charisma), c.fee) << "CHA " << c.charisma;
}

}  // namespace
}  // namespace kelvrin
