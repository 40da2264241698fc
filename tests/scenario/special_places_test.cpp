#include <deque>
#include <memory>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/rules_tables.h"
#include "data/feats.h"
#include "data/item_tables.h"
#include "data/level_slots.h"
#include "dungeon/chests.h"
#include "dungeon/dungeon_view.h"
#include "dungeon/level_map.h"
#include "dungeon/special_places.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

struct Spot {
    int x;
    int y;
};

// A plain floor cell next to a cell, and the arrow that leads from it there.
struct Approach {
    Spot from;
    int key;
    int back;  // the arrow that leads back
};

class SpecialPlacesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        screen.setBeforeKey([this] { keysInFight_.push_back(world.inCombat); });
    }

    // A hero of the twentieth level with a +5 sword: nothing down here
    // brings him down before he has cut it to pieces.
    void makeChampion() {
        hero.level = 20;
        hero.baseAttack = hero.attackPool = 40;
        hero.attributes = {40, 20, 30, 10, 10, 10};
        hero.maxHp = hero.hp = 5000;
        hero.weapon = ItemSlot{LongSwordRow, KindWeapon, 1, 5, Identified};
        hero.shield.bonus = 60;
        hero.capacity = computeCapacity();
        recomputeLoad();
    }

    // Keys typed beforehand come first; then every command of a fight is
    // `inFight`, and outside fights the keys of `after` follow until the
    // input ends.
    void fightWith(int inFight, const std::string& after) {
        keysInFight_.clear();
        auto rest = std::make_shared<std::deque<int>>(after.begin(), after.end());
        screen.setKeySource([rest, inFight] {
            if (world.inCombat) return inFight;
            if (rest->empty()) return int(KeyEnd);
            const int key = rest->front();
            rest->pop_front();
            return key;
        });
    }

    int keysBeforeTheFight() const {
        int n = 0;
        while (n < static_cast<int>(keysInFight_.size()) && !keysInFight_[static_cast<std::size_t>(n)]) ++n;
        return n;
    }

    // Runs the place of world.location with the hero on the cell, as after
    // a load (the first run only builds the map).
    void playFrom(Spot at) {
        world.savedX = at.x;
        world.savedY = at.y;
        runUntilInputEnds([] { enterDungeon(true); });
    }

    static Spot find(std::int32_t flag) {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (levelMap.at(x, y) & flag) return {x, y};
        ADD_FAILURE() << "no cell with " << flag;
        return {0, 0};
    }

    static Approach approach(Spot to) {
        const Approach ways[] = {{{to.x, to.y + 1}, KeyUp, KeyDown},
                                 {{to.x, to.y - 1}, KeyDown, KeyUp},
                                 {{to.x + 1, to.y}, KeyLeft, KeyRight},
                                 {{to.x - 1, to.y}, KeyRight, KeyLeft}};
        constexpr std::int32_t busy = LevelMap::Chest | LevelMap::SpecialPlace | LevelMap::StairsUp;
        for (const Approach& way : ways)
            if (levelMap.walkable(way.from.x, way.from.y) && !(levelMap.at(way.from.x, way.from.y) & busy)) return way;
        ADD_FAILURE() << "no plain floor next to " << to.x << "," << to.y;
        return ways[0];
    }

    bool heroShownAt(Spot at) const { return screen.charAt(1 + at.y, 50 + at.x) == U'O'; }

    std::vector<bool> keysInFight_;
};

