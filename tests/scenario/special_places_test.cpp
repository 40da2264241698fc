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

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
    return n;
}

struct Spot {
    int x;
    int y;
};

// A floor cell next to `to`, and the arrow that leads from it onto `to`.
struct Approach {
    Spot from;
    int key;
};

class SpecialPlacesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        screen.setBeforeKey([this] { keysInFight_.push_back(world.inCombat); });
    }

    // A hero of the twentieth level with a +5 sword, whom no monster down
    // here can bring down before he has cut it to pieces.
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

    // Inside a fight every command is `inFight`; once no fight runs the
    // keys of `after` follow, then the input ends. Keys typed beforehand
    // come first.
    void fightWith(int inFight, const std::string& after) {
        auto rest = std::make_shared<std::deque<int>>(after.begin(), after.end());
        screen.setKeySource([rest, inFight] {
            if (world.inCombat) return inFight;
            if (rest->empty()) return int(KeyEnd);
            const int key = rest->front();
            rest->pop_front();
            return key;
        });
    }

    // Keys read before the first one of a fight.
    int keysBeforeTheFight() const {
        int n = 0;
        while (n < static_cast<int>(keysInFight_.size()) && !keysInFight_[static_cast<std::size_t>(n)]) ++n;
        return n;
    }

    // Builds the map of the place of world.location (the first drawing).
    void loadPlace() { runUntilInputEnds([] { enterDungeon(false); }); }

    // Runs the place with the hero starting on the cell, as after a load.
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
        const Approach ways[] = {{{to.x, to.y + 1}, KeyUp},
                                 {{to.x, to.y - 1}, KeyDown},
                                 {{to.x + 1, to.y}, KeyLeft},
                                 {{to.x - 1, to.y}, KeyRight}};
        for (const Approach& way : ways) {
            const std::int32_t cell = levelMap.walkable(way.from.x, way.from.y) ? levelMap.at(way.from.x, way.from.y) : 0;
            if (cell != 0 && (cell & (LevelMap::Chest | LevelMap::SpecialPlace | LevelMap::StairsUp)) == 0) return way;
        }
        ADD_FAILURE() << "no plain floor next to " << to.x << "," << to.y;
        return ways[0];
    }

    // The cell of the overview where the hero stands.
    bool heroShownAt(Spot at) const { return screen.charAt(1 + at.y, 50 + at.x) == U'O'; }

    std::vector<bool> keysInFight_;
};

TEST_F(SpecialPlacesTest, TerrasqueFallsToAHeroWithTheDruidAndThePaladin) {
    makeChampion();
    world.location = LocationHallsOfPain;
    world.set(DruidFriend);
    world.set(PaladinFriend);
    loadPlace();
    const Spot lair = find(LevelMap::SpecialPlace);
    const Approach way = approach(lair);
    screen.press(way.key);
    screen.type("t ");          // attack, and a key once both allies came
    fightWith('f', "  ");       // the fight's "(ok)", then the victory's
    keysInFight_.clear();
    playFrom(way.from);

    const std::string& out = screen.transcript();
    EXPECT_EQ(keysBeforeTheFight(), 3);
    EXPECT_EQ(count(out, "Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\n"), 1);
    EXPECT_EQ(count(out, "Słyszysz odgłosy metalowej zbroji dochodzące z korytarza, zza rogu wychodzi paladyn. Chce "
                         "ci pomów w walce z potworem.\n"),
              1);
    EXPECT_NE(out.find("Druid zmienił się w Legendarny tygrys."), std::string::npos) << "the druid took part";
    EXPECT_EQ(count(out, "Terrasque umiera.\n"), 1);
    EXPECT_EQ(count(out, "Udało ci się! Terrasque nie żyje!\n\n(ok)"), 1);
    EXPECT_TRUE(world.has(TerrasqueDead));
    EXPECT_TRUE(world.has(DruidFriend) && world.has(PaladinFriend)) << "the allies live on";
    EXPECT_TRUE(heroShownAt(lair));
    EXPECT_GT(hero.hp, 0);

    // The lair is quiet from now on.
    screen.clearTranscript();
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");
}

