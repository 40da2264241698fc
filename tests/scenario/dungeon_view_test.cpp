#include <deque>
#include <map>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "dungeon/dungeon_view.h"
#include "dungeon/level_map.h"

namespace kelvrin::test {
namespace {

struct Cellxy {
    int x;
    int y;
    bool operator<(const Cellxy& o) const { return y != o.y ? y < o.y : x < o.x; }
    bool operator==(const Cellxy&) const = default;
};

class DungeonViewTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }

    Cellxy find(std::int32_t flag) const {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (levelMap.at(x, y) & flag) return {x, y};
        ADD_FAILURE() << "no cell with " << flag;
        return {0, 0};
    }

    // The arrow keys of a shortest walk over floor from one cell to another.
    std::vector<int> walk(Cellxy from, Cellxy to) const {
        std::map<Cellxy, std::pair<Cellxy, int>> cameBy;
        std::deque<Cellxy> queue{from};
        cameBy[from] = {from, 0};
        const std::pair<int, Cellxy> moves[] = {{KeyUp, {0, -1}}, {KeyDown, {0, 1}}, {KeyLeft, {-1, 0}}, {KeyRight, {1, 0}}};
        while (!queue.empty()) {
            const Cellxy at = queue.front();
            queue.pop_front();
            for (auto [key, d] : moves) {
                const Cellxy next{at.x + d.x, at.y + d.y};
                if (!levelMap.walkable(next.x, next.y) || cameBy.count(next)) continue;
                cameBy[next] = {at, key};
                queue.push_back(next);
            }
        }
        std::vector<int> keys;
        for (Cellxy at = to; !(at == from); at = cameBy.at(at).first) keys.insert(keys.begin(), cameBy.at(at).second);
        return keys;
    }

    void pressAll(const std::vector<int>& keys) {
        for (int key : keys) screen.press(key);
    }
};

TEST_F(DungeonViewTest, FirstLevelScreenAndTheWayOut) {
    world.location = LocationDungeon;
    world.dungeonLevel = 0;
    EXPECT_TRUE(runUntilInputEnds([] { enterDungeon(false); }));
    EXPECT_EQ(world.levelSeeds[0].seed, static_cast<std::uint32_t>(FixedTime));  // built now, from the clock
    EXPECT_EQ(screen.rowText(0), "Testowy Człowiek Wojownik, Poziom 1, Pw 13/13, Złoto 50");
    EXPECT_TRUE(screen.rowText(1).starts_with("Jesteś w podziemiach na 1 poziomie."));
    EXPECT_EQ(screen.rowText(21), "Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście");
    // The hero stands on the stairs up: in the middle of the close-up, with
    // the stairs mark beside him, and on his cell of the overview.
    const Cellxy up = find(LevelMap::StairsUp);
    EXPECT_EQ(screen.charAt(2 + 9, 9), U'O');
    EXPECT_EQ(screen.charAt(2 + 9, 8), U'/');
    EXPECT_EQ(screen.charAt(1 + up.y, 50 + up.x), U'O');
    for (int y = 0; y < LevelMap::Height; ++y) {
        for (int x = 0; x < LevelMap::Width; ++x) {
            if (!levelMap.walkable(x, y)) {
                EXPECT_EQ(screen.charAt(1 + y, 50 + x), U'#');
            }
        }
    }

    // Letters that mean nothing and steps into rock change nothing: no
    // redraw, no step, no draw from the generator.
    const int clears = screen.clears();
    const std::uint32_t random = randomState();
    screen.type("xz1");
    for (int key : {int(KeyUp), int(KeyDown), int(KeyLeft), int(KeyRight)}) {
        const Cellxy to{up.x + (key == KeyRight) - (key == KeyLeft), up.y + (key == KeyDown) - (key == KeyUp)};
        if (!levelMap.walkable(to.x, to.y)) screen.press(key);
    }
    EXPECT_TRUE(runUntilInputEnds([] { enterDungeon(true); }));
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
    const Cellxy up = find(LevelMap::StairsUp);
    const Cellxy down = find(LevelMap::StairsDown);
    const std::vector<int> back = walk(down, up);
    pressAll(walk(up, down));
    screen.type("u");
    runUntilInputEnds([] { enterDungeon(false); });
    EXPECT_EQ(world.location, LocationChallengeChamber);
    EXPECT_TRUE(shows("Jesteś w komnacie wyzwań."));
    // The chamber is the bottom of its branch: "u" on its entry goes back
    // up, and the hero arrives on the mine's stairs down.
    screen.type("u");
    pressAll(back);
    screen.type("u");
    bool left = false;
    EXPECT_FALSE(runUntilInputEnds([&] {
        world.location = LocationChallengeChamber;
        left = enterDungeon(false);
    }));
    EXPECT_TRUE(left);
    EXPECT_EQ(world.location, LocationForest);
    EXPECT_TRUE(world.has(MineCleared));
}

TEST_F(DungeonViewTest, ResumingPutsTheHeroOnTheSavedCellOrTheStairs) {
    world.location = LocationDungeon;
    world.dungeonLevel = 0;
    runUntilInputEnds([] { enterDungeon(false); });
    const Cellxy up = find(LevelMap::StairsUp);
    const Cellxy down = find(LevelMap::StairsDown);
    world.savedX = down.x;
    world.savedY = down.y;
    world.resumeDungeon = true;
    runUntilInputEnds([] { enterDungeon(true); });
    EXPECT_EQ(screen.charAt(1 + down.y, 50 + down.x), U'O');
    EXPECT_FALSE(world.resumeDungeon);
    // A saved cell inside the rock (a damaged file) puts him on the stairs up.
    for (int y = 0; y < LevelMap::Height; ++y) {
        for (int x = 0; x < LevelMap::Width; ++x) {
            if (!levelMap.walkable(x, y)) {
                world.savedX = x;
                world.savedY = y;
            }
        }
    }
    runUntilInputEnds([] { enterDungeon(true); });
    EXPECT_EQ(screen.charAt(1 + up.y, 50 + up.x), U'O');
}

TEST_F(DungeonViewTest, QuitFromTheDungeonRemembersTheCell) {
    world.location = LocationDungeon;
    screen.type("qa");
    runUntilInputEnds([] { enterDungeon(false); });
    EXPECT_FALSE(world.leaveLoop);
    const Cellxy up = find(LevelMap::StairsUp);
    EXPECT_EQ(world.savedX, up.x);
    EXPECT_EQ(world.savedY, up.y);
    screen.type("qn");
    EXPECT_FALSE(runUntilInputEnds([] { EXPECT_TRUE(enterDungeon(false)); }));
    EXPECT_TRUE(world.leaveLoop);
}

}  // namespace
}  // namespace kelvrin::test
