#include "scenario/surface_test.h"

#include "character/derived_values.h"
#include "character/program.h"
#include "data/monsters.h"
#include "world/road.h"

namespace kelvrin::test {
namespace {

constexpr int RoadEvents = 20;
constexpr int DrawQuietWalk = 0;
constexpr int DrawCaravan = 6;
constexpr int DrawTraveller = 7;
constexpr int DrawGuards = 10;
constexpr int DrawBandits = 16;   // 16, 17, 18
constexpr int DrawCamp = 19;

const std::string TollDemand =
    "Podchodzą do ciebie i mówia:\n-\"Jeśli chcesz przejść, musisz zaplacić *podatek*!\"\n\nCo chcesz zrobić?\n"
    "z - zapłać 10 sztuk złota\na - atakuj\nu - uciekaj\n";
const std::string ChiefOfferText =
    "Bandyci zaprowadzili cię do swojego herszta.\n-\"Chcesz zarobic? Zabij dla mnie burmistrza a dam ci 10.000 "
    "sztuk złota.\n\n(ok)";

class RoadTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        world.location = LocationRoad;
    }
    bool exploreRoad(int draw, const std::string& keys = "") { return explore(roadScreen, RoadEvents, draw, keys); }
    // Heavy armour: pace 4, no faster than guards and bandits.
    static void slow() {
        hero.armour = ItemSlot{11, KindArmour, 0, 0, Identified};
        ASSERT_EQ(speedSteps(), 4);
    }
};

TEST_F(RoadTest, ScreenWalkAndTheWayBack) {
    hero.hp = 7;
    hero.level = 4;
    EXPECT_TRUE(exploreRoad(DrawQuietWalk, "x"));
    EXPECT_EQ(screen.transcript(),
              "Jesteś na drodze. Masz 7/13 pw, 50 złota.\nDostepne komendy:\ns - informacje o postaci\n"
              "q - zapis i wyjście\ne - eksploruj\nm - mapa\n\nPatrolujesz drogę przez jakiś czas, jednak "
              "nikogo nie spotykasz.\n\n(ok)");
    EXPECT_EQ(hero.hp, 9);

    // The location loop shows the road, and "m" leads to the world map.
    screen.clearTranscript();
    screen.type("xm");
    EXPECT_TRUE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_TRUE(said("Jesteś na drodze."));
    EXPECT_EQ(world.location, LocationWorldMap);
    EXPECT_TRUE(shows("Gdzie chcesz iść:"));
}

TEST_F(RoadTest, TheTollWithTenNineAndNoGold) {
    struct Case {
        int gold;
        const char* answer;
    };
    for (const Case c : {Case{10, "Dobrze możesz przejść, tylko ani słowa straży.\nStraciłeś 10 sztuk złota.\n\n(ok)"},
                         Case{9, "Dobra, dawaj co tam masz i spadaj!\nStraciłeś 9 sztuk złota.\n\n(ok)"},
                         Case{0, "Cholera, nawet złota nie masz! Jeszcze raz cię tu spotkam to pożałujesz.\n\n(ok)"}}) {
        hero.gold = c.gold;
        screen.clearTranscript();
        EXPECT_TRUE(exploreRoad(DrawBandits, "xzx"));  // 'x' is no answer
        EXPECT_TRUE(said("Trafiłeś na kilku bandytów. " + TollDemand + c.answer)) << c.gold;
        EXPECT_EQ(hero.gold, 0);
        EXPECT_EQ(screen.keysQueued(), 0u);
    }
    hero.gold = 25;
    EXPECT_TRUE(exploreRoad(DrawBandits + 2, "zx"));
    EXPECT_EQ(hero.gold, 15);
}

TEST_F(RoadTest, RunningFromBanditsTakesAFasterHero) {
    EXPECT_TRUE(exploreRoad(DrawBandits, "ux"));  // pace 6 against 4
    EXPECT_TRUE(said("Uciekłeś przed bandytami.\n\n(ok)"));
    EXPECT_FALSE(said("Zaatakowałeś"));

    makeStrong();
    slow();
    world.questKind = 3;  // the mayor wants one group beaten
    screen.clearTranscript();
    EXPECT_TRUE(exploreRoad(DrawBandits, "ux" + winFight()));
    EXPECT_TRUE(said("Próbowałeś uciec ale cie dogonili.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"));
    const int bandits = count("Bandyta umiera.") + count("Bandyta ucieka.");
    EXPECT_TRUE(bandits == 2 || bandits == 3) << bandits;
    EXPECT_EQ(world.questStage, 1);
}

