#include <climits>

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

TEST(ChoiceLineTest, FirstCharacterAndNumberAsTheLineGivesThem) {
    const struct {
        const char* line;
        bool hasFirst;
        char first;
        bool hasNumber;
        int number;
    } cases[] = {
        {"", false, 0, false, 0},       {"p", true, 'p', false, 0},     {"12", true, '1', true, 12},
        {"  7x", true, ' ', true, 7},   {"\t-3", true, '\t', true, -3}, {"+4", true, '+', true, 4},
        {"c5", true, 'c', false, 0},    {"-", true, '-', false, 0},     {"2147483647", true, '2', true, INT_MAX},
        {"-2147483648", true, '-', true, INT_MIN}, {"2147483648", true, '2', false, 0},
        {"99999999999999999999", true, '9', false, 0},
    };
    for (const auto& c : cases) {
        const ChoiceLine parsed = parseChoiceLine(c.line);
        EXPECT_EQ(parsed.hasFirst, c.hasFirst) << c.line;
        EXPECT_EQ(parsed.first, c.first) << c.line;
        EXPECT_EQ(parsed.hasNumber, c.hasNumber) << c.line;
        EXPECT_EQ(parsed.number, c.number) << c.line;
    }
}

}  // namespace
}  // namespace kelvrin::test
