#include <climits>
#include <optional>

#include "support/game_test.h"

#include "character/feat_screens.h"
#include "character/feats.h"
#include "data/classes.h"

namespace kelvrin::test {
namespace {

using FeatRulesTest = GameTest;

TEST_F(FeatRulesTest, EachRequirementKindOpensItsFeat) {
    const struct {
        std::uint32_t feat;
        void (*meet)();  // changes the hero just enough to qualify
    } cases[] = {
        {FeatImprovedCritical, [] { hero.baseAttack = 8; }}, {FeatPowerAttack, [] { hero.attributes[Str] = 13; }},
        {FeatCleave, [] { hero.feats |= FeatPowerAttack; }},  {FeatDodge, [] { hero.attributes[Dex] = 13; }},
        {FeatExpertise, [] { hero.attributes[Int] = 13; }},  {FeatPoisonResistance, [] { hero.attributes[Con] = 13; }},
        {FeatExtraRage, [] { hero.ragesPerDay = 1; }},       {FeatExtendedRage, [] { hero.ragesPerDay = 1; }},
    };
    for (const auto& c : cases) {
        resetForNewGame();
        hero.attributes = {12, 12, 12, 12, 12, 12};
        EXPECT_FALSE(canTakeFeat(featByBit(c.feat))) << c.feat;
        c.meet();
        EXPECT_TRUE(canTakeFeat(featByBit(c.feat))) << c.feat;
    }
}

TEST_F(FeatRulesTest, BothRequirementsTakenFeatsAndRepeatableFeats) {
    const FeatDef& greatCleave = featByBit(FeatGreatCleave);
    hero.feats = FeatPowerAttack | FeatCleave;
    hero.baseAttack = 3;
    EXPECT_FALSE(canTakeFeat(greatCleave));
    hero.baseAttack = 4;
    EXPECT_TRUE(canTakeFeat(greatCleave));
    hero.feats = FeatPowerAttack;
    EXPECT_FALSE(canTakeFeat(greatCleave));

    const FeatDef& specialization = featByBit(FeatWeaponSpecialization);
    hero.heroClass = ClassBarbarian;
    EXPECT_FALSE(canTakeFeat(specialization));
    hero.heroClass = ClassFighter;
    EXPECT_TRUE(canTakeFeat(specialization));

    EXPECT_FALSE(canTakeFeat(featByBit(FeatPowerAttack)));  // already taken
    hero.toughnessCount = 3;
    hero.weaponFocusMask = 0x3FFF;
    EXPECT_TRUE(canTakeFeat(featByBit(FeatToughness)));
    EXPECT_TRUE(canTakeFeat(featByBit(FeatWeaponFocus)));
}

// The first character (0: none) and the number the line gives, if any.
TEST(ChoiceLineTest, FirstCharacterAndNumberAsTheLineGivesThem) {
    const struct {
        const char* line;
        char first;
        std::optional<int> number;
    } cases[] = {
        {"", 0, {}},          {"p", 'p', {}},      {"12", '1', 12},         {"  7x", ' ', 7},
        {"\t-3", '\t', -3},   {"+4", '+', 4},      {"c5", 'c', {}},         {"-", '-', {}},
        {"2147483647", '2', INT_MAX},     {"-2147483648", '-', INT_MIN},  {"2147483648", '2', {}},
        {"99999999999999999999", '9', {}},
    };
    for (const auto& c : cases) {
        const ChoiceLine parsed = parseChoiceLine(c.line);
        EXPECT_EQ(parsed.hasFirst, c.first != 0) << c.line;
        EXPECT_EQ(parsed.first, c.first) << c.line;
        EXPECT_EQ(parsed.hasNumber ? std::optional{parsed.number} : std::nullopt, c.number) << c.line;
    }
}

}  // namespace
}  // namespace kelvrin::test