TEST_F(RoadTest, GuardsKnowAnEvilHero) {
    // Alignment -4: the patrol passes by.
    hero.alignment = -4;
    EXPECT_TRUE(exploreRoad(DrawGuards, "n"));
    EXPECT_TRUE(said("Trafiłeś na patrol straży na drodzę. Czy chcesz ich zaatakować? (t/n)\n"));
    EXPECT_FALSE(said("rozpoznał"));

    // Alignment -5: recognised; a hero as fast as they are is caught.
    makeStrong();
    slow();
    hero.alignment = -5;
    screen.clearTranscript();
    EXPECT_TRUE(explore(roadScreen, RoadEvents, DrawGuards, "ntx" + winFight()));
    EXPECT_TRUE(said("Już mijałeś strażników gdy jeden z nich cię rozpoznał!\nCzy chcesz próbować uciekać? (t/n)\n"
                     "Próbowałeś uciec ale cie dogonili.\n\n(ok){clear}\nZaatakowałeś strażników.\n"));
    EXPECT_EQ(count("Sierżant umiera.") + count("Sierżant ucieka."), 1);
    EXPECT_EQ(hero.alignment, -5 - world.killCounts[MonsterGuard] - world.killCounts[MonsterSergeant]);

    // A faster one gets away.
    makeTestHero();
    hero.alignment = -5;
    screen.clearTranscript();
    EXPECT_TRUE(exploreRoad(DrawGuards, "ntx"));
    EXPECT_TRUE(said("Uciekłeś przed strażnikami.\n\n(ok)"));
    EXPECT_FALSE(said("Zaatakowałeś"));
}

TEST_F(RoadTest, APatrolOfFourGuardsAndTheirSergeant) {
    makeStrong();
    // First draw the event, then 0 out of 4: the patrol is four strong.
    seedSuchThat([] { return randomNext() % RoadEvents == DrawGuards && randomNext() % 4 == 0; });
    screen.type("et" + winFight());
    EXPECT_FALSE(runUntilInputEnds(roadScreen));
    EXPECT_EQ(count("Strażnik umiera.") + count("Strażnik ucieka."), 4);
    EXPECT_EQ(count("Sierżant umiera.") + count("Sierżant ucieka."), 1);
    // Attacking cost one point, and every innocent killed another.
    EXPECT_EQ(hero.alignment, -1 - world.killCounts[MonsterGuard] - world.killCounts[MonsterSergeant]);
}

TEST_F(RoadTest, TheTraveller) {
    EXPECT_TRUE(exploreRoad(DrawTraveller, "nx"));
    EXPECT_TRUE(said("Natrafiłeś na podróżnika zmierzającego w przeciwnym kierunku.\nCzy chcesz go zaatakować? "
                     "(t/n)\nZamieniliście kilka słow i każdy ruszył w swoją stronę.\n\n(ok)"));
    EXPECT_EQ(hero.alignment, 0);

    makeStrong();
    screen.clearTranscript();
    EXPECT_TRUE(exploreRoad(DrawTraveller, "t" + winFight()));
    EXPECT_TRUE(said("{clear}\nZaatakowałeś podróżnika.\n"));
    EXPECT_TRUE(said("Podróżny umiera.") || said("Podróżny ucieka."));
    EXPECT_EQ(hero.alignment, -1 - world.killCounts[MonsterTraveller]);
}

TEST_F(RoadTest, TheRemainsOfACaravan) {
    EXPECT_TRUE(exploreRoad(DrawCaravan, "x\nw\n"));
    EXPECT_TRUE(said("Znalazłeś szczątki karawany.\n"));
    EXPECT_TRUE(said("\n(ok)"));
    EXPECT_GE(hero.gold, 50);
}

