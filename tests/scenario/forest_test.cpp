#include "scenario/surface_test.h"

#include "character/derived_values.h"
#include "data/classes.h"
#include "items/inventory.h"
#include "world/forest.h"

namespace kelvrin::test {
namespace {

constexpr int DrawMineOrWell = 5;
constexpr int DrawDruidStory = 6;
const std::string QuietWalk = "Przechadzasz się przez jakiś czas po lesie, nie natrafiasz na nic niezwykłego.\n\n(ok)";

class ForestTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        world.location = LocationForest;
    }
    bool exploreForest(int draw, const std::string& keys) { return explore(forestScreen, 11, draw, keys); }
};

TEST_F(ForestTest, QuietWalksHealHalfTheLevel) {
    hero.gold = 12;
    hero.hp = 5;
    seedSuchThat([] { return randomNext() % 11 == 0; });
    screen.type("kdex");  // neither mine nor grove is known: 'k' and 'd' are ignored
    EXPECT_FALSE(runUntilInputEnds(forestScreen));
    EXPECT_EQ(screen.transcript(), "Jesteś w lesie. Masz 5/13 pw, 12 złota.\nDostepne komendy:\ns - informacje o "
                                   "postaci\nq - zapis i wyjście\ne - eksploruj\nm - mapa\n\n" + QuietWalk);
    EXPECT_EQ(hero.hp, 5);  // level 1: nothing
    for (const auto& [level, hp, after] : {std::tuple{5, 5, 7}, std::tuple{9, 10, 13}}) {
        hero.level = level;
        hero.hp = hp;
        EXPECT_TRUE(exploreForest(0, "x"));
        EXPECT_EQ(hero.hp, after) << "level " << level;
    }
    screen.type("m");
    forestScreen();
    EXPECT_EQ(world.location, LocationWorldMap);
}

TEST_F(ForestTest, TheMineEntranceThenTheCrystalWell) {
    const ItemSlot crystal{CrystalRow, KindGem, 0, 0, Identified};
    const ItemSlot ruby{2, KindGem, 0, 0, Identified};
    hero.inventory[1] = ruby;
    hero.inventory[3] = hero.inventory[7] = crystal;
    recomputeLoad();
    const auto attributes = hero.attributes;
    const float load = hero.load;

    // No well before the mine was found: the mine is found instead, and entered.
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "x"));
    EXPECT_TRUE(said("Znalazłeś wejście do kopalni.\n\n(ok)"));
    world.dungeonLevel = 5;
    screen.type("k");
    EXPECT_TRUE(runUntilInputEnds(forestScreen));  // the mine keeps control
    EXPECT_EQ(world.location, LocationMine);
    EXPECT_EQ(world.dungeonLevel, 0);
    world.location = LocationForest;

    EXPECT_TRUE(exploreForest(DrawMineOrWell, "n"));  // refused: the crystal stays
    EXPECT_TRUE(said("k - kopalnia\nm - mapa\n\n"));
    EXPECT_TRUE(said("Czy chcesz go wrzucić do studni? (t/n)\n"));
    EXPECT_EQ(hero.attributes, attributes);
    // Thrown in: the first crystal goes, the hero is wiser and more charming.
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "tx"));
    EXPECT_TRUE(said("Czujesz się mądrzejszy!\n\n(ok)"));
    EXPECT_EQ(hero.attributes[Wis], attributes[Wis] + 4);
    EXPECT_EQ(hero.attributes[Cha], attributes[Cha] + 4);
    EXPECT_TRUE(hero.inventory[3].empty());
    EXPECT_EQ(hero.inventory[7], crystal);
    EXPECT_NEAR(hero.load, load - 0.1f, 1e-4);
    // Without a crystal (a ruby is no crystal) the clearing is a quiet walk.
    hero.inventory[7] = ItemSlot{};
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "x"));
    EXPECT_TRUE(said(QuietWalk));
    EXPECT_EQ(hero.inventory[1], ruby);
}

