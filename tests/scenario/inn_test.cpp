#include "data/rumours.h"
#include "support/game_test.h"
#include "support/test_hero.h"
#include "world/inn.h"

namespace kelvrin::test {
namespace {

class InnTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        hero.level = 3;
        hero.maxHp = 30;
        hero.hp = 10;
        hero.ragesPerDay = 2;
        hero.ragesLeft = 0;
        hero.lastChances = 1;
    }
    // Runs the inn as the town does, while it asks to be shown again.
    // Returns what it printed; `left` tells whether it returned to the town.
    std::string run(const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys);
        left = !runUntilInputEnds([] {
            while (innScreen()) {
            }
        });
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        return screen.transcript();
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    bool left = false;
};

TEST_F(InnTest, RestUntilHealedAcrossTheYearEnd) {
    world.day = 360;
    const std::string out = run("o-1\ntkw");
    EXPECT_TRUE(left);
    EXPECT_TRUE(has(out, "{clear}GOSPODA\nWchodzisz do zatłoczonej gospody. Podchodzi do ciebie karczmarz i pyta "
                         "czego ci potrzeba.\no - odpoczynek\np - kup piwo\ns - słuchaj plotek\nw - wyjdź\n\n"
                         "Ile dni chcesz odpoczywać (kosz 1 sztuka złota za 2 dni pobytu, podaj -1 dla pełnego "
                         "uzdrowienia.\nMasz 50 sztuk złota i 10/30 pw.\nIle dni chcesz odpoczywać: -1\n"));
    // (30 - 10) / 3 = 6.67: seven days for four gold pieces.
    EXPECT_TRUE(has(out, "\nCzy chcesz odpoczywać 7 dni za 4 zlota? (t/n)\nOdpoczywales 7 dni, masz 30/30 pw.\n\n(ok)"));
    EXPECT_EQ(world.day, 2);
    EXPECT_EQ(world.year, 114);
    EXPECT_EQ(hero.hp, 30);
    EXPECT_EQ(hero.gold, 46);
    EXPECT_EQ(hero.ragesLeft, 2);
    EXPECT_EQ(hero.lastChances, 3);
}

TEST_F(InnTest, CostsRefusalsAndTheBound) {
    const struct {
        int days, cost, hp;
    } cases[] = {{1, 1, 13}, {2, 1, 16}, {3, 2, 19}, {10, 5, 30}};
    for (const auto& c : cases) {
        hero.hp = 10;
        hero.gold = 50;
        world.day = 360;
        world.year = 113;
        const std::string out = run("o" + std::to_string(c.days) + "\ntk");
        EXPECT_TRUE(has(out, "odpoczywać " + std::to_string(c.days) + " dni za " + std::to_string(c.cost) + " zlota?"));
        EXPECT_EQ(hero.gold, 50 - c.cost) << c.days;
        EXPECT_EQ(hero.hp, c.hp) << c.days;
    }
    EXPECT_EQ(world.day, 5);  // day 360 and ten days of rest
    EXPECT_EQ(world.year, 114);

    // Too poor; "n" leaves for the town; nothing to rest for, or more days
    // than a rest may last (a cost and healing beyond the int range): back
    // to the menu without a question.
    hero.gold = 1;
    std::string out = run("o5\ntk");
    EXPECT_TRUE(has(out, "za 3 zlota? (t/n)\nNie masz dość złota, brakuje ci 2.\n\n(ok){clear}GOSPODA"));
    run("o5\nn");
    EXPECT_TRUE(left);
    hero.hp = hero.maxHp;
    out = run("o0\no-1\no-7\noabc\no3651\no2147483647\n");
    EXPECT_FALSE(has(out, "Czy chcesz"));
    EXPECT_EQ(hero.gold, 1);
    EXPECT_EQ(world.day, 5);

    // The longest rest wraps the calendar ten times.
    hero.gold = 5000;
    hero.hp = 10;
    out = run("o3650\ntk");
    EXPECT_TRUE(has(out, "Czy chcesz odpoczywać 3650 dni za 1825 zlota? (t/n)\nOdpoczywales 3650 dni, masz 30/30 pw."));
    EXPECT_EQ(world.day, 5);
    EXPECT_EQ(world.year, 124);
    EXPECT_EQ(hero.gold, 5000 - 1825);
}

TEST_F(InnTest, BeerAndRumours) {
    hero.gold = 5;
    std::string out = run("pnptk");
    EXPECT_FALSE(left);
    EXPECT_TRUE(has(out, "Czy chcesz kupić piwo za 3 sztuki złota? (t/n)\n{clear}GOSPODA"));
    EXPECT_TRUE(has(out, "(t/n)\nWypijasz zimne piwo. Ma jakiś dziwny posmak...\n\n(ok){clear}GOSPODA"));
    EXPECT_EQ(hero.gold, 2);
    out = run("ptk");
    EXPECT_TRUE(left);  // thrown out to the town
    EXPECT_TRUE(has(out, "Nie masz tyle złota. Karczmarz wyrzucił cię na ulicę!\n\n(ok)"));
    EXPECT_EQ(hero.gold, 2);

    for (int i = 0; i < 3; ++i) {
        const std::uint32_t state = randomState();
        const char* rumour = rumourTable[static_cast<std::size_t>(randomNext() % 20)];
        setRandomState(state);
        out = run("sk");
        EXPECT_TRUE(has(out, std::string("\n\n") + rumour + "{clear}GOSPODA")) << rumour;
        EXPECT_NE(randomState(), state);
    }
}

}  // namespace
}  // namespace kelvrin::test