TEST_F(SpecialPlacesTest, WhoComesToTerrasqueAndWhoIsFought) {
    struct Case {
        std::uint32_t flags;
        bool hostileDruid;
        bool friendlyPaladin;
        int keysBeforeFight;  // 't', and one more when anyone came
        bool terrasqueFought;
    };
    const Case cases[] = {
        // The hostile druid is fought with the paladin's help; Terrasque
        // sleeps on and the hero steps back.
        {DruidHostile | PaladinFriend, true, true, 2, false},
        // The dead come to no one's side: the fight starts at once.
        {DruidDead | DruidHostile | PaladinDead | PaladinFriend, false, false, 1, true},
    };
    for (const Case& c : cases) {
        makeTestHero();
        makeChampion();
        world.location = LocationHallsOfPain;
        world.storyFlags = c.flags;
        screen.clearTranscript();
        keysInFight_.clear();
        screen.type("t");
        if (c.keysBeforeFight > 1) screen.type(" ");
        fightWith('f', c.terrasqueFought ? "  " : " ");
        EventOutcome outcome = EventOutcome::Died;
        EXPECT_FALSE(runUntilInputEnds([&] { outcome = specialPlace(); }));
        const std::string& out = screen.transcript();
        EXPECT_EQ(keysBeforeTheFight(), c.keysBeforeFight) << c.flags;
        EXPECT_EQ(count(out, "druid, nie jest przyjaźnie nastawiony.\n"), c.hostileDruid ? 1 : 0) << c.flags;
        EXPECT_EQ(count(out, "paladyn. Chce ci pomów w walce z potworem.\n"), c.friendlyPaladin ? 1 : 0) << c.flags;
        EXPECT_EQ(count(out, "Pojawia się poratl"), 0) << c.flags;
        EXPECT_EQ(count(out, "Terrasque umiera.\n"), c.terrasqueFought ? 1 : 0) << c.flags;
        EXPECT_EQ(world.has(TerrasqueDead), c.terrasqueFought) << c.flags;
        EXPECT_EQ(outcome, c.terrasqueFought ? EventOutcome::Stay : EventOutcome::StepBack) << c.flags;
    }
    EXPECT_TRUE(world.has(PaladinDead)) << "a dead paladin stays dead";
}

TEST_F(SpecialPlacesTest, TheGolemsAskAgainAfterADeclineAndLeaveTheCrystal) {
    makeChampion();
    world.location = LocationChallengeChamber;
    loadPlace();
    const Spot pedestal = find(LevelMap::SpecialPlace);
    const Approach way = approach(pedestal);
    screen.press(way.key);
    screen.type("n");
    playFrom(way.from);
    EXPECT_TRUE(heroShownAt(way.from)) << "declining steps back";
    EXPECT_FALSE(world.has(GolemsDefeated));

    // Asked again on the next approach; this time the hero fights, and
    // takes everything the fight left.
    screen.press(way.key);
    screen.type("t ");
    fightWith('f', " p\n ");
    keysInFight_.clear();
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
    world.set(MineCleared);  // no monsters: only the chests act
    loadPlace();
    const Spot chest = find(LevelMap::Chest);
    const Approach way = approach(chest);
    playFrom(way.from);
    // The chest's block in the close-up shows "$" at its row 4, column 4.
    const int dx = chest.x - way.from.x;
    const int dy = chest.y - way.from.y;
    EXPECT_EQ(screen.charAt(2 + 6 * (dy + 1) + 4, 6 * (dx + 1) + 4), U'$');

    screen.press(way.key);
    screen.type(" w\n");  // the treasure's "(ok)"; walk away from the loot
    playFrom(way.from);
    EXPECT_EQ(count(screen.transcript(), "Znalazłeś skrzynię.\n"), 1);
    EXPECT_TRUE(chestOpened(SlotMine, 0));  // the first chest, row by row
    EXPECT_TRUE(heroShownAt(chest));
    EXPECT_EQ(screen.charAt(2 + 6 + 4, 6 + 4), U'_');

    // On a later visit, the chest shows no "$" and gives nothing again.
    screen.clearTranscript();
    const int opposite = way.key == KeyUp ? KeyDown : way.key == KeyDown ? KeyUp : way.key == KeyLeft ? KeyRight : KeyLeft;
    screen.press(opposite);
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
    // A seed whose first draw wakes a mimic (one draw in forty).
    std::uint32_t seed = 1;
    for (seedRandom(seed); randomNext() % 40 != 0; seedRandom(++seed)) {
    }

    seedRandom(seed);
    screen.type(" ");  // the chest's "(ok)"
    fightWith('u', " ");
    EventOutcome outcome = EventOutcome::Died;
    EXPECT_FALSE(runUntilInputEnds([&] { outcome = openChest(SlotMine, 3); }));
    EXPECT_NE(screen.transcript().find("Znalazłeś skrzynię.\n\n(ok){clear}\nGdy podszedłeś do skrzynki, zaatakowała "
                                       "cię.\n"),
              std::string::npos);
    EXPECT_NE(screen.transcript().find("Uciekłeś z walki.\n"), std::string::npos);
    EXPECT_EQ(outcome, EventOutcome::StepBack);
    EXPECT_EQ(world.levelSeeds[SlotMine].openedChests, 1u << 3);

    // The empty chest does nothing at all on the next visit.
    screen.clearTranscript();
    const std::uint32_t random = randomState();
    EXPECT_EQ(openChest(SlotMine, 3), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");
    EXPECT_EQ(randomState(), random);

    // The same draw on the first and the twelfth dungeon level, and in the
    // halls of pain, opens a plain chest.
    for (int slot : {0, int(SlotLastDungeonLevel), int(SlotHallsOfPain)}) {
        screen.clearTranscript();
        seedRandom(seed);
        fightWith('u', " w\n");
        runUntilInputEnds([&] { openChest(slot, 0); });
        EXPECT_EQ(count(screen.transcript(), "zaatakowała"), 0) << slot;
        EXPECT_TRUE(chestOpened(slot, 0)) << slot;
    }
}

TEST_F(SpecialPlacesTest, TheStrangeSwordIsTakenOnceAndOnlyWhenItFits) {
    world.location = LocationCrypt;
    world.dungeonLevel = 2;
    const ItemSlot sword{LongSwordRow, KindWeapon, 1, -5, OfTheGods};

    // A full backpack, then too little strength: the sword stays.
    for (ItemSlot& slot : hero.inventory) slot = ItemSlot{0, KindGem, 0, 0, Identified};
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.5f;
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");
    EXPECT_FALSE(world.has(SwordTaken));

    // Exactly enough room: taken.
    hero.capacity = hero.load + 2.0f;
    const float load = hero.load;
    screen.type(" ");
    EXPECT_FALSE(runUntilInputEnds([] { specialPlace(); }));
    EXPECT_EQ(screen.transcript(), "Znalazłeś dziwny miecz na ziemi. Na pewno jest magiczny.\n\n(ok)");
    EXPECT_EQ(hero.inventory[0], sword);
    EXPECT_FLOAT_EQ(hero.load, load + 2.0f);
    EXPECT_TRUE(world.has(SwordTaken));

    // Never a second one.
    hero.capacity = 1000.0f;
    screen.clearTranscript();
    EXPECT_EQ(specialPlace(), EventOutcome::Stay);
    EXPECT_EQ(screen.transcript(), "");
    EXPECT_TRUE(hero.inventory[1].empty());
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
        ASSERT_TRUE(paladinWaitsHere());
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
        // A fled meeting is met again; a companion is not.
        EXPECT_EQ(paladinWaitsHere(), !c.joins) << c.alignment;
    }
}

