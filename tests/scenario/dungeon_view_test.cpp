#include "support/game_test.h"
#include "support/test_hero.h"

#include "dungeon/dungeon_view.h"
#include "dungeon/level_map.h"

namespace kelvrin::test {
namespace {

struct Spot {
    int x, y;
};

class DungeonViewTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }
    static Spot find(std::int32_t flag) {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (levelMap.at(x, y) & flag) return {x, y};
        ADD_FAILURE() << "no cell with " << flag;
        return {0, 0};
    }
    // Enters the place of world.location with the hero on the cell, as after a load; true when the keys ran out.
    bool resumeAt(Spot at) {
        world.savedX = at.x;
        world.savedY = at.y;
        return runUntilInputEnds([] { enterDungeon(true); });
    }
    bool heroShownAt(Spot at) const { return screen.charAt(1 + at.y, 50 + at.x) == U'O'; }
};

TEST_F(DungeonViewTest, FirstLevelScreenAndTheWayOut) {
    world.location = LocationDungeon;
    world.dungeonLevel = 0;  // a new game keeps the level: it is part of the position
    EXPECT_TRUE(runUntilInputEnds([] { enterDungeon(false); }));
    EXPECT_EQ(world.levelSeeds[0].seed, static_cast<std::uint32_t>(FixedTime));  // built now, from the clock
    EXPECT_EQ(screen.rowText(0), "Testowy Człowiek Wojownik, Poziom 1, Pw 13/13, Złoto 50");
    EXPECT_TRUE(screen.rowText(1).starts_with("Jesteś w podziemiach na 1 poziomie."));
    EXPECT_EQ(screen.rowText(21), "Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście");
    // On the stairs up: mid close-up beside the stairs mark, and on his cell of the overview.
    const Spot up = find(LevelMap::StairsUp);
    EXPECT_EQ(std::pair(screen.charAt(2 + 9, 9), screen.charAt(2 + 9, 8)), std::pair(U'O', U'/'));
    EXPECT_TRUE(heroShownAt(up));

    // Letters that mean nothing and steps into rock: no redraw, no step, no draw from the generator.
    const int clears = screen.clears();
    const std::uint32_t random = randomState();
    screen.type("xz1");
    for (int key : {int(KeyUp), int(KeyDown), int(KeyLeft), int(KeyRight)}) {
        const Spot to{up.x + (key == KeyRight) - (key == KeyLeft), up.y + (key == KeyDown) - (key == KeyUp)};
        if (!levelMap.walkable(to.x, to.y)) screen.press(key);
    }
    EXPECT_TRUE(resumeAt(up));
    EXPECT_EQ(screen.clears(), clears + 1);  // only the new entry's own drawing
    EXPECT_EQ(randomState(), random);
    // "u" on the stairs up of the first level leads out to the world map.
    screen.type("u");
    EXPECT_FALSE(runUntilInputEnds([] { EXPECT_TRUE(enterDungeon(false)); }));
    EXPECT_EQ(world.location, LocationWorldMap);
}

TEST_F(DungeonViewTest, StairsFromTheMineToTheChamberAndBack) {
    world.location = LocationMine;
    world.set(MineCleared);  // no random encounters in a cleared mine
    runUntilInputEnds([] { enterDungeon(false); });
    EXPECT_TRUE(shows("Jesteś w kopalni."));
    const Spot up = find(LevelMap::StairsUp);
    const Spot down = find(LevelMap::StairsDown);
    // Down into the chamber, the bottom of its branch: "u" on its entry leads back to the mine's stairs down.
    screen.type("uu");
    EXPECT_TRUE(resumeAt(down));
    EXPECT_NE(screen.transcript().find("Jesteś w komnacie wyzwań."), std::string::npos);
    EXPECT_EQ(world.location, LocationMine);
    EXPECT_TRUE(heroShownAt(down));
    screen.type("u");  // and up from the mine into the forest
    EXPECT_FALSE(resumeAt(up));
    EXPECT_EQ(world.location, LocationForest);
    EXPECT_TRUE(world.has(MineCleared));
}

TEST_F(DungeonViewTest, ResumingAndQuittingKeepTheCell) {
    world.location = LocationDungeon;
    world.dungeonLevel = 0;
    runUntilInputEnds([] { enterDungeon(false); });
    const Spot up = find(LevelMap::StairsUp);
    const Spot down = find(LevelMap::StairsDown);
    // Resumed on the saved cell; "q" cancelled, then "q" without saving: the cell is kept.
    world.resumeDungeon = true;
    screen.type("qaqn");
    EXPECT_FALSE(resumeAt(down));
    EXPECT_TRUE(heroShownAt(down));
    EXPECT_EQ(std::tuple(world.resumeDungeon, world.leaveLoop, screen.keysQueued()), std::tuple(false, true, 0u));
    EXPECT_EQ(std::pair(world.savedX, world.savedY), std::pair(down.x, down.y));
    // A saved cell inside the rock (a damaged file) puts him on the stairs up.
    Spot rock{0, 0};
    for (int y = 0; y < LevelMap::Height; ++y)
        for (int x = 0; x < LevelMap::Width; ++x)
            if (!levelMap.walkable(x, y)) rock = {x, y};
    resumeAt(rock);
    EXPECT_TRUE(heroShownAt(up));
}

}  // namespace
}  // namespace kelvrin::test
