#include <climits>

#include "support/game_test.h"

#include "character/feat_screens.h"
#include "character/feats.h"
#include "data/classes.h"

namespace kelvrin::test {
namespace {

class FeatRulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        hero.attributes = {12, 12, 12, 12, 12, 12};
        hero.heroClass = ClassBarbarian;
    }
};

TEST_F(FeatRulesTest, RequirementsOfEveryKind) {
    struct Case {
        std::uint32_t feat;
        void (*meet)();  // changes the hero just enough to qualify
    };
    const Case cases[] = {
        {FeatImprovedCritical, [] { hero.baseAttack = 8; }},
        {FeatPowerAttack, [] { hero.attributes[Str] = 13; }},
        {FeatCleave, [] { hero.feats |= FeatPowerAttack; }},
        {FeatDodge, [] { hero.attributes[Dex] = 13; }},
        {FeatExpertise, [] { hero.attributes[Int] = 13; }},
        {FeatPoisonResistance, [] { hero.attributes[Con] = 13; }},
        {FeatExtraRage, [] { hero.ragesPerDay = 1; }},
        {FeatExtendedRage, [] { hero.ragesPerDay = 1; }},
    };
    for (const Case& c : cases) {
        resetForNewGame();
        hero.attributes = {12, 12, 12, 12, 12, 12};
        const FeatDef& feat = featByBit(c.feat);
        EXPECT_FALSE(canTakeFeat(feat)) << feat.name;
        c.meet();
        EXPECT_TRUE(canTakeFeat(feat)) << feat.name;
    }
}

TEST_F(FeatRulesTest, TwoRequirementsMustBothHold) {
    const FeatDef& greatCleave = featByBit(FeatGreatCleave);
    hero.feats = FeatPowerAttack | FeatCleave;
    hero.baseAttack = 3;
    EXPECT_FALSE(canTakeFeat(greatCleave));
    hero.baseAttack = 4;
    EXPECT_TRUE(canTakeFeat(greatCleave));
    hero.feats = FeatPowerAttack;
    EXPECT_FALSE(canTakeFeat(greatCleave));

    const FeatDef& specialization = featByBit(FeatWeaponSpecialization);
    EXPECT_FALSE(canTakeFeat(specialization));  // base attack 4, but a Barbarzyńca
    hero.heroClass = ClassFighter;
    EXPECT_TRUE(canTakeFeat(specialization));
}

TEST_F(FeatRulesTest, TakenFeatsCloseButRepeatableAndPerWeaponFeatsStayOpen) {
    hero.feats = FeatRun;
    EXPECT_FALSE(canTakeFeat(featByBit(FeatRun)));
    hero.toughnessCount = 3;
    hero.weaponFocusMask = 0x3FFF;
    EXPECT_TRUE(canTakeFeat(featByBit(FeatToughness)));
    EXPECT_TRUE(canTakeFeat(featByBit(FeatWeaponFocus)));
    for (std::size_t i = 0; i < featTable.size(); ++i) EXPECT_EQ(&featByBit(featTable[i].bit), &featTable[i]);
}

TEST(ChoiceLineTest, FirstCharacterAndNumberAsTheLineGivesThem) {
    struct Case {
        const char* line;
        bool hasFirst;
        char first;
        bool hasNumber;
        int number;
    };
    const Case cases[] = {
        {"", false, 0, false, 0},          {"p", true, 'p', false, 0},
        {"12", true, '1', true, 12},       {"  7x", true, ' ', true, 7},
        {"\t-3", true, '\t', true, -3},    {"+4", true, '+', true, 4},
        {"c5", true, 'c', false, 0},       {"-", true, '-', false, 0},
        {"2147483647", true, '2', true, INT_MAX},
        {"-2147483648", true, '-', true, INT_MIN},
        {"2147483648", true, '2', false, 0},
        {"99999999999999999999", true, '9', false, 0},
    };
    for (const Case& c : cases) {
        const ChoiceLine parsed = parseChoiceLine(c.line);
        EXPECT_EQ(parsed.hasFirst, c.hasFirst) << c.line;
        EXPECT_EQ(parsed.first, c.first) << c.line;
        EXPECT_EQ(parsed.hasNumber, c.hasNumber) << c.line;
        EXPECT_EQ(parsed.number, c.number) << c.line;
    }
}

}  // namespace
}  // namespace kelvrin::test
