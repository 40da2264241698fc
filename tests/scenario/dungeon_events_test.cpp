// The dungeon screen and its stairs, the chests, the special places and the paladin of the crypt.
#include <algorithm>
#include <deque>
#include <memory>

#include "support/scenario.h"

#include "data/item_tables.h"
#include "data/level_slots.h"
#include "dungeon/chests.h"
#include "dungeon/dungeon_events.h"
#include "dungeon/dungeon_view.h"
#include "dungeon/level_map.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

struct Spot { int x, y; };

class DungeonTest : public ScenarioTest {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        screen.setBeforeKey([this] { keysBeforeFight_ += !world.inCombat && !fought_; fought_ |= world.inCombat; });
    }
    // Level 20 and a +5 sword: nothing down here brings him down before he has cut it to pieces.
    static void makeChampion() {
        makeTestHero();
        std::tie(hero.level, hero.baseAttack, hero.attackPool, hero.maxHp, hero.hp) =
            std::tuple(20, 40, 40, 5000, 5000);
        hero.attributes = {40, 20, 30, 10, 10, 10};
        std::tie(hero.weapon, hero.shield.bonus) = std::tuple(ItemSlot{LongSwordRow, KindWeapon, 1, 5, Identified}, 60);
        hero.capacity = computeCapacity();
    }
    // After the keys typed beforehand, every command of a fight is `inFight`, outside fights the keys of `after`.
    void fightWith(int inFight, const std::string& after) {
        keysBeforeFight_ = 0;
        fought_ = false;
        auto rest = std::make_shared<std::deque<int>>(after.begin(), after.end());
        screen.setKeySource([rest, inFight] {
            if (world.inCombat || rest->empty()) return world.inCombat ? inFight : int(KeyEnd);
            const int key = rest->front();
            rest->pop_front();
            return key;
        });
    }
    // An event from a fresh transcript with the keys before, in and after its fight; it must return before their end.
    EventOutcome event(EventOutcome (*place)(), const std::string& typed, int inFight, const std::string& after) {
        EventOutcome outcome = EventOutcome::Died;
        screen.type(typed);
        fightWith(inFight, after);
        EXPECT_FALSE(play([&] { outcome = place(); }, "")) << typed;
        return outcome;
    }
    // Runs the place of world.location with the hero on the cell, as after a load; true when the keys ran out.
    bool playFrom(Spot at) {
        std::tie(world.savedX, world.savedY) = std::tie(at.x, at.y);
        return runUntilInputEnds([] { enterDungeon(true); });
    }
    // Enters the place anew, on its stairs up.
    bool enter(int location) {
        world.location = location;
        return runUntilInputEnds([] { enterDungeon(false); });
    }
    static Spot find(std::int32_t flag) {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (levelMap.at(x, y) & flag) return {x, y};
        ADD_FAILURE() << "no cell with " << flag;
        return {0, 0};
    }
    // A plain floor cell beside `to`, and the arrow that leads from it onto `to`.
    static std::pair<Spot, int> approach(Spot to) {
        for (auto [dx, dy, key] : {std::tuple{0, 1, KeyUp}, {0, -1, KeyDown}, {1, 0, KeyLeft}, {-1, 0, KeyRight}}) {
            const Spot from{to.x + dx, to.y + dy};
            constexpr std::int32_t busy = LevelMap::Chest | LevelMap::SpecialPlace | LevelMap::StairsUp;
            if (levelMap.walkable(from.x, from.y) && !(levelMap.at(from.x, from.y) & busy)) return {from, key};
        }
        ADD_FAILURE() << "no plain floor next to " << to.x << "," << to.y;
        return {to, 0};
    }
    bool heroShownAt(Spot at) const { return screen.charAt(1 + at.y, 50 + at.x) == U'O'; }
    int keysBeforeFight_ = 0;
    bool fought_ = false;
};