TEST_F(ForestTest, TheDogLeadsOnlyAfterAWonFightAndAYes) {
    makeStrong();
    EXPECT_TRUE(exploreForest(DrawDruidStory, "n"));
    EXPECT_TRUE(said("Natrafiasz na psa zaatakowanego przez kilka wilków. Czy chcesz mu pomóc? (t/n)\n"));
    EXPECT_FALSE(said("Atakujesz wilki."));
    // Helped, but the dog is not followed: it can be met again.
    EXPECT_TRUE(exploreForest(DrawDruidStory, "t" + winFight() + "n"));
    EXPECT_EQ(fallen("Wilk"), 4);
    EXPECT_TRUE(said("\n\nPies wesoło merda ogonem, szczeka na ciebie i ucieka w głąb lasu. Czy chcesz iść za nim? "
                     "(t/n)\n"));
    EXPECT_FALSE(world.has(GroveKnown));
    // Followed: the grove is found and shown until the hero walks out.
    EXPECT_TRUE(exploreForest(DrawDruidStory, "t" + winFight() + "txw"));
    EXPECT_TRUE(said("Biegniesz za psem i trafiasz na niewielką polanę. Leżą tam ułożone kamienie tworzące krąg. "
                     "Dostrzegasz druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok){clear}Witaj w moim domu"));
    EXPECT_EQ(world.storyFlags, static_cast<std::uint32_t>(GroveKnown));
    // Known now: a quiet walk until the druid asks for help; the grove is on the screen.
    EXPECT_TRUE(exploreForest(DrawDruidStory, "x"));
    EXPECT_TRUE(said("e - eksploruj\nd - gaj druida\nm - mapa\n\n" + QuietWalk));
}

TEST_F(ForestTest, FleeingTheWolvesEndsTheEvent) {
    hero.maxHp = hero.hp = 500;
    hero.shield.bonus = 40;
    hero.heroClass = ClassBarbarian;  // running, pace 8: sometimes outruns wolves (pace 10)
    hero.feats |= FeatRun;
    ASSERT_EQ(speedSteps(), 8);
    EXPECT_TRUE(exploreForest(DrawDruidStory, "t" + std::string(60, 'u') + "x"));
    ASSERT_TRUE(said("Uciekłeś z walki."));
    EXPECT_FALSE(said("Pies wesoło merda"));
}

TEST_F(ForestTest, TheWorgsAndTheTreantMakeTheDruidAFriend) {
    makeStrong();
    const std::uint32_t others = GroveKnown | MineFound | LandOwned;
    world.storyFlags = others | DruidCompanion;
    EXPECT_TRUE(exploreForest(DrawDruidStory, winFight()));
    EXPECT_EQ(fallen("Worg"), 8);
    EXPECT_TRUE(said("{clear}Dziękuje za pomoc ale jest jeszcze jeden problem. Jeden z drzewców oszalał i zabija "
                     "wszystkie zwierzęta. Trzeba go powstrzymać, jest gdzieś w lesie.\nZdobyłeś {10}2000{7} "
                     "doświadczenia."));
    EXPECT_EQ(world.storyFlags, others | DruidCompanion | WorgsBeaten);

    EXPECT_TRUE(exploreForest(DrawDruidStory, winFight()));
    EXPECT_TRUE(said("{clear}\nIdziesz przez las gdy nagle korzenie pobliskiego drzewa zaczynają cie oplątać. To "
                     "drzewiec!\n"));
    EXPECT_EQ(fallen("Drzewiec"), 1);
    EXPECT_TRUE(said("{clear}Dzięki tobie las jest znów bezpieczny, dziękujec ci. Jeśli będziesz kiedyś "
                     "potrzebował pomocy, znajdę cie.\nZdobyłeś {10}5000{7} doświadczenia."));
    EXPECT_EQ(world.storyFlags, others | DruidFriend);
    // The friend no longer walks with the hero: the forest is quiet.
    EXPECT_TRUE(exploreForest(DrawDruidStory, "x"));
    EXPECT_TRUE(said(QuietWalk));
}

}  // namespace
}  // namespace kelvrin::test
