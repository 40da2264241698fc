#include <gtest/gtest.h>

#include "character/rules_tables.h"
#include "core/game_state.h"
#include "data/classes.h"
#include "data/races.h"

namespace kelvrin {
namespace {

TEST(RulesTablesTest, CarryingCapacityBySilAndRace) {
    struct Case {
        int strength;
        int race;
        float kg;
    };
    const Case cases[] = {
        {10, RaceHuman, 57.5f},
        {10, RaceHalfling, 43.125f},  // small race: three quarters
        {24, RaceHuman, 500.0f},      // above SIŁ 25, as the table has it
        {25, RaceHuman, 460.0f},
        {28, RaceHuman, 700.0f},
        {29, RaceHuman, 800.0f},      // the entry beyond the listed 29
        {30, RaceHuman, 920.0f},      // 230 × 4
        {39, RaceHuman, 3200.0f},     // reads the SIŁ 29 entry again: 800 × 4
        {45, RaceHuman, 7360.0f},     // 460 × 16
        {50, RaceGnome, 230.0f * 64 * 0.75f},
        {30, RaceHalfling, 690.0f},
        {0, RaceHuman, 5.0f},
        {-1, RaceHuman, 5.0f},  // a curse below 0 counts as 0
        {-5, RaceGnome, 3.75f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(computeCapacity(c.strength, c.race), c.kg) << "SIŁ " << c.strength << ", race " << c.race;
    hero.attributes[Str] = 12;
    hero.race = RaceGnome;
    EXPECT_EQ(computeCapacity(), 75.0f * 0.75f);
}

TEST(RulesTablesTest, ExperienceForTheNextLevel) {
    for (int level = 1; level < 30; ++level)
        EXPECT_EQ(xpForNextLevel(level), level * (level + 1) / 2 * 1000) << "level " << level;
    EXPECT_EQ(xpForNextLevel(0), 0);
    EXPECT_EQ(xpForNextLevel(30), 99999999);  // level 30 is the last
    EXPECT_EQ(xpForNextLevel(31), 99999999);
    EXPECT_EQ(xpForNextLevel(-3), 0);
}

TEST(RulesTablesTest, ClassFeaturesByLevel) {
    EXPECT_EQ(classFeaturesAt(ClassBarbarian, 1), FeatureFastMovement | FeatureRage);
    EXPECT_EQ(classFeaturesAt(ClassBarbarian, 20), FeatureRage | FeatureTirelessRage);
    EXPECT_EQ(classFeaturesAt(ClassFighter, 21), 0u);
    EXPECT_EQ(classFeaturesAt(2, 2), 0u);
    // Levels 2-20: a fighter gains ten bonus feats on the even levels; a
    // barbarian five more rages and three points of damage reduction.
    int fighterFeats = 0, rages = 0, reduction = 0;
    for (int level = 2; level <= 20; ++level) {
        const bool feat = classFeaturesAt(ClassFighter, level) & FeatureFighterFeat;
        EXPECT_EQ(feat, level % 2 == 0) << "level " << level;
        fighterFeats += feat;
        rages += (classFeaturesAt(ClassBarbarian, level) & FeatureRage) ? 1 : 0;
        reduction += (classFeaturesAt(ClassBarbarian, level) & FeatureDamageReduction) ? 1 : 0;
    }
    EXPECT_EQ(fighterFeats, 10);
    EXPECT_EQ(rages, 5);
    EXPECT_EQ(reduction, 3);
}

}  // namespace
}  // namespace kelvrin
