// The places above ground: the town screen, the world map, the forest and the road.
#include "support/scenario.h"

#include "character/derived_values.h"
#include "data/classes.h"
#include "data/monsters.h"
#include "world/forest.h"
#include "world/road.h"

namespace kelvrin::test {
namespace {

class SurfaceTest : public ScenarioTest {
protected:
    // Explores the forest or the road meeting event `draw`; true when the place returned before the keys ran out.
    bool exploreForest(int draw, const std::string& keys) {
        world.location = LocationForest;
        return explore(forestScreen, 11, draw, keys);
    }
    bool exploreRoad(int draw, const std::string& keys) {
        world.location = LocationRoad;
        return explore(roadScreen, 20, draw, keys);
    }
    // The same, where the place must return having printed every part.
    void forest(int draw, const std::string& keys, std::initializer_list<std::string> parts) {
        EXPECT_TRUE(exploreForest(draw, keys)) << keys;
        saw(parts);
    }
    void road(int draw, const std::string& keys, std::initializer_list<std::string> parts) {
        EXPECT_TRUE(exploreRoad(draw, keys)) << keys;
        saw(parts);
    }
    // Heavy armour: pace 4, no faster than guards and bandits.
    static void slow() {
        hero.armour = ItemSlot{11, KindArmour, 0, 0, Identified};
        ASSERT_EQ(speedSteps(), 4);
    }
    // Every innocent killed costs a point of alignment.
    static int innocents() {
        return world.killCounts[MonsterGuard] + world.killCounts[MonsterSergeant] + world.killCounts[MonsterTraveller];
    }
};
using ForestTest = SurfaceTest;
using RoadTest = SurfaceTest;

constexpr int DrawDruidStory = 6;

// The dog leads only after a won fight and a yes; a flight from the wolves ends the event.
TEST_F(ForestTest, TheDogLeadsOnlyAfterAWonFightAndAYes) {
    std::tie(hero.maxHp, hero.hp, hero.shield.bonus) = std::tuple(500, 500, 40);
    hero.heroClass = ClassBarbarian;  // running, pace 8: sometimes outruns wolves (pace 10)
    hero.feats |= FeatRun;
    ASSERT_EQ(speedSteps(), 8);
    forest(DrawDruidStory, "t" + std::string(60, 'u') + "x", {"Uciekłeś z walki."});
    EXPECT_FALSE(said("Pies wesoło merda"));
    makeTestHero();
    makeStrong();
    // Helped, but the dog is not followed: it can be met again.
    forest(DrawDruidStory, "t" + winFight() + "n",
           {"\n\nPies wesoło merda ogonem, szczeka na ciebie i ucieka w głąb lasu. Czy chcesz iść za nim? (t/n)\n"});
    EXPECT_EQ(std::pair(fallen("Wilk"), world.has(GroveKnown)), std::pair(4, false));
    // Followed: the grove is found and shown until the hero walks out.
    forest(DrawDruidStory, "t" + winFight() + "txw",
           {"Biegniesz za psem i trafiasz na niewielką polanę. Leżą tam ułożone kamienie tworzące krąg. "});
    EXPECT_EQ(world.storyFlags, static_cast<std::uint32_t>(GroveKnown));
}

// Eight worgs, one treant, and only the druid's own flags change.
TEST_F(ForestTest, TheWorgsAndTheTreantMakeTheDruidAFriend) {
    makeStrong();
    const std::uint32_t others = GroveKnown | MineFound | LandOwned;
    world.storyFlags = others | DruidCompanion;
    forest(DrawDruidStory, winFight(), {"{clear}Dziękuje za pomoc ale jest jeszcze jeden problem. Jeden z drzewców "
                                        "oszalał i zabija wszystkie zwierzęta. Trzeba go powstrzymać, jest gdzieś w "
                                        "lesie.\nZdobyłeś {10}2000{7}"});
    EXPECT_EQ(std::pair(fallen("Worg"), world.storyFlags), std::pair(8, others | DruidCompanion | WorgsBeaten));
    forest(DrawDruidStory, winFight(),
           {"{clear}\nIdziesz przez las gdy nagle korzenie pobliskiego drzewa zaczynają cie oplątać.",
            "dziękujec ci. Jeśli będziesz kiedyś potrzebował pomocy, znajdę cie.\nZdobyłeś {10}5000{7}"});
    EXPECT_EQ(std::pair(fallen("Drzewiec"), world.storyFlags), std::pair(1, others | DruidFriend));
}

constexpr int DrawTraveller = 7, DrawGuards = 10, DrawBandits = 16, DrawCamp = 19;  // the bandits' draws: 16, 17, 18

// Guards know an evil hero and outrun the slow; innocents attacked cost a point more than those killed.
TEST_F(RoadTest, GuardsKnowAnEvilHeroAndInnocentsCostAlignment) {
    // At -5 recognised and caught; the event's draw, then 0 out of 4: four guards.
    hero.alignment = -5;
    makeStrong();
    slow();
    seedSuchThat([] { return randomNext() % 20 == DrawGuards && randomNext() % 4 == 0; });
    EXPECT_FALSE(play(roadScreen, "entx" + winFight()));
    EXPECT_TRUE(said("Już mijałeś strażników gdy jeden z nich cię rozpoznał!\nCzy chcesz próbować uciekać? (t/n)\n"
                     "Próbowałeś uciec ale cie dogonili.\n\n(ok){clear}\nZaatakowałeś strażników.\n"));
    EXPECT_EQ(std::tuple(fallen("Strażnik"), fallen("Sierżant"), hero.alignment), std::tuple(4, 1, -5 - innocents()));
    for (int draw : {DrawGuards, DrawTraveller}) {  // attacking innocents costs one more
        std::tie(hero.alignment, world.killCounts) = std::pair(0, decltype(world.killCounts){});
        road(draw, "t" + winFight(), {});
        EXPECT_EQ(hero.alignment, -1 - innocents()) << draw;
    }
    EXPECT_EQ(fallen("Podróżny"), 1);
    world.questKind = 3;  // the mayor wants one group of bandits beaten: caught running, the hero beats them
    road(DrawBandits, "ux" + winFight(),
         {"Próbowałeś uciec ale cie dogonili.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"});
    EXPECT_EQ(std::pair(fallen("Bandyta") / 2, world.questStage), std::pair(1, 1)) << fallen("Bandyta");  // 2 or 3
}

// The camp falls on an honest hero and on one who killed the mayor; the chief fights only when the mayor wants him.
TEST_F(RoadTest, TheCampFallsOnTheHeroAndTheChiefFightsWhenWanted) {
    makeStrong();
    hero.alignment = -4;
    road(DrawCamp, "px" + winFight(), {"Bandyci rzucili się na ciebie.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"});
    EXPECT_EQ(std::pair(fallen("Bandyta"), said("Herszt")), std::pair(9, false));
    hero.alignment = -20;
    world.set(MayorDead);
    road(DrawCamp, "px" + winFight(),
         {"-\"Dobra robota, teraz mogę cie zabić! Hahaha!.\n\n(ok){clear}\nZaatakowałeś bandytów.\n"});
    EXPECT_FALSE(world.has(ChiefOffer));
    world.questKind = 8;
    road(DrawCamp, "a" + winFight(), {});
    EXPECT_EQ(std::pair(seen("Herszt umiera."), world.has(ChiefDead)), std::pair(1, true)) << "the chief must fall";
}

}  // namespace
}  // namespace kelvrin::test