TEST_F(DungeonTest, FirstLevelScreenQuittingAndTheWayOut) {
    EXPECT_TRUE(enter(LocationDungeon));
    EXPECT_EQ(std::tuple(world.levelSeeds[0].seed, screen.rowText(0),  // the level is built now, from the clock
                         screen.rowText(1).starts_with("Jesteś w podziemiach na 1 poziomie."), screen.rowText(21)),
              std::tuple(std::uint32_t(FixedTime), "Testowy Człowiek Wojownik, Poziom 1, Pw 13/13, Złoto 50", true,
                         "Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście"));
    // On the stairs up: mid close-up beside the stairs mark, and on his cell of the overview.
    const Spot up = find(LevelMap::StairsUp), down = find(LevelMap::StairsDown);
    EXPECT_EQ(std::tuple(screen.charAt(2 + 9, 9), screen.charAt(2 + 9, 8), heroShownAt(up)),
              std::tuple(U'O', U'/', true));

    // Letters that mean nothing and steps into rock: no redraw, no step, no draw from the generator.
    const auto [clears, random] = std::pair(screen.clears(), randomState());
    screen.type("xz1");
    for (int key : {int(KeyUp), int(KeyDown), int(KeyLeft), int(KeyRight)}) {
        const Spot to{up.x + (key == KeyRight) - (key == KeyLeft), up.y + (key == KeyDown) - (key == KeyUp)};
        if (!levelMap.walkable(to.x, to.y)) screen.press(key);
    }
    EXPECT_TRUE(playFrom(up));
    EXPECT_EQ(std::pair(screen.clears(), randomState()), std::pair(clears + 1, random));  // only the entry's drawing

    // Resumed on the saved cell; "q" cancelled, then "q" without saving: the cell is kept.
    world.resumeDungeon = true;
    screen.type("qaqn");
    EXPECT_FALSE(playFrom(down));
    EXPECT_EQ(std::tuple(heroShownAt(down), world.resumeDungeon, world.leaveLoop, screen.keysQueued(), world.savedX,
                         world.savedY),
              std::tuple(true, false, true, 0u, down.x, down.y));
    // A saved cell inside the rock (a damaged file) puts him on the stairs up, where "u" leads to the world map.
    world.savedX = world.savedY = 0;
    while (levelMap.walkable(world.savedX, 0)) ++world.savedX;
    screen.type("u");
    EXPECT_FALSE(runUntilInputEnds([] { EXPECT_TRUE(enterDungeon(true)); }));
    EXPECT_EQ(std::pair(heroShownAt(up), world.location), std::pair(true, int(LocationWorldMap)));
}

// The mine's stairs lead to the chamber and the forest; only the stairs down to the fifth level end the mayor's quest.
TEST_F(DungeonTest, StairsBetweenPlacesAndLevels) {
    world.set(MineCleared);  // no random encounters in a cleared mine
    enter(LocationMine);
    EXPECT_TRUE(shows("Jesteś w kopalni."));
    const Spot up = find(LevelMap::StairsUp), down = find(LevelMap::StairsDown);
    screen.type("uu");  // down into the chamber; "u" on its entry leads back to the mine's stairs down
    EXPECT_TRUE(playFrom(down));
    EXPECT_EQ(std::tuple(said("Jesteś w komnacie wyzwań."), world.location, heroShownAt(down)),
              std::tuple(true, int(LocationMine), true));
    screen.type("u");
    EXPECT_FALSE(playFrom(up));
    EXPECT_EQ(world.location, LocationForest);
    EXPECT_TRUE(world.has(MineCleared));

    for (auto [level, kind, stage] :
         {std::tuple{3, QuestFifthLevel, 1}, {4, QuestFifthLevel, 0}, {3, QuestBandits, 0}}) {
        SCOPED_TRACE(level);
        std::tie(world.location, world.dungeonLevel, world.questKind, world.questStage) =
            std::tuple(int(LocationDungeon), level, kind, 0);
        EXPECT_TRUE(playFrom({0, 0}));  // in the rock: on the stairs up, the level loaded
        screen.type("u");
        EXPECT_TRUE(playFrom(find(LevelMap::StairsDown)));
        // The level counts from 0, the screen from 1.
        EXPECT_TRUE(screen.rowText(1).starts_with(formatText("Jesteś w podziemiach na %d poziomie.", level + 2)));
        EXPECT_EQ(world.questStage, stage);
    }
}

