#include "scenario/surface_test.h"

#include "character/derived_values.h"
#include "data/classes.h"
#include "items/inventory.h"
#include "world/forest.h"

namespace kelvrin::test {
namespace {

constexpr int ForestEvents = 11;
constexpr int DrawQuietWalk = 0;
constexpr int DrawMineOrWell = 5;
constexpr int DrawDruidStory = 6;

class ForestTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        world.location = LocationForest;
    }
    bool exploreForest(int draw, const std::string& keys = "") {
        return explore(forestScreen, ForestEvents, draw, keys);
    }
};

TEST_F(ForestTest, ScreenOffersTheMineAndTheGroveOnlyOnceFound) {
    hero.gold = 12;
    screen.type("kdxm");  // neither is known: 'k' and 'd' are ignored
    EXPECT_FALSE(runUntilInputEnds(forestScreen));
    const std::string forest =
        "Jesteś w lesie. Masz 13/13 pw, 12 złota.\nDostepne komendy:\ns - informacje o postaci\n"
        "q - zapis i wyjście\ne - eksploruj\nm - mapa\n\n";
    EXPECT_EQ(screen.screenText().substr(0, forest.size()), forest);
    EXPECT_EQ(world.location, LocationWorldMap);
    EXPECT_EQ(screen.keysQueued(), 0u);

    world.location = LocationForest;
    world.set(MineFound);
    world.set(GroveKnown);
    screen.clearTranscript();
    screen.type("m");
    EXPECT_FALSE(runUntilInputEnds(forestScreen));
    EXPECT_TRUE(said("e - eksploruj\nk - kopalnia\nd - gaj druida\nm - mapa\n\n"));
}

TEST_F(ForestTest, TheMineEntranceIsFoundThenEntered) {
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "x"));
    EXPECT_TRUE(said("Znalazłeś wejście do kopalni.\n\n(ok)"));
    EXPECT_TRUE(world.has(MineFound));

    world.dungeonLevel = 5;
    screen.type("k");
    EXPECT_TRUE(runUntilInputEnds(forestScreen));  // the mine keeps control
    EXPECT_EQ(world.location, LocationMine);
    EXPECT_EQ(world.dungeonLevel, 0);
    EXPECT_TRUE(shows("Jesteś w kopalni."));
}

TEST_F(ForestTest, QuietWalksHealHalfTheLevel) {
    struct Case {
        int level, hp, maxHp, after;
    };
    for (const Case c : {Case{1, 5, 13, 5}, Case{5, 5, 13, 7}, Case{9, 10, 13, 13}, Case{9, 13, 13, 13}}) {
        hero.level = c.level;
        hero.hp = c.hp;
        hero.maxHp = c.maxHp;
        screen.clearTranscript();
        EXPECT_TRUE(exploreForest(DrawQuietWalk, "x"));
        EXPECT_TRUE(said("Przechadzasz się przez jakiś czas po lesie, nie natrafiasz na nic niezwykłego.\n\n(ok)"));
        EXPECT_EQ(hero.hp, c.after) << "level " << c.level;
    }
}

TEST_F(ForestTest, TheCrystalWell) {
    const ItemSlot crystal{CrystalRow, KindGem, 0, 0, Identified};
    const ItemSlot ruby{2, KindGem, 0, 0, Identified};
    hero.inventory[1] = ruby;
    hero.inventory[3] = crystal;
    hero.inventory[7] = crystal;
    recomputeLoad();
    const auto attributes = hero.attributes;

    // No well before the mine was found: the mine is found instead.
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "x"));
    EXPECT_FALSE(said("studnia"));
    ASSERT_TRUE(world.has(MineFound));

    // Refused: the crystal stays.
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "n"));
    EXPECT_TRUE(said("Czy chcesz go wrzucić do studni? (t/n)\n"));
    EXPECT_EQ(hero.inventory[3], crystal);
    EXPECT_EQ(hero.attributes, attributes);

    // Thrown in: the first crystal goes, the hero is wiser and more charming.
    const float load = hero.load;
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "tx"));
    EXPECT_TRUE(said("Czujesz się mądrzejszy!\n\n(ok)"));
    EXPECT_EQ(hero.attributes[Wis], attributes[Wis] + 4);
    EXPECT_EQ(hero.attributes[Cha], attributes[Cha] + 4);
    EXPECT_EQ(hero.attributes[Str], attributes[Str]);
    EXPECT_TRUE(hero.inventory[3].empty());
    EXPECT_EQ(hero.inventory[7], crystal);
    EXPECT_EQ(hero.inventory[1], ruby);
    EXPECT_NEAR(hero.load, load - 0.1f, 1e-4);

    // Without a crystal (a ruby is no crystal) the clearing is a quiet walk.
    hero.inventory[7] = ItemSlot{};
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawMineOrWell, "x"));
    EXPECT_TRUE(said("nie natrafiasz na nic niezwykłego"));
    EXPECT_EQ(hero.inventory[1], ruby);
}