TEST_F(SpecialPlacesTest, ThePaladinWaitsOnTheFirstCryptLevel) {
    hero.alignment = 0;
    world.location = LocationCrypt;
    world.dungeonLevel = 0;
    loadPlace();
    const Spot up = find(LevelMap::StairsUp);
    const Approach away = approach(up);  // a plain cell next to the stairs
    const int back = away.key;
    const int out = back == KeyUp ? KeyDown : back == KeyDown ? KeyUp : back == KeyLeft ? KeyRight : KeyLeft;
    screen.clearTranscript();
    screen.press(out);
    screen.type(" ");  // the paladin's "(ok)"
    screen.press(back);
    playFrom(up);
    EXPECT_EQ(count(screen.transcript(), "\"Witaj Testowy Wojownik!"), 1) << screen.transcript();
    EXPECT_TRUE(world.has(PaladinCompanion));
    EXPECT_TRUE(heroShownAt(up));

    // Not on the crypt's second level, nor in the dungeon.
    for (auto [location, level] : {std::pair{int(LocationCrypt), 1}, std::pair{int(LocationDungeon), 0}}) {
        world.clear(PaladinCompanion);
        world.location = location;
        world.dungeonLevel = level;
        EXPECT_FALSE(paladinWaitsHere()) << location << " " << level;
    }
}

TEST_F(SpecialPlacesTest, ThePaladinsFarewellComesOnceAfterTwentyCryptFights) {
    world.location = LocationCrypt;
    world.dungeonLevel = 1;
    world.set(PaladinCompanion);
    EXPECT_FALSE(paladinFarewellDue(19));
    EXPECT_FALSE(paladinFarewellDue(21));
    ASSERT_TRUE(paladinFarewellDue(20));

    const int xp = hero.xp;
    screen.type(" ");
    EXPECT_FALSE(runUntilInputEnds([] { paladinFarewell(); }));
    EXPECT_EQ(screen.transcript(),
              "Paladyn:\n-\"Dziękuje za pomoc w zwalczaniu tych plugawych potworów. Jeśli będziesz mnie kiedyś "
              "potrzebował, z chęcią ci pomogę.\n\n(ok)Zdobyłeś {10}3000{7} doświadczenia. Możesz awansować na 2 "
              "poziom.\n");
    EXPECT_EQ(hero.xp, xp + 3000);
    EXPECT_TRUE(world.has(PaladinFriend));
    EXPECT_FALSE(world.has(PaladinCompanion));
    EXPECT_FALSE(paladinFarewellDue(20));

    // Only the paladin who walked with the hero says goodbye: not a dead one,
    // nor one who fought him.
    for (std::uint32_t flags : {std::uint32_t{PaladinDead}, std::uint32_t{PaladinHostile | LandOwned}}) {
        world.storyFlags = flags;
        EXPECT_FALSE(paladinFarewellDue(20)) << flags;
    }
}

}  // namespace
}  // namespace kelvrin::test