TEST_F(DungeonTest, AMimicLeftBehindCountsAsAnOpenedChest) {
    // A mimic left behind counts as an opened chest; the same draw on the first and the last level opens a chest.
    std::tie(hero.feats, hero.maxHp, hero.hp) = std::tuple(FeatRun, 200, 200);  // pace 7 against the mimic's 2: escapes
    const std::uint32_t seed = seedSuchThat([] { return randomNext() % 40 == 0; });  // the first draw wakes a mimic
    EXPECT_EQ(event([] { return openChest(SlotMine, 3); }, " ", 'u', " "), EventOutcome::StepBack);
    EXPECT_TRUE(screen.transcript().starts_with(
        "Znalazłeś skrzynię.\n\n(ok){clear}\nGdy podszedłeś do skrzynki, zaatakowała cię.\n"));
    EXPECT_EQ(world.levelSeeds[SlotMine].openedChests, 1u << 3);
    EXPECT_EQ(openChest(SlotMine, 3), EventOutcome::Stay);
    for (auto open : {+[] { return openChest(0, 0); }, +[] { return openChest(SlotLastDungeonLevel, 0); }}) {
        seedRandom(seed);
        event(open, "", 'u', " w\n");
        EXPECT_FALSE(said("zaatakowała"));
    }
}

TEST_F(DungeonTest, TheGolemsAskAgainAfterADeclineAndLeaveTheCrystal) {
    makeChampion();
    enter(LocationChallengeChamber);
    const Spot pedestal = find(LevelMap::SpecialPlace);
    const auto [from, key] = approach(pedestal);
    screen.press(key);
    screen.type("n");
    playFrom(from);
    EXPECT_TRUE(heroShownAt(from)) << "declining steps back";
    screen.press(key);  // asked again; this time the hero fights with his last Pw, and takes all that is left
    screen.type("t ");
    hero.hp = 1;
    fightWith('f', " p\n ");
    playFrom(from);
    EXPECT_EQ(std::pair(seen("żelazne golemy. Czy chcesz podejść? (t/n)\nGdy tylko podeszłes na odległość kilku metrów "
                             "golemy rzuciły się na ciebie.\n\n(ok)"),
                        seen("Postument jest pusty!\n\n(ok)")),
              std::pair(1, 1));
    const bool crystal = std::any_of(hero.inventory.begin(), hero.inventory.end(), [](const ItemSlot& item) {
        return item.kind == KindGem && item.ref == CrystalRow;
    });
    EXPECT_EQ(std::tuple(world.has(GolemsDefeated), world.dungeonEventFight, heroShownAt(pedestal), crystal),
              std::tuple(true, false, true, true));
}

TEST_F(DungeonTest, TerrasqueAndThoseWhoComeToHisLair) {
    // A hostile druid is fought first, beside the paladin; Terrasque sleeps on. The dead take no side.
    for (auto [flags, arrivals, won] :
         {std::tuple<std::uint32_t, std::string, bool>{
              DruidHostile | PaladinFriend,
              "Pojawia się portal i wychodzi z niego druid, nie jest przyjaźnie nastawiony.\nSłyszysz odgłosy "
              "metalowej zbroji dochodzące z korytarza, zza rogu wychodzi paladyn. Chce ci pomów w walce z "
              "potworem.\n",
              false},
          {DruidDead | DruidHostile | PaladinDead | PaladinFriend, "", true}}) {
        makeChampion();
        std::tie(world.location, world.storyFlags) = std::tuple(int(LocationHallsOfPain), flags);
        // The answer (and a key after the arrivals); the fight's "(ok)", then the victory's, or the druid's loot.
        const EventOutcome outcome = event(specialPlace, arrivals.empty() ? "t" : "t ", 'f', won ? "  " : " w\n");
        EXPECT_TRUE(screen.transcript().starts_with("Widzisz przed sobą COŚ. Potwór jest olbrzymi, ale chyba śpi. Czy "
                                                    "chcesz go zaatakować? (t/n)\n" + arrivals + "{clear}\n"))
            << screen.transcript();
        EXPECT_EQ(std::tuple(keysBeforeFight_, seen("Udało ci się! Terrasque nie żyje!\n\n(ok)"),
                             world.has(TerrasqueDead), outcome),
                  std::tuple(arrivals.empty() ? 1 : 2, won ? 1 : 0, won,
                             won ? EventOutcome::Stay : EventOutcome::StepBack));
    }
    EXPECT_EQ(event(specialPlace, "", 'f', ""), EventOutcome::Stay);  // the lair is quiet once Terrasque is dead
    EXPECT_EQ(screen.transcript(), "");
}

