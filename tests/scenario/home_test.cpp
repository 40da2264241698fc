#include "scenario/surface_test.h"

#include "world/home.h"

namespace kelvrin::test {
namespace {

class HomeTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        world.set(LandOwned);
        hero.level = 2;
        hero.maxHp = 20;
        hero.hp = 10;
        hero.ragesPerDay = 2;
    }
    std::string run(const std::string& keys) { return visit(homeScreen, keys); }
};

TEST_F(HomeTest, BuildingOnTheEmptyPlot) {
    const std::string plot = "{clear}Przychodzisz na działkę którą kupiłeś od burmistrza. Nic tu nie ma oprócz kilku "
                             "krzaków.\nCo chcesz zrobić?\nb - buduj dom\nw - wróć do miasta\n\n";
    EXPECT_EQ(run("bw"), plot + "Co chcesz zbudować?\ns - szałas\nd - dom\np - pałac\nw - wróć do miasta\n\n");
    EXPECT_TRUE(left);
    // One gold piece short changes nothing; exactly the price buys a month
    // of work that runs into the next year and heals 2 × 30 / 2.
    hero.gold = 4999;
    EXPECT_TRUE(has(run("bdtk"), "Czy chcesz zbudować dom? Zajmię to 30 dni, będzie kosztować 5000 za materiały i "
                                 "opłacenie robotników. (t\n)Brakuje ci 1 sztuk złota.\n\n(ok)" + plot));
    hero.gold = 5000;
    world.day = 350;
    EXPECT_TRUE(has(run("bdtk"), "(t\n)Wybudowałeś dom.\n\n(ok){clear}Wracasz do swojego domu, przestronnego domu. "
                                 "Co chcesz zrobić?\no - odpoczywaj\nz - zburz\nw - wróć do miasta\n\n"));
    EXPECT_EQ(std::tuple(hero.gold, hero.hp, world.day), std::tuple(0, 20, 15));
    // A hut is free and takes a week (a refusal takes none); a level-4 hero heals 4 × 7 / 2.
    world.storyFlags = LandOwned;
    hero.level = 4;
    hero.maxHp = 40;
    hero.hp = 10;
    EXPECT_TRUE(has(run("bsnbstk"), "Zajmie ci to 7 dni, nie będzie nic kosztować. (t\n)Wybudowałeś szałas.\n\n"
                                    "(ok){clear}Wracasz do swojego domu, ciasnego szałasu."));
    EXPECT_EQ(std::pair(hero.hp, world.day), std::pair(24, 22));
    world.storyFlags = 0;  // without land there is no home
    EXPECT_EQ(run(""), "");
    EXPECT_TRUE(left);
}

TEST_F(HomeTest, RestInEachBuilding) {
    // Until healed, a level-2 hero at 10/20 rests 10 days in a hut (factor
    // 0.5), 5 in a house, 4 in a palace ((20 - 10) / 3 rounded up).
    for (const auto& [building, days] : {std::pair{HutBuilt, 10}, std::pair{HouseBuilt, 5}, std::pair{PalaceBuilt, 4}}) {
        world.storyFlags = std::uint32_t{LandOwned} | building;
        world.day = 1;
        hero.hp = 10;
        hero.ragesLeft = 0;
        hero.lastChances = 1;
        EXPECT_TRUE(has(run("o-1\nk"), "Możesz tu odpoczywać ile chcesz. Masz 10/20 pw.\nIle dni chcesz odpoczywać? "
                                       "(-1 dla pełnego wyzdrowienia)\n-1\nOdpoczywałeś " +
                                           std::to_string(days) + " dni.\n\n(ok){clear}"));
        EXPECT_EQ(std::tuple(hero.hp, world.day, hero.ragesLeft, hero.lastChances), std::tuple(20, 1 + days, 2, 3));
    }
    // By the day: a level's Pw a day, never above the maximum; the longest rest wraps the calendar ten times.
    hero.hp = 10;
    world.day = 360;
    run("o3\nk");
    EXPECT_EQ(std::pair(hero.hp, world.day), std::pair(16, 363));
    run("o3650\nk");
    EXPECT_EQ(std::tuple(hero.hp, world.day, world.year), std::tuple(20, 363, 123));
    // Nothing to heal, nothing typed, or beyond the limit (which says so, even
    // for "-1" at a huge loss of Pw): no time passes. The inn shares the count
    // of days and its test tries the other kinds of typing.
    const std::string out = run("o-1\no0\no3651\nkw");
    EXPECT_FALSE(has(out, "Odpoczywałeś"));
    EXPECT_TRUE(has(out, "3651\nMożesz odpoczywać najwyżej 3650 dni.\n\n(ok){clear}Wracasz"));
    hero.maxHp = 100000;
    EXPECT_TRUE(has(run("o-1\nkw"), "-1\nMożesz odpoczywać najwyżej 3650 dni.\n\n(ok){clear}Wracasz"));
    EXPECT_EQ(world.day, 363);
}

TEST_F(HomeTest, Demolishing) {
    world.set(PalaceBuilt);
    hero.gold = 2499;
    EXPECT_TRUE(has(run("znztk"), "Czy chcesz zburzyć pałac? Zajmię ci to 15 dni i będzie kosztować 2500 sztuk złota. "
                                  "(t/n)\n\n{clear}Wracasz do swojego domu, przytulnego pałacu. Co"));
    EXPECT_TRUE(has(screen.transcript(), "(t/n)\n\nBrakuje ci 1 sztuk złota.\n\n(ok)"));
    // Fifteen days of work heal 2 × 15 / 2; the land goes with the palace.
    hero.gold = 2500;
    hero.hp = 2;
    world.day = 350;
    EXPECT_TRUE(run("ztk").ends_with("(t/n)\n\nZburzyłeś pałac.\n\n(ok)"));
    EXPECT_TRUE(left);
    EXPECT_EQ(std::tuple(world.storyFlags, hero.gold, hero.hp, world.day), std::tuple(0u, 0, 17, 365));
}

}  // namespace
}  // namespace kelvrin::test