TEST_F(SpecialPlacesTest, TerrasqueAndThoseWhoComeToHisLair) {
    struct Case {
        std::uint32_t flags;
        const char* arrivals;  // the lines of those who came
        int keysBeforeFight;   // 't', and a key when anyone came
        bool terrasqueFought;
    };
    const Case cases[] = {
        {DruidFriend | PaladinFriend,
         "Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\nSłyszysz odgłosy metalowej "
         "zbroji dochodzące z korytarza, zza rogu wychodzi paladyn. Chce ci pomów w walce z potworem.\n",
         2, true},
        // The hostile druid is fought first, with the paladin at the hero's
        // side; Terrasque sleeps on and the hero steps back.
        {DruidHostile | PaladinFriend,
         "Pojawia się portal i wychodzi z niego druid, nie jest przyjaźnie nastawiony.\nSłyszysz odgłosy metalowej "
         "zbroji dochodzące z korytarza, zza rogu wychodzi paladyn. Chce ci pomów w walce z potworem.\n",
         2, false},
        // The dead come to no one's side, and the fight starts at once.
        {DruidDead | DruidHostile | PaladinDead | PaladinFriend, "", 1, true},
    };
    for (const Case& c : cases) {
        makeTestHero();
        makeChampion();
        world.location = LocationHallsOfPain;
        world.storyFlags = c.flags;
        screen.clearTranscript();
        screen.type(c.keysBeforeFight > 1 ? "t " : "t");
        // The fight's "(ok)", then the victory's or the druid's loot.
        fightWith('f', c.terrasqueFought ? "  " : " w\n");
        EventOutcome outcome = EventOutcome::Died;
        EXPECT_FALSE(runUntilInputEnds([&] { outcome = specialPlace(); }));
        const std::string& out = screen.transcript();
        EXPECT_TRUE(out.starts_with(std::string("Widzisz przed sobą COŚ. Potwór jest olbrzymi, ale chyba śpi. Czy "
                                                "chcesz go zaatakować? (t/n)\n") +
                                    c.arrivals + "{clear}\n"))
            << out;
        EXPECT_EQ(keysBeforeTheFight(), c.keysBeforeFight) << c.flags;
        EXPECT_EQ(count(out, "Terrasque umiera.\n"), c.terrasqueFought ? 1 : 0) << c.flags;
        EXPECT_EQ(count(out, "Udało ci się! Terrasque nie żyje!\n\n(ok)"), c.terrasqueFought ? 1 : 0) << c.flags;
        EXPECT_EQ(world.has(TerrasqueDead), c.terrasqueFought) << c.flags;
        EXPECT_EQ(outcome, c.terrasqueFought ? EventOutcome::Stay : EventOutcome::StepBack) << c.flags;
        if (c.flags & DruidFriend) {
            EXPECT_EQ(count(out, "Druid zmienił się w Legendarny tygrys."), 1) << "the druid took part";
        }
    }

    // The lair is quiet once Terrasque is dead.
    screen.clearTranscript();
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");
}

TEST_F(SpecialPlacesTest, TheGolemsAskAgainAfterADeclineAndLeaveTheCrystal) {
    makeChampion();
    world.location = LocationChallengeChamber;
    runUntilInputEnds([] { enterDungeon(false); });
    const Spot pedestal = find(LevelMap::SpecialPlace);
    const Approach way = approach(pedestal);
    screen.press(way.key);
    screen.type("n");
    playFrom(way.from);
    EXPECT_TRUE(heroShownAt(way.from)) << "declining steps back";

    // Asked again; this time the hero fights, and takes all that is left.
    screen.press(way.key);
    screen.type("t ");
    fightWith('f', " p\n ");
    playFrom(way.from);
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, "Przed sobą widzisz niewielki postument i dwa stojące obok niego żelazne golemy. Czy chcesz "
                         "podejść? (t/n)\n"),
              2);
    EXPECT_EQ(keysBeforeTheFight(), 3);
    EXPECT_EQ(count(out, "Gdy tylko podeszłes na odległość kilku metrów golemy rzuciły się na ciebie.\n\n(ok)"), 1);
    EXPECT_EQ(count(out, "Żelazny golem umiera.\n"), 2);
    EXPECT_EQ(count(out, "Postument jest pusty!\n\n(ok)"), 1);
    EXPECT_TRUE(world.has(GolemsDefeated));
    EXPECT_FALSE(world.dungeonEventFight);
    EXPECT_TRUE(heroShownAt(pedestal));
    bool crystal = false;
    for (const ItemSlot& item : hero.inventory) crystal = crystal || (item.kind == KindGem && item.ref == CrystalRow);
    EXPECT_TRUE(crystal);
}

