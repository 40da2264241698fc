#include <gtest/gtest.h>

#include <map>
#include <set>

#include "combat/encounters.h"
#include "core/random.h"
#include "data/monsters.h"

namespace kelvrin {
namespace {

TEST(Encounters, CandidatesTheirMarginsAndTheGroupSizesTheyGive) {
    const auto forest = [](int target) {
        std::map<std::string, int> out;
        for (const EncounterCandidate& c : encounterCandidates(HabitatForest, target))
            out[monsterRow(c.row).name] = c.margin;
        return out;
    };
    // A new hero: the smallest fractions come in pairs, goblins (1/2) alone.
    EXPECT_EQ(forest(-2), (std::map<std::string, int>{{"Szczur", 1}, {"Kobold", 1}, {"Goblin", 0}}));
    EXPECT_EQ(forest(-3), (std::map<std::string, int>{{"Szczur", 0}, {"Kobold", 0}}));
    const auto five = forest(5);  // whole challenges: the target minus the challenge; no troll in the forest
    EXPECT_EQ(std::tuple(five.count("Troll"), five.at("Złudna bestia"), five.at("Wilk")), std::tuple(0u, 1, 4));
    // Scripted rows are never met by chance, in any habitat.
    for (int target = -3; target <= 30; ++target)
        for (const EncounterCandidate& c : encounterCandidates(0xFFFFFFFFu, target))
            EXPECT_TRUE(!(monsterRow(c.row).habitat & HabitatNeverRandom) && c.margin >= 0 && c.margin <= 5) << c.row;

    seedRandom(3);
    for (auto [margin, lo, hi] : {std::tuple{0, 1, 1}, {1, 1, 2}, {2, 1, 3}, {3, 2, 4}, {4, 3, 5}, {5, 4, 7}}) {
        std::set<int> seen;
        for (int i = 0; i < 300; ++i) seen.insert(encounterGroupSize(margin));
        EXPECT_EQ(std::pair(*seen.begin(), *seen.rbegin()), std::pair(lo, hi)) << margin;
    }
}

}  // namespace
}  // namespace kelvrin