TEST_F(ForestTest, TheDogLeadsOnlyAfterAWonFightAndAYes) {
    makeStrong();
    EXPECT_TRUE(exploreForest(DrawDruidStory, "n"));
    EXPECT_TRUE(said("Natrafiasz na psa zaatakowanego przez kilka wilków. Czy chcesz mu pomóc? (t/n)\n"));
    EXPECT_FALSE(said("Atakujesz wilki."));

    // Helped, but the dog is not followed: it can be met again.
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawDruidStory, "t" + winFight() + "n"));
    EXPECT_TRUE(said("{clear}\nAtakujesz wilki.\n"));
    EXPECT_EQ(count("Wilk umiera.") + count("Wilk ucieka."), 4);
    EXPECT_TRUE(said("\n\nPies wesoło merda ogonem, szczeka na ciebie i ucieka w głąb lasu. Czy chcesz iść za nim? "
                     "(t/n)\n"));
    EXPECT_FALSE(world.has(GroveKnown));

    // Followed: the grove is found and shown until the hero walks out.
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawDruidStory, "t" + winFight() + "txw"));
    EXPECT_TRUE(said("Biegniesz za psem i trafiasz na niewielką polanę. Leżą tam ułożone kamienie tworzące krąg. "
                     "Dostrzegasz druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok)"));
    EXPECT_TRUE(said("Witaj w moim domu"));
    EXPECT_TRUE(world.has(GroveKnown));
    EXPECT_EQ(world.storyFlags, static_cast<std::uint32_t>(GroveKnown));

    // Known now: the same draw is a quiet walk until the druid asks for help.
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawDruidStory, "x"));
    EXPECT_TRUE(said("nie natrafiasz na nic niezwykłego"));
}

TEST_F(ForestTest, FleeingTheWolvesEndsTheEvent) {
    hero.maxHp = hero.hp = 500;
    hero.shield.bonus = 40;
    // A running barbarian (pace 8) sometimes outruns wolves (pace 10).
    hero.heroClass = ClassBarbarian;
    hero.feats |= FeatRun;
    ASSERT_EQ(speedSteps(), 8);
    EXPECT_TRUE(exploreForest(DrawDruidStory, "t" + std::string(60, 'u') + "x"));
    ASSERT_TRUE(said("Uciekłeś z walki."));
    EXPECT_FALSE(said("Pies wesoło merda"));
    EXPECT_FALSE(world.has(GroveKnown));
}

TEST_F(ForestTest, TheWorgsAndTheTreantMakeTheDruidAFriend) {
    makeStrong();
    world.storyFlags = GroveKnown | DruidCompanion | MineFound | LandOwned;

    EXPECT_TRUE(exploreForest(DrawDruidStory, winFight()));
    EXPECT_TRUE(said("{clear}\nSłyszysz wycie, obracasz się dookoła i widzisz, że stado worgów próbuje cię "
                     "otoczyć.\n"));
    EXPECT_EQ(count("Worg umiera.") + count("Worg ucieka."), 8);
    EXPECT_TRUE(said("{clear}Dziękuje za pomoc ale jest jeszcze jeden problem. Jeden z drzewców oszalał i zabija "
                     "wszystkie zwierzęta. Trzeba go powstrzymać, jest gdzieś w lesie.\nZdobyłeś {10}2000{7} "
                     "doświadczenia."));
    EXPECT_EQ(world.storyFlags, static_cast<std::uint32_t>(GroveKnown | DruidCompanion | MineFound | LandOwned |
                                                            WorgsBeaten));

    const int xp = hero.xp;
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawDruidStory, winFight()));
    EXPECT_TRUE(said("{clear}\nIdziesz przez las gdy nagle korzenie pobliskiego drzewa zaczynają cie oplątać. To "
                     "drzewiec!\n"));
    EXPECT_TRUE(said("Drzewiec umiera.") || said("Drzewiec ucieka."));
    EXPECT_TRUE(said("{clear}Dzięki tobie las jest znów bezpieczny, dziękujec ci. Jeśli będziesz kiedyś "
                     "potrzebował pomocy, znajdę cie.\nZdobyłeś {10}5000{7} doświadczenia."));
    EXPECT_TRUE(screen.transcript().ends_with("\n(ok)"));
    EXPECT_GE(hero.xp, xp + 5000);
    EXPECT_EQ(world.storyFlags, static_cast<std::uint32_t>(GroveKnown | DruidFriend | MineFound | LandOwned));

    // The friend no longer walks with the hero: the forest is quiet.
    screen.clearTranscript();
    EXPECT_TRUE(exploreForest(DrawDruidStory, "x"));
    EXPECT_TRUE(said("nie natrafiasz na nic niezwykłego"));
}

}  // namespace
}  // namespace kelvrin::test
