#include <gtest/gtest.h>

#include <map>
#include <set>

#include "combat/encounters.h"
#include "core/random.h"
#include "data/monster_bits.h"
#include "data/monsters.h"

namespace kelvrin {
namespace {

std::map<std::string, int> byName(const std::vector<EncounterCandidate>& candidates) {
    std::map<std::string, int> out;
    for (const EncounterCandidate& c : candidates) out[monsterRow(c.row).name] = c.margin;
    return out;
}

TEST(Encounters, WeakForestMonstersForANewHero) {
    // Depth -2 (a first-level hero in the forest): the smallest fractions
    // come in pairs, goblins alone, and the 1/2 rows are too strong.
    EXPECT_EQ(byName(encounterCandidates(HabitatForest, -2)),
              (std::map<std::string, int>{{"Szczur", 1}, {"Kobold", 1}, {"Goblin", 0}}));
    EXPECT_EQ(byName(encounterCandidates(HabitatForest, -3)), (std::map<std::string, int>{{"Szczur", 0}, {"Kobold", 0}}));
}

TEST(Encounters, ChallengeFiveInTheForest) {
    const auto candidates = byName(encounterCandidates(HabitatForest, 5));
    EXPECT_EQ(candidates.count("Troll"), 0u);  // does not live in the forest
    EXPECT_EQ(candidates.at("Złudna bestia"), 1);
    EXPECT_EQ(candidates.at("Wilk"), 4);
}

TEST(Encounters, ScriptedRowsAreNeverMetByChance) {
    for (int target = -3; target <= 30; ++target) {
        for (const EncounterCandidate& c : encounterCandidates(0xFFFFFFFFu, target)) {
            const MonsterDef& row = monsterRow(c.row);
            EXPECT_EQ(row.habitat & HabitatNeverRandom, 0u) << row.name;
            EXPECT_GE(c.margin, 0);
            EXPECT_LE(c.margin, 5);
        }
    }
}

TEST(Encounters, GroupSizesFollowTheMargin) {
    const std::pair<int, int> ranges[] = {{1, 1}, {1, 2}, {1, 3}, {2, 4}, {3, 5}, {4, 7}};
    seedRandom(3);
    for (int margin = 0; margin <= 5; ++margin) {
        std::set<int> seen;
        for (int i = 0; i < 300; ++i) seen.insert(encounterGroupSize(margin));
        EXPECT_EQ(*seen.begin(), ranges[margin].first) << margin;
        EXPECT_EQ(*seen.rbegin(), ranges[margin].second) << margin;
    }
}

}  // namespace
}  // namespace kelvrin
