#include <algorithm>
#include <climits>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "scenario/surface_test.h"

#include "character/barracks.h"
#include "character/feat_screens.h"
#include "core/rules.h"
#include "data/classes.h"

namespace kelvrin::test {
namespace {

class BarracksTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        showAllFeats = false;
    }
    // A player who trains, raises `attribute` when asked and takes Twardość
    // at every feat choice; any other screen ends the input.
    void playTraining(char attribute) {
        screen.setKeySource([this, attribute]() -> int {
            std::string last;
            for (int row = screen.rows() - 1; row >= 0 && last.empty(); --row) last = screen.rowText(row);
            if (last == "w - wyjdź") return 't';
            if (last.starts_with("Zdobyłeś ")) return ' ';
            if (last.starts_with("Siła, Zręczność")) return attribute;
            if (last == "w - wybierz, inny - anuluj") return 'w';
            std::smatch found;
            const std::string shown = screen.screenText();
            if (!last.starts_with("liczba - wybór") || !std::regex_search(shown, found, std::regex("(\\d+)\\) Twardość")))
                return KeyEnd;
            screen.type(found[1].str().substr(1) + "\n");
            return found[1].str()[0];
        });
    }
    // The hit points a level-up can add: the next die of the generator.
    int nextDie(int size) {
        const auto state = randomState();
        const int roll = size == 10 ? randomNext() % 7 + 4 : randomNext() % 8 + 5;  // d10: 4..10, d12: 5..12
        setRandomState(state);
        return roll;
    }
};

// From level 1 to 20, at every level: the days, the rest, the die of the
// generator, the feats, KON and the class features. Experience is never
// spent, and the power attack setting stays as it was.
TEST_F(BarracksTest, FighterAndBarbarianGainTheirFeaturesLevelByLevel) {
    struct Walk {
        int heroClass;
        std::vector<int> rageLevels, reductionLevels;
    };
    for (const Walk& walk : {Walk{ClassFighter, {}, {}}, Walk{ClassBarbarian, {4, 8, 12, 16, 20}, {11, 14, 17}}}) {
        makeTestHero();
        hero.heroClass = walk.heroClass;
        hero.ragesPerDay = hero.ragesLeft = walk.heroClass == ClassBarbarian ? 1 : 0;
        hero.powerAttack = 1;
        hero.attackPool = 0;
        playTraining('k');
        int rages = hero.ragesPerDay, reduction = 0, toughness = 0;
        for (int level = 1; level < 20; ++level) {
            SCOPED_TRACE(testing::Message() << classTable[walk.heroClass].name << " level " << level);
            const int xp = hero.xp = hero.xpNext;
            hero.hp = hero.lastChances = 1;
            const int maxBefore = hero.maxHp, kon = hero.attributes[Con], dayBefore = world.year * 365 + world.day;
            const int gained = attributeModifier(kon) + nextDie(classTable[walk.heroClass].hitDie);
            screen.clearTranscript();
            ASSERT_TRUE(barracksScreen());
            EXPECT_TRUE(level > 1 || screen.transcript().starts_with(
                "{clear}BARAKI\nWchodzisz na spory plac, trenuje tu kilku wojowników oraz strażników. Możesz tu "
                "trenować aby zdobyć nowy poziom lub oglądać zdobyte trofea.\nMasz 1000/1000 doświadczenia i 1 "
                "poziom.\nt - trenuj\ns - oglądaj trofea\nw - wyjdź\nTrening na poziom 2 zajął ci 4 dni.\nZdobyłeś " +
                std::to_string(gained) + " punktów wytrzymałości.\n"));
            const int next = level + 1;
            // A general feat every third level, a fighter's one every second.
            const int feats = (next % 3 == 0) + (walk.heroClass == ClassFighter && next % 2 == 0);
            EXPECT_EQ(hero.toughnessCount - std::exchange(toughness, hero.toughnessCount), feats);
            EXPECT_EQ(world.year * 365 + world.day - dayBefore, 2 * level + 2);
            // Later gains go to both maximum and current Pw: the gap is what the rest left.
            EXPECT_EQ(hero.maxHp - hero.hp, maxBefore - std::min(1 + level * (level + 1), maxBefore));
            const int konBonus = next % 4 == 0 && kon % 2 == 1 ? next : 0;
            EXPECT_EQ(hero.attributes[Con], next % 4 == 0 ? kon + 1 : kon);
            EXPECT_EQ(hero.maxHp, maxBefore + gained + konBonus + 3 * feats);
            rages += std::count(walk.rageLevels.begin(), walk.rageLevels.end(), next);
            reduction += std::count(walk.reductionLevels.begin(), walk.reductionLevels.end(), next);
            EXPECT_EQ(std::tuple(hero.ragesPerDay, hero.ragesLeft, hero.damageReduction, hero.xp, hero.lastChances,
                                 hero.powerAttack),
                      std::tuple(rages, rages, reduction, xp, 3, 1));
        }
        EXPECT_EQ(std::tuple(hero.baseAttack, hero.attackPool, hero.xpNext), std::tuple(20, 19, 210000));
    }
}

