#include "scenario/surface_test.h"

#include "data/rumours.h"
#include "world/inn.h"

namespace kelvrin::test {
namespace {

class InnTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        hero.level = 3;
        hero.maxHp = 30;
        hero.hp = 10;
        hero.ragesPerDay = 2;
        hero.ragesLeft = 0;
        hero.lastChances = 1;
    }
    std::string run(const std::string& keys) { return visit(innScreen, keys); }
};

// A rest restores the rages and the last chances and runs the calendar on.
TEST_F(InnTest, RestUntilHealedAcrossTheYearEnd) {
    world.day = 360;
    const std::string out = run("o-1\ntkw");
    EXPECT_TRUE(left);
    EXPECT_TRUE(has(out, "{clear}GOSPODA\nWchodzisz do zatłoczonej gospody. Podchodzi do ciebie karczmarz i pyta "
                         "czego ci potrzeba.\no - odpoczynek\np - kup piwo\ns - słuchaj plotek\nw - wyjdź\n\n"
                         "Ile dni chcesz odpoczywać (kosz 1 sztuka złota za 2 dni pobytu, podaj -1 dla pełnego "
                         "uzdrowienia.\nMasz 50 sztuk złota i 10/30 pw.\nIle dni chcesz odpoczywać: -1\n"));
    // (30 - 10) / 3 = 6.67: seven days for four gold pieces.
    EXPECT_TRUE(has(out, "\nCzy chcesz odpoczywać 7 dni za 4 zlota? (t/n)\nOdpoczywales 7 dni, masz 30/30 pw.\n"));
    EXPECT_EQ(std::tuple(world.day, world.year, hero.gold), std::tuple(2, 114, 46));
    EXPECT_EQ(std::tuple(hero.ragesLeft, hero.lastChances), std::tuple(2, 3));
}

TEST_F(InnTest, CostsRefusalsAndTheBound) {
    for (const auto& [days, cost, hp] : {std::tuple{1, 1, 13}, {2, 1, 16}, {10, 5, 30}}) {
        hero.hp = 10;
        hero.gold = 50;
        const std::string out = run("o" + std::to_string(days) + "\ntk");
        EXPECT_TRUE(has(out, "odpoczywać " + std::to_string(days) + " dni za " + std::to_string(cost) + " zlota?"));
        EXPECT_EQ(std::pair(hero.gold, hero.hp), std::pair(50 - cost, hp)) << days;
    }
    // Too poor; "n" leaves for the town; nothing to rest for: back to the
    // menu without a question; more days than a rest may last (a cost and
    // healing beyond the int range): the limit, then the menu.
    hero.gold = 1;
    EXPECT_TRUE(has(run("o5\ntk"), "za 3 zlota? (t/n)\nNie masz dość złota, brakuje ci 2.\n\n(ok){clear}GOSPODA"));
    run("o5\nn");
    EXPECT_TRUE(left);
    hero.hp = hero.maxHp;
    const std::string out = run("o0\no-1\no-7\noabc\no3651\nko2147483647\nk");
    EXPECT_FALSE(has(out, "Czy chcesz"));
    EXPECT_EQ(count(out, "3651\nMożesz odpoczywać najwyżej 3650 dni.\n\n(ok){clear}GOSPODA"), 1);
    EXPECT_EQ(count(out, "Możesz odpoczywać najwyżej"), 2);
    EXPECT_EQ(std::pair(hero.gold, world.day), std::pair(1, 14));

    // The longest rest wraps the calendar ten times.
    hero.gold = 5000;
    hero.hp = 10;
    EXPECT_TRUE(has(run("o3650\ntk"), "odpoczywać 3650 dni za 1825 zlota? (t/n)\nOdpoczywales 3650 dni, masz 30/30"));
    EXPECT_EQ(std::tuple(world.day, world.year, hero.gold), std::tuple(14, 123, 5000 - 1825));
}

// Beer for 3 gold, or out to the street; a rumour takes one draw.
TEST_F(InnTest, BeerAndRumours) {
    hero.gold = 5;
    std::string out = run("pnptk");
    EXPECT_FALSE(left);
    EXPECT_TRUE(has(out, "Czy chcesz kupić piwo za 3 sztuki złota? (t/n)\n{clear}GOSPODA"));
    EXPECT_TRUE(has(out, "(t/n)\nWypijasz zimne piwo. Ma jakiś dziwny posmak...\n\n(ok){clear}GOSPODA"));
    out = run("ptk");
    EXPECT_TRUE(left);
    EXPECT_TRUE(has(out, "Nie masz tyle złota. Karczmarz wyrzucił cię na ulicę!\n\n(ok)"));
    EXPECT_EQ(hero.gold, 2);

    for (int i = 0; i < 2; ++i) {
        const std::uint32_t state = randomState();
        const char* rumour = rumourTable[static_cast<std::size_t>(randomNext() % 20)];
        const std::uint32_t next = randomState();
        setRandomState(state);
        EXPECT_TRUE(has(run("sk"), std::string("\n\n") + rumour + "{clear}GOSPODA")) << rumour;
        EXPECT_EQ(randomState(), next);
    }
}

}  // namespace
}  // namespace kelvrin::test