TEST_F(SpecialPlacesTest, AChestOpenedOnceStaysOpened) {
    world.location = LocationMine;
    world.set(MineCleared);  // no monsters: only the chest acts
    runUntilInputEnds([] { enterDungeon(false); });
    const Spot chest = find(LevelMap::Chest);  // the first chest, row by row
    const Approach way = approach(chest);
    playFrom(way.from);
    // In the close-up the chest's block shows "$" at its row 4, column 4.
    const int dx = chest.x - way.from.x;
    const int dy = chest.y - way.from.y;
    EXPECT_EQ(screen.charAt(2 + 6 * (dy + 1) + 4, 6 * (dx + 1) + 4), U'$');

    screen.press(way.key);
    screen.type(" w\n");  // the treasure's "(ok)"; walk away from the loot
    playFrom(way.from);
    EXPECT_EQ(count(screen.transcript(), "Znalazłeś skrzynię.\n"), 1);
    EXPECT_TRUE(chestOpened(SlotMine, 0));
    EXPECT_TRUE(heroShownAt(chest));
    EXPECT_EQ(screen.charAt(2 + 6 + 4, 6 + 4), U'_');

    // A later visit: no "$", and nothing when the hero steps off and on.
    screen.clearTranscript();
    screen.press(way.back);
    screen.press(way.key);
    playFrom(chest);
    EXPECT_EQ(count(screen.transcript(), "Znalazłeś skrzynię."), 0);
    EXPECT_TRUE(heroShownAt(chest));
    EXPECT_EQ(screen.charAt(2 + 6 + 4, 6 + 4), U'_');
}

