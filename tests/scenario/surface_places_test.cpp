// The places above ground: the town screen, the world map, the forest and the road.
#include <string>

#include "support/scenario.h"

#include "character/derived_values.h"
#include "character/program.h"
#include "data/classes.h"
#include "data/monsters.h"
#include "items/inventory.h"
#include "world/forest.h"
#include "world/road.h"

namespace kelvrin::test {
namespace {

// Explores a place above ground, meeting event `draw` of its events; true
// when the place returned before the keys ran out.
class SurfaceTest : public ScenarioTest {
protected:
    bool exploreForest(int draw, const std::string& keys) {
        world.location = LocationForest;
        return explore(forestScreen, 11, draw, keys);
    }
    bool exploreRoad(int draw, const std::string& keys) {
        world.location = LocationRoad;
        return explore(roadScreen, 20, draw, keys);
    }
    // Heavy armour: pace 4, no faster than guards and bandits.
    static void slow() {
        hero.armour = ItemSlot{11, KindArmour, 0, 0, Identified};
        ASSERT_EQ(speedSteps(), 4);
    }
};
using TownTest = SurfaceTest;
using ForestTest = SurfaceTest;
using RoadTest = SurfaceTest;

// One point short of the next level there is no hint, and without land no
// home; ignored keys ('o' without land among them) do not redraw. The sheet
// waits for a key; the world map leads back.
TEST_F(TownTest, TownScreenFollowsTheStateAndTheMapLeadsBack) {
    hero.hp = 5;
    hero.maxHp = 12;
    hero.gold = 77;
    hero.xp = 999;
    EXPECT_TRUE(play(runLocationLoop, "xo+1"));
    const std::string town = "Jesteś w mieście. Jest 1 dzień, 113 rok.\nMasz 5/12 pw, 77 złota.\nDostepne komendy:\n"
                             "s - informacje o postaci\nq - zapis i wyjście\nb - baraki\nu - burmistrz\nt - targowisko\n"
                             "g - gospoda\na - płatnerz\nd - zbrojmistrz\nm - wieża magów\nw - wyjdź z miasta\n\n\n";
    EXPECT_EQ(screen.screenText().substr(0, town.size()), town);
    EXPECT_EQ(screen.clears(), 1);
    EXPECT_EQ(world.location, LocationTown);

    hero.xp = 1000;
    world.set(LandOwned);
    play(runLocationLoop, "");
    EXPECT_TRUE(shows("Masz dość doświadczenia aby awansować na 2 poziom."));
    EXPECT_TRUE(shows("o - mój dom\nw - wyjdź z miasta"));
    play(runLocationLoop, "s");
    EXPECT_TRUE(shows("Testowy Człowiek Wojownik"));
    play(runLocationLoop, "w");
    EXPECT_EQ(world.location, LocationWorldMap);
    const std::string map = "Gdzie chcesz iść:\nm - miasto\nl - las\nd - droga\np - podziemia\n";
    EXPECT_EQ(screen.screenText().substr(0, map.size()), map);
    play(runLocationLoop, "xm");
    EXPECT_EQ(world.location, LocationTown);
    EXPECT_TRUE(shows("Jesteś w mieście."));
}

constexpr int DrawMineOrWell = 5;
constexpr int DrawDruidStory = 6;
const std::string QuietWalk = "Przechadzasz się przez jakiś czas po lesie, nie natrafiasz na nic niezwykłego.\n\n(ok)";

// A quiet walk in the forest or on the road heals half the level's Pw
// (nothing at level 1); keys of places not yet known are ignored.
TEST_F(ForestTest, QuietWalksHealHalfTheLevel) {
    world.location = LocationForest;
    hero.gold = 12;
    hero.hp = 5;
    seedSuchThat([] { return randomNext() % 11 == 0; });
    screen.type("kdex");  // neither mine nor grove is known: 'k' and 'd' are ignored
    EXPECT_FALSE(runUntilInputEnds(forestScreen));
    EXPECT_EQ(screen.transcript(), "Jesteś w lesie. Masz 5/13 pw, 12 złota.\nDostepne komendy:\ns - informacje o "
                                   "postaci\nq - zapis i wyjście\ne - eksploruj\nm - mapa\n\n" + QuietWalk);
    EXPECT_EQ(hero.hp, 5);
    hero.gold = 50;
    for (const auto& [road, level, hp, after] : {std::tuple{false, 5, 5, 7}, {false, 9, 10, 13}, {true, 4, 7, 9}}) {
        hero.level = level;
        hero.hp = hp;
        EXPECT_TRUE(road ? exploreRoad(0, "x") : exploreForest(0, "x"));
        EXPECT_EQ(hero.hp, after) << "level " << level;
    }
    EXPECT_EQ(screen.transcript(),
              "Jesteś na drodze. Masz 7/13 pw, 50 złota.\nDostepne komendy:\ns - informacje o postaci\n"
              "q - zapis i wyjście\ne - eksploruj\nm - mapa\n\nPatrolujesz drogę przez jakiś czas, jednak "
              "nikogo nie spotykasz.\n\n(ok)");
    EXPECT_TRUE(exploreRoad(6, "x\nw\n"));
    EXPECT_TRUE(said("m - mapa\n\nZnalazłeś szczątki karawany.\n"));
    world.location = LocationForest;
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
    EXPECT_TRUE(said("Biegniesz za psem i trafiasz na niewielką polanę. Leżą tam ułożone kamienie tworzące krąg. "));
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

// The worgs and the treant (the texts the whole game checks are not repeated):
// eight worgs, one treant, and only the druid's own flags change.
TEST_F(ForestTest, TheWorgsAndTheTreantMakeTheDruidAFriend) {
    makeStrong();
    const std::uint32_t others = GroveKnown | MineFound | LandOwned;
    world.storyFlags = others | DruidCompanion;
    EXPECT_TRUE(exploreForest(DrawDruidStory, winFight()));
    EXPECT_EQ(std::pair(fallen("Worg"), world.storyFlags), std::pair(8, others | DruidCompanion | WorgsBeaten));
    EXPECT_TRUE(said("{clear}Dziękuje za pomoc ale jest jeszcze jeden problem. Jeden z drzewców oszalał i zabija "
                     "wszystkie zwierzęta. Trzeba go powstrzymać, jest gdzieś w lesie.\nZdobyłeś {10}2000{7}"));
    EXPECT_TRUE(exploreForest(DrawDruidStory, winFight()));
    EXPECT_EQ(std::pair(fallen("Drzewiec"), world.storyFlags), std::pair(1, others | DruidFriend));
    EXPECT_TRUE(said("{clear}\nIdziesz przez las gdy nagle korzenie pobliskiego drzewa zaczynają cie oplątać."));
    EXPECT_TRUE(said("dziękujec ci. Jeśli będziesz kiedyś potrzebował pomocy, znajdę cie.\nZdobyłeś {10}5000{7}"));
    // The friend no longer walks with the hero: the forest is quiet.
    EXPECT_TRUE(exploreForest(DrawDruidStory, "x"));
    EXPECT_TRUE(said(QuietWalk));
}

constexpr int DrawTraveller = 7;
constexpr int DrawGuards = 10;
constexpr int DrawBandits = 16;  // 16, 17, 18
constexpr int DrawCamp = 19;

const std::string TollDemand =
    "Podchodzą do ciebie i mówia:\n-\"Jeśli chcesz przejść, musisz zaplacić *podatek*!\"\n\nCo chcesz zrobić?\n"
    "z - zapłać 10 sztuk złota\na - atakuj\nu - uciekaj\n";
const std::string ChiefOfferText =
    "Bandyci zaprowadzili cię do swojego herszta.\n-\"Chcesz zarobic? Zabij dla mnie burmistrza a dam ci 10.000 "
    "sztuk złota.\n\n(ok)";

TEST_F(RoadTest, TheTollWithTenNineAndNoGold) {
    for (const auto& [gold, answer] : {std::pair{10, "Dobrze możesz przejść, tylko ani słowa straży.\nStraciłeś 10"},
                                       {9, "Dobra, dawaj co tam masz i spadaj!\nStraciłeś 9 sztuk złota.\n\n(ok)"},
                                       {0, "Cholera, nawet złota nie masz! Jeszcze raz cię tu spotkam"}}) {
        hero.gold = gold;
        EXPECT_TRUE(exploreRoad(DrawBandits, "xzx"));  // 'x' is no answer
        EXPECT_TRUE(said("Trafiłeś na kilku bandytów. " + TollDemand + answer)) << gold;
        EXPECT_EQ(hero.gold, 0);
    }
    hero.gold = 25;
    EXPECT_TRUE(exploreRoad(DrawBandits + 2, "zx"));  // the last of the bandits' draws
    EXPECT_EQ(hero.gold, 15);
}

// Only a strictly faster hero outruns bandits and guards.
TEST_F(RoadTest, RunningFromBanditsAndGuards) {
    EXPECT_TRUE(exploreRoad(DrawBandits, "ux") && said("Uciekłeś przed bandytami.\n\n(ok)"));  // pace 6 against 4
    hero.alignment = -5;  // the guards know him
    EXPECT_TRUE(exploreRoad(DrawGuards, "ntx") && said("Uciekłeś przed strażnikami.\n\n(ok)"));
    makeStrong();
    slow();
    world.questKind = 3;  // the mayor wants one group beaten
    EXPECT_TRUE(exploreRoad(DrawBandits, "ux" + winFight()));
    EXPECT_TRUE(said("Próbowałeś uciec ale cie dogonili.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"));
    EXPECT_TRUE(fallen("Bandyta") == 2 || fallen("Bandyta") == 3) << fallen("Bandyta");
    EXPECT_EQ(world.questStage, 1);
}

TEST_F(RoadTest, GuardsKnowAnEvilHero) {
    hero.alignment = -4;  // the patrol passes by
    EXPECT_TRUE(exploreRoad(DrawGuards, "n"));
    EXPECT_TRUE(said("Trafiłeś na patrol straży na drodzę. Czy chcesz ich zaatakować? (t/n)\n"));
    EXPECT_FALSE(said("rozpoznał"));
    // At -5 recognised and caught; the event's draw, then 0 out of 4: four guards.
    hero.alignment = -5;
    makeStrong();
    slow();
    seedSuchThat([] { return randomNext() % 20 == DrawGuards && randomNext() % 4 == 0; });
    screen.type("entx" + winFight());
    EXPECT_FALSE(runUntilInputEnds(roadScreen));
    EXPECT_TRUE(said("Już mijałeś strażników gdy jeden z nich cię rozpoznał!\nCzy chcesz próbować uciekać? (t/n)\n"
                     "Próbowałeś uciec ale cie dogonili.\n\n(ok){clear}\nZaatakowałeś strażników.\n"));
    EXPECT_EQ(fallen("Strażnik"), 4);
    EXPECT_EQ(fallen("Sierżant"), 1);
    // Every innocent killed costs a point, and attacking them one more.
    EXPECT_EQ(hero.alignment, -5 - world.killCounts[MonsterGuard] - world.killCounts[MonsterSergeant]);
    hero.alignment = 0;
    world.killCounts = {};
    EXPECT_TRUE(exploreRoad(DrawGuards, "t" + winFight()));
    EXPECT_EQ(hero.alignment, -1 - world.killCounts[MonsterGuard] - world.killCounts[MonsterSergeant]);
}

TEST_F(RoadTest, TheTraveller) {
    EXPECT_TRUE(exploreRoad(DrawTraveller, "nx"));
    EXPECT_TRUE(said("(t/n)\nZamieniliście kilka słow i każdy ruszył w swoją stronę.\n\n(ok)"));
    EXPECT_EQ(hero.alignment, 0);
    makeStrong();
    EXPECT_TRUE(exploreRoad(DrawTraveller, "t" + winFight()));
    EXPECT_EQ(fallen("Podróżny"), 1);
    EXPECT_EQ(hero.alignment, -1 - world.killCounts[MonsterTraveller]);
}

TEST_F(RoadTest, TheBanditChiefsOffer) {
    hero.alignment = -6;  // below -5 the bandits take the hero to their chief
    EXPECT_TRUE(exploreRoad(DrawBandits + 1, "xsx"));
    EXPECT_TRUE(said("Trafiłeś na kilku bandytów. Podchodzą do ciebie i mówia:\n-\"Słyszeliśmy o tobie, "
                     "niebezpieczny z ciebie zabójca! Jeśli chcesz zaprowadzimy cię do naszego szefa.\"\n\nCo chcesz "
                     "zrobić?s - idź z nimi\na - atakuj\n\no - odejdź\n" + ChiefOfferText));
    EXPECT_TRUE(world.has(ChiefOffer));
    // At -5 they only want the toll, but the camp still takes him in.
    world.storyFlags = 0;
    hero.alignment = -5;
    EXPECT_TRUE(exploreRoad(DrawBandits, "zx"));
    EXPECT_TRUE(said(TollDemand));
    EXPECT_FALSE(world.has(ChiefOffer));
    EXPECT_TRUE(exploreRoad(DrawCamp, "px"));
    EXPECT_TRUE(said("Z daleka dostrzegasz niewielki obóz bandytów. Znajduje się tu około 10 bandytów.\nCo chcesz "
                     "zrobić:\np - podejdź\na - atakuj\no - odejdź\n" + ChiefOfferText));
    EXPECT_TRUE(world.has(ChiefOffer));
    world.storyFlags = 0;  // walking away changes nothing
    hero.alignment = -6;
    EXPECT_TRUE(exploreRoad(DrawCamp, "o") && exploreRoad(DrawBandits, "o"));
    EXPECT_EQ(world.storyFlags, 0u);
}

// The camp falls on an honest hero and on one who killed the mayor; the
// chief fights only when the mayor wants his head.
TEST_F(RoadTest, TheCampFightAndTheRoadWithoutTheChief) {
    makeStrong();
    hero.alignment = -4;
    EXPECT_TRUE(exploreRoad(DrawCamp, "px" + winFight()));
    EXPECT_TRUE(said("Bandyci rzucili się na ciebie.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"));
    EXPECT_EQ(fallen("Bandyta"), 9);
    EXPECT_FALSE(said("Herszt"));
    hero.alignment = -20;
    world.set(MayorDead);
    EXPECT_TRUE(exploreRoad(DrawCamp, "px" + winFight()));
    EXPECT_TRUE(said("-\"Dobra robota, teraz mogę cie zabić! Hahaha!.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"));
    EXPECT_FALSE(world.has(ChiefOffer));
    world.questKind = 8;
    EXPECT_TRUE(exploreRoad(DrawCamp, "a" + winFight()));
    EXPECT_EQ(count(screen.transcript(), "Herszt umiera."), 1) << "the chief must fall for this test";
    EXPECT_TRUE(world.has(ChiefDead));
    // The camp's draw and the first bandit draw meet no bandits; the last one asks for the toll, unannounced.
    makeTestHero();  // a new game: the chief's death is all that stays
    world.storyFlags = ChiefDead;
    hero.alignment = -20;
    for (int draw : {DrawCamp, DrawBandits, DrawBandits + 1}) {
        exploreRoad(draw, "x");
        EXPECT_FALSE(said("bandyt") || said("Bandyt")) << draw;
        EXPECT_TRUE(draw == DrawBandits ? said("Patrolujesz drogę przez jakiś czas")
                                        : said("Natrafiłeś na ") || said("Zauważyłeś przeciwnika") || said("Czujesz ciarki"))
            << draw;
    }
    hero.gold = 30;
    EXPECT_TRUE(exploreRoad(DrawBandits + 2, "zx"));
    EXPECT_TRUE(said("m - mapa\n\n" + TollDemand));
    EXPECT_EQ(hero.gold, 20);
}

}  // namespace
}  // namespace kelvrin::test
