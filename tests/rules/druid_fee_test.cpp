#include <gtest/gtest.h>

#include "world/druid_grove.h"

namespace kelvrin {
namespace {

// 50 gold less 1.5% per point of the charisma modifier, in single precision:
// at 2 and 3 the float product falls just short of 53 and is truncated to
// 52. An absurd charisma makes the druid work for free rather than pay.
TEST(DruidFee, FollowsTheCharismaModifierInSinglePrecision) {
    for (const auto& [charisma, fee] : {std::pair{3, 52}, {4, 52}, {6, 51}, {8, 50}, {11, 50}, {12, 49}, {14, 48},
                                        {16, 47}, {18, 47}, {20, 46}, {26, 44}, {200, 0}})
        EXPECT_EQ(druidIdentificationFee(charisma), fee) << "CHA " << charisma;
}

}  // namespace
}  // namespace kelvrin