TEST_F(BarracksTest, EveryFourthLevelRaisesTheChosenAttribute) {
    const std::string keys = "szkimc";
    for (std::size_t attribute = 0; attribute < keys.size(); ++attribute) {
        makeTestHero();
        hero.heroClass = ClassBarbarian;  // no feat choice at level 4
        hero.level = 3;
        hero.xp = hero.xpNext = 6000;
        auto expected = hero.attributes;
        ++expected[attribute];
        playTraining(keys[attribute]);
        ASSERT_TRUE(barracksScreen());
        EXPECT_EQ(hero.attributes, expected) << keys[attribute];
        EXPECT_FLOAT_EQ(hero.capacity, 100.0f);  // the inventory brings it up to date, not training
    }
}

TEST_F(BarracksTest, ANegativeGainCostsPwButNeverTheLife) {
    hero.attributes[Con] = 1;  // a badly poisoned hero: modifier -5
    hero.maxHp = hero.hp = 1;
    hero.xp = 1000;
    for (std::uint32_t seed = 0; nextDie(10) != 4; seedRandom(++seed)) {
    }  // the lowest roll: a gain of -1
    screen.type("tx1\nw");
    EXPECT_TRUE(barracksScreen());
    EXPECT_TRUE(said("Zdobyłeś -1 punktów wytrzymałości.\n"));
    EXPECT_EQ(std::pair(hero.hp, hero.maxHp), std::pair(1, 1));
}

TEST_F(BarracksTest, RefusedWithoutTheExperienceAndBeyondTheLastLevel) {
    hero.xp = 400;
    screen.type("tx");
    EXPECT_TRUE(barracksScreen());
    EXPECT_TRUE(shows("Potrzebujesz 600 doswiadczenia.\n\n(ok)"));
    hero.level = 30;
    hero.xpNext = xpForNextLevel(30);
    hero.xp = INT_MAX;
    screen.type("tx");
    EXPECT_TRUE(barracksScreen());
    EXPECT_TRUE(shows("Masz 2147483647/99999999 doświadczenia i 30 poziom."));
    EXPECT_TRUE(shows("Osiągnąłeś już najwyższy poziom.\n\n(ok)"));
    EXPECT_EQ(std::tuple(hero.level, world.day, screen.keysQueued()), std::tuple(30, 1, 0u));
}

TEST_F(BarracksTest, TrophiesAreSortedByChallengeWithTheTotal) {
    screen.type("sx");
    EXPECT_TRUE(barracksScreen());
    EXPECT_TRUE(screen.transcript().ends_with("{clear}Pokonani przeciwnicy:\n(brak)\n\n(ok)"));
    // Challenges: Szczur 1/8, Kobold 1/6, Zombie and Ork 1/2, Ghoul and Wilk 1, Troll 5.
    for (auto [row, count] : {std::pair{37, 2}, {7, 1}, {20, 2}, {0, 3}, {3, 1}, {1, 1}, {18, 4}})
        world.killCounts[static_cast<std::size_t>(row)] = count;
    screen.type("sx");
    EXPECT_TRUE(barracksScreen());
    EXPECT_TRUE(screen.transcript().ends_with("{clear}Pokonani przeciwnicy:\nSzczur: 3\nKobold: 1\nZombie: 4\n"
                                              "Ork: 2\nGhoul: 1\nWilk: 2\nTroll: 1\nSuma: 14\n\n(ok)"));
}

}  // namespace
}  // namespace kelvrin::test