TEST_F(DungeonTest, TheStrangeSwordIsTakenOnceAndOnlyWhenItFits) {
    std::tie(world.location, world.dungeonLevel) = std::tuple(int(LocationCrypt), 2);
    // A full backpack, then too little strength: the sword stays.
    hero.inventory.fill(ItemSlot{0, KindGem, 0, 0, Identified});
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.5f;
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_EQ(std::pair(screen.transcript(), world.has(SwordTaken)), std::pair(std::string(), false));
    hero.capacity = hero.load + 2.0f;  // exactly enough
    event(specialPlace, " ", 'f', "");
    EXPECT_EQ(screen.transcript(), "Znalazłeś dziwny miecz na ziemi. Na pewno jest magiczny.\n\n(ok)");
    EXPECT_EQ(std::pair(hero.inventory[0], world.has(SwordTaken)),
              std::pair(ItemSlot{LongSwordRow, KindWeapon, 1, -5, OfTheGods}, true));
    hero.capacity = 1000.0f;
    EXPECT_EQ(specialPlace(), EventOutcome::Stay) << "never a second";
    EXPECT_EQ(hero.inventory[1].kind, KindEmpty) << "never a second";
}

// He joins at alignment -5 or better, else attacks; a fled meeting comes again; he leaves after the 20th crypt fight.
TEST_F(DungeonTest, ThePaladinJoinsAGoodHeroAttacksAWickedOneAndLeavesAFriend) {
    for (auto [alignment, hostileBefore, words] :
         {std::tuple{-5, false, "mówi: \"Witaj Testowy Wojownik! Jeśli ci to nieprzeszkadza będe ci towarzyszył"},
          {-6, false, "mówi: \"Nie podoba mi się twoje postępowanie, zeszłeś na ścieżke zła"},
          {10, true,
           "krzycząc: \"Parszywy sługusie zła! Zapłacisz za wyżądzone zło!\"\n\n(ok){clear}\n"
           "Paladyn cię atakuje!\n"}}) {
        makeTestHero();  // pace 7 against the paladin's 3: escapes
        std::tie(hero.feats, hero.alignment, hero.maxHp, hero.hp) = std::tuple(FeatRun, alignment, 500, 500);
        world.location = LocationCrypt;
        if (hostileBefore) world.set(PaladinHostile);
        const EventOutcome outcome = event(paladinMeeting, " ", 'u', " ");
        const bool joins = alignment == -5;
        EXPECT_EQ(std::tuple(said("Słyszysz dźwięk metalu i zza rogu wychodzi odziany w zbroje wojownik. "),
                             said(words), said("Paladyn cię atakuje!\n"), world.has(PaladinCompanion),
                             world.has(PaladinHostile), outcome, paladinWaitsHere()),
                  std::tuple(true, true, !joins, joins, !joins, joins ? EventOutcome::Stay : EventOutcome::StepBack,
                             !joins))
            << alignment;
    }

    std::tie(world.dungeonLevel, world.storyFlags) = std::tuple(1, std::uint32_t{PaladinCompanion});
    EXPECT_EQ(std::pair(paladinFarewellDue(19), paladinFarewellDue(20)), std::pair(false, true));
    event([] { paladinFarewell(); return EventOutcome::Stay; }, " ", 'f', "");
    EXPECT_EQ(std::tuple(world.has(PaladinFriend), world.has(PaladinCompanion), paladinFarewellDue(20)),
              std::tuple(true, false, false));
    // Not a dead paladin, nor one who fought the hero; nor does he wait below the first level.
    for (std::uint32_t flags : {std::uint32_t{PaladinDead}, std::uint32_t{PaladinHostile | LandOwned}}) {
        world.storyFlags = flags;
        EXPECT_FALSE(paladinFarewellDue(20)) << flags;
    }
    world.storyFlags = 0;
    EXPECT_FALSE(paladinWaitsHere());
}

}  // namespace
}  // namespace kelvrin::test