TEST_F(SpecialPlacesTest, AMimicLeftBehindCountsAsAnOpenedChest) {
    hero.feats = FeatRun;  // pace 7 against the mimic's 2: a sure escape
    hero.maxHp = hero.hp = 200;
    world.location = LocationMine;
    std::uint32_t seed = 1;  // one whose first draw wakes a mimic
    for (seedRandom(seed); randomNext() % 40 != 0; seedRandom(++seed)) {
    }
    seedRandom(seed);
    screen.type(" ");  // the chest's "(ok)"
    fightWith('u', " ");
    EventOutcome outcome = EventOutcome::Died;
    EXPECT_FALSE(runUntilInputEnds([&] { outcome = openChest(SlotMine, 3); }));
    EXPECT_TRUE(screen.transcript().starts_with(
        "Znalazłeś skrzynię.\n\n(ok){clear}\nGdy podszedłeś do skrzynki, zaatakowała cię.\n"));
    EXPECT_NE(screen.transcript().find("Uciekłeś z walki.\n"), std::string::npos);
    EXPECT_EQ(outcome, EventOutcome::StepBack);
    EXPECT_EQ(world.levelSeeds[SlotMine].openedChests, 1u << 3);

    screen.clearTranscript();
    EXPECT_EQ(openChest(SlotMine, 3), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");

    // The same draw on the first and the last dungeon level opens a chest.
    for (int slot : {0, int(SlotLastDungeonLevel)}) {
        seedRandom(seed);
        fightWith('u', " w\n");
        runUntilInputEnds([&] { openChest(slot, 0); });
        EXPECT_EQ(count(screen.transcript(), "zaatakowała"), 0) << slot;
    }
}

TEST_F(SpecialPlacesTest, TheStrangeSwordIsTakenOnceAndOnlyWhenItFits) {
    world.location = LocationCrypt;
    world.dungeonLevel = 2;
    // A full backpack, then too little strength: the sword stays.
    for (ItemSlot& slot : hero.inventory) slot = ItemSlot{0, KindGem, 0, 0, Identified};
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.5f;
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");
    EXPECT_FALSE(world.has(SwordTaken));

    hero.capacity = hero.load + 2.0f;  // exactly enough
    const float load = hero.load;
    screen.type(" ");
    EXPECT_FALSE(runUntilInputEnds([] { specialPlace(); }));
    EXPECT_EQ(screen.transcript(), "Znalazłeś dziwny miecz na ziemi. Na pewno jest magiczny.\n\n(ok)");
    EXPECT_EQ(hero.inventory[0], (ItemSlot{LongSwordRow, KindWeapon, 1, -5, OfTheGods}));
    EXPECT_FLOAT_EQ(hero.load, load + 2.0f);
    EXPECT_TRUE(world.has(SwordTaken));

    hero.capacity = 1000.0f;
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_TRUE(hero.inventory[1].empty()) << "never a second sword";
}

TEST_F(SpecialPlacesTest, ThePaladinJoinsAGoodHeroAndAttacksAWickedOne) {
    struct Case {
        int alignment;
        bool hostileBefore;
        const char* speech;
        bool joins;
    };
    const Case cases[] = {
        {-5, false,
         "Podchodzi do ciebie i mówi: \"Witaj Testowy Wojownik! Jeśli ci to nieprzeszkadza będe ci towarzyszył tak "
         "długo jak będziesz wędrował po korytarzach tej krypty. Przysiągłem zabić tyle nieumarłych potworów ilu "
         "dzielnych wojowników zginęło w obronie zamku Blackrock.\"\n\n(ok)",
         true},
        {-6, false,
         "Podchodzi do ciebie i mówi: \"Nie podoba mi się twoje postępowanie, zeszłeś na ścieżke zła i musisz zapłacić "
         "za wyrządzone krzywdy!\"\n\n(ok){clear}\nPaladyn cię atakuje!\n",
         false},
        // Once he has attacked, he attacks whatever the hero's standing.
        {10, true,
         "Rzuca się na ciebie krzycząc: \"Parszywy sługusie zła! Zapłacisz za wyżądzone zło!\"\n\n(ok){clear}\n"
         "Paladyn cię atakuje!\n",
         false},
    };
    for (const Case& c : cases) {
        makeTestHero();
        hero.feats = FeatRun;  // pace 7 against the paladin's 3: a sure escape
        hero.maxHp = hero.hp = 500;
        hero.alignment = c.alignment;
        world.location = LocationCrypt;
        world.dungeonLevel = 0;
        if (c.hostileBefore) world.set(PaladinHostile);
        screen.clearTranscript();
        screen.type(" ");
        fightWith('u', " ");
        EventOutcome outcome = EventOutcome::Died;
        EXPECT_FALSE(runUntilInputEnds([&] { outcome = paladinMeeting(); }));
        const std::string& out = screen.transcript();
        EXPECT_TRUE(out.starts_with("Słyszysz dźwięk metalu i zza rogu wychodzi odziany w zbroje wojownik. ")) << out;
        EXPECT_NE(out.find(c.speech), std::string::npos) << out;
        EXPECT_EQ(world.has(PaladinCompanion), c.joins) << c.alignment;
        EXPECT_EQ(world.has(PaladinHostile), !c.joins) << c.alignment;
        EXPECT_EQ(outcome, c.joins ? EventOutcome::Stay : EventOutcome::StepBack) << c.alignment;
        EXPECT_EQ(paladinWaitsHere(), !c.joins) << "a fled meeting comes again";
    }
}

TEST_F(SpecialPlacesTest, ThePaladinWaitsOnTheFirstCryptLevelOnly) {
    world.location = LocationCrypt;
    runUntilInputEnds([] { enterDungeon(false); });
    const Spot up = find(LevelMap::StairsUp);
    const Approach way = approach(up);
    screen.press(way.back);
    screen.type(" ");  // the paladin's "(ok)"
    screen.press(way.key);
    playFrom(up);
    EXPECT_EQ(count(screen.transcript(), "\"Witaj Testowy Wojownik!"), 1);
    EXPECT_TRUE(world.has(PaladinCompanion));
    EXPECT_TRUE(heroShownAt(up));

    world.clear(PaladinCompanion);
    world.dungeonLevel = 1;
    EXPECT_FALSE(paladinWaitsHere());
}

TEST_F(SpecialPlacesTest, ThePaladinsFarewellComesOnceAfterTwentyCryptFights) {
    world.location = LocationCrypt;
    world.dungeonLevel = 1;
    world.set(PaladinCompanion);
    EXPECT_FALSE(paladinFarewellDue(19));
    ASSERT_TRUE(paladinFarewellDue(20));
    screen.type(" ");
    EXPECT_FALSE(runUntilInputEnds([] { paladinFarewell(); }));
    EXPECT_EQ(screen.transcript(),
              "Paladyn:\n-\"Dziękuje za pomoc w zwalczaniu tych plugawych potworów. Jeśli będziesz mnie kiedyś "
              "potrzebował, z chęcią ci pomogę.\n\n(ok)Zdobyłeś {10}3000{7} doświadczenia. Możesz awansować na 2 "
              "poziom.\n");
    EXPECT_EQ(hero.xp, 3000);
    EXPECT_TRUE(world.has(PaladinFriend));
    EXPECT_FALSE(world.has(PaladinCompanion));
    EXPECT_FALSE(paladinFarewellDue(20));

    // Only the paladin who walked with the hero says goodbye: not a dead
    // one, nor one who fought him.
    for (std::uint32_t flags : {std::uint32_t{PaladinDead}, std::uint32_t{PaladinHostile | LandOwned}}) {
        world.storyFlags = flags;
        EXPECT_FALSE(paladinFarewellDue(20)) << flags;
    }
}

}  // namespace
}  // namespace kelvrin::test