TEST_F(RoadTest, TheBanditChiefsOffer) {
    // Bandits greet a hero below -5 and take him to their chief.
    hero.alignment = -6;
    EXPECT_TRUE(exploreRoad(DrawBandits + 1, "xsx"));
    EXPECT_TRUE(said("Trafiłeś na kilku bandytów. Podchodzą do ciebie i mówia:\n-\"Słyszeliśmy o tobie, "
                     "niebezpieczny z ciebie zabójca! Jeśli chcesz zaprowadzimy cię do naszego szefa.\"\n\nCo chcesz "
                     "zrobić?s - idź z nimi\na - atakuj\n\no - odejdź\n" +
                     ChiefOfferText));
    EXPECT_TRUE(world.has(ChiefOffer));

    // At -5 they only want the toll, but the camp still takes him in.
    world.storyFlags = 0;
    hero.alignment = -5;
    screen.clearTranscript();
    EXPECT_TRUE(exploreRoad(DrawBandits, "zx"));
    EXPECT_TRUE(said(TollDemand));
    EXPECT_FALSE(world.has(ChiefOffer));

    screen.clearTranscript();
    EXPECT_TRUE(exploreRoad(DrawCamp, "px"));
    EXPECT_TRUE(said("Z daleka dostrzegasz niewielki obóz bandytów. Znajduje się tu około 10 bandytów.\nCo chcesz "
                     "zrobić:\np - podejdź\na - atakuj\no - odejdź\n" +
                     ChiefOfferText));
    EXPECT_TRUE(world.has(ChiefOffer));

    // Walking away changes nothing.
    world.storyFlags = 0;
    hero.alignment = -6;
    EXPECT_TRUE(exploreRoad(DrawCamp, "o"));
    EXPECT_TRUE(exploreRoad(DrawBandits, "o"));
    EXPECT_EQ(world.storyFlags, 0u);
}

TEST_F(RoadTest, TheCampFallsOnAnHonestHeroOrOneWhoKilledTheMayor) {
    makeStrong();
    hero.alignment = -4;
    EXPECT_TRUE(exploreRoad(DrawCamp, "px" + winFight()));
    EXPECT_TRUE(said("Bandyci rzucili się na ciebie.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"));
    EXPECT_EQ(count("Bandyta umiera.") + count("Bandyta ucieka."), 9);
    EXPECT_FALSE(said("Herszt"));
    EXPECT_FALSE(world.has(ChiefOffer));

    hero.alignment = -20;
    world.set(MayorDead);
    screen.clearTranscript();
    EXPECT_TRUE(exploreRoad(DrawCamp, "px" + winFight()));
    EXPECT_TRUE(said("-\"Dobra robota, teraz mogę cie zabić! Hahaha!.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"));
    EXPECT_FALSE(world.has(ChiefOffer));
}

TEST_F(RoadTest, WithTheChiefDeadTheBanditsOnlyTakeTolls) {
    makeStrong();
    world.questKind = 8;
    EXPECT_TRUE(exploreRoad(DrawCamp, "a" + winFight()));
    EXPECT_EQ(count("Herszt umiera."), 1) << "the chief must fall for this test";
    EXPECT_EQ(count("Bandyta umiera.") + count("Bandyta ucieka."), 9);
    EXPECT_TRUE(world.has(ChiefDead));

    // The camp is gone: its draw and the first bandit draw meet no bandits.
    makeTestHero();
    world.storyFlags = ChiefDead;
    hero.alignment = -20;
    for (int draw : {DrawCamp, DrawBandits, DrawBandits + 1}) {
        screen.clearTranscript();
        exploreRoad(draw, "x");
        EXPECT_FALSE(said("bandyt")) << draw;
        EXPECT_FALSE(said("Bandyt")) << draw;
        if (draw == DrawBandits) {
            EXPECT_TRUE(said("Patrolujesz drogę przez jakiś czas")) << draw;
        } else {  // kobolds, goblins or orcs for a first-level hero
            EXPECT_TRUE(said("Natrafiłeś na ") || said("Zauważyłeś przeciwnika") || said("Czujesz ciarki")) << draw;
        }
    }
    // The last one still asks for the toll, without a greeting.
    screen.clearTranscript();
    hero.gold = 30;
    EXPECT_TRUE(exploreRoad(DrawBandits + 2, "zx"));
    EXPECT_TRUE(said("m - mapa\n\n" + TollDemand));
    EXPECT_EQ(hero.gold, 20);
}

}  // namespace
}  // namespace kelvrin::test
