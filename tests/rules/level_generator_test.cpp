#include <map>

#include "data/fixed_maps.h"
#include "data/level_slots.h"
#include "dungeon/level_generator.h"
#include "support/game_test.h"

namespace kelvrin {
namespace {

constexpr std::string_view FloorMarks = ".$/>KX";

// One character per cell: as FloorMarks ('K' crypt, 'X' special place), ' ' unvisited, '#' rock, '?' anything else.
std::vector<std::string> drawMap(const LevelMap& map) {
    using M = LevelMap;
    static const std::map<std::int32_t, char> chars{{M::Unvisited, ' '}, {M::Rock, '#'}, {M::Floor, '.'},
        {M::Floor | M::Chest, '$'}, {M::Floor | M::StairsUp, '/'}, {M::Floor | M::StairsDown, '>'},
        {M::Floor | M::CryptEntrance, 'K'}, {M::Floor | M::SpecialPlace, 'X'}};
    std::vector<std::string> rows(LevelMap::Height, std::string(LevelMap::Width, '?'));
    for (int cell = 0; cell < LevelMap::Width * LevelMap::Height; ++cell)
        if (const auto found = chars.find(map.at(cell % LevelMap::Width, cell / LevelMap::Width)); found != chars.end())
            rows[cell / LevelMap::Width][cell % LevelMap::Width] = found->second;
    return rows;
}

// How many cells of the drawn rows, from row `top` down, show one of the marks.
int cellsShowing(const std::vector<std::string>& rows, std::string_view marks, int top = 0) {
    int n = 0;
    for (std::size_t y = static_cast<std::size_t>(top); y < rows.size(); ++y)
        for (char c : rows[y]) n += marks.find(c) != marks.npos;
    return n;
}

// True when every floor cell can be reached from the stairs up by steps between floor cells.
bool allReachable(const LevelMap& map) {
    std::vector<std::string> rows = drawMap(map);
    const int floor = cellsShowing(rows, FloorMarks);
    const auto fill = [&rows](auto& self, int x, int y) -> int {  // counts and walls up what it reaches
        if (!LevelMap::inside(x, y) || FloorMarks.find(rows[y][x]) == std::string_view::npos) return 0;
        rows[y][x] = '#';
        return 1 + self(self, x - 1, y) + self(self, x + 1, y) + self(self, x, y - 1) + self(self, x, y + 1);
    };
    for (int y = 0; y < LevelMap::Height; ++y)
        if (const auto x = rows[y].find('/'); x != std::string::npos) return fill(fill, int(x), y) == floor;
    return false;
}

class LevelGenerator : public test::GameTest {
protected:
    int build(int slot, std::uint32_t seed) {
        const LevelSlotDef& def = levelSlotTable[static_cast<std::size_t>(slot)];
        record = {seed, 0};
        return generateLevel(record, def.maxChests, def.withCryptEntrance, def.withSpecialPlace, map);
    }
    LevelRecord record;
    LevelMap map;
};

// FNV-1a over the drawn rows: the fingerprint of a map.
std::uint32_t fingerprint(const std::vector<std::string>& rows) {
    std::uint32_t hash = 2166136261u;
    for (const std::string& row : rows)
        for (const char c : row) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// Maps recorded from stored seeds: a seed kept in a save file must rebuild the same level forever.
TEST_F(LevelGenerator, StoredSeedsRebuildTheRecordedMaps) {
    for (auto [slot, seed, recorded] : {std::tuple{0, 1300000000u, 0x28d4939du}, {5, 1234567890u, 0xd78cf153u},
                                        {13, 42u, 0x4844f00du}, {17, 1700000000u, 0xecfc9eb8u}}) {
        ASSERT_EQ(build(slot, seed), LevelBuilt);
        const std::vector<std::string> rows = drawMap(map);
        EXPECT_EQ(std::pair(record.seed, fingerprint(rows)), std::pair(seed, recorded))
            << "slot " << slot << " now draws " << testing::PrintToString(rows);
    }
}

TEST_F(LevelGenerator, NewLevelsOfEverySlotAndTheFixedMapsKeepTheirShape) {
    for (const LevelSlotDef& slot : levelSlotTable) {
        if (slot.source != MapSource::Generated) continue;
        for (int visit = 0; visit < 120; ++visit) {
            const std::int64_t now = 1300000000 + 7919 * visit + slot.id;
            setFixedClock(now);
            SCOPED_TRACE(testing::Message() << "slot " << slot.id << " clock " << now);
            ASSERT_EQ(build(slot.id, 0), LevelBuilt);
            // The seed is the clock's, or a little later when that one gave no map; the game's draws follow the clock.
            const auto clock = static_cast<std::uint32_t>(now);
            EXPECT_GE(record.seed, clock);
            EXPECT_LT(record.seed, clock + 10);
            EXPECT_EQ(randomState(), clock);
            // 100 floor cells or more, one of each mark, the special ones in the upper ten rows, no unknown cell;
            // every region joins the earlier ones, and every wall borders floor.
            const std::vector<std::string> rows = drawMap(map);
            EXPECT_GE(cellsShowing(rows, FloorMarks), 100);
            EXPECT_LE(cellsShowing(rows, "$"), slot.maxChests);
            EXPECT_EQ(cellsShowing(rows, "/"), 1);
            EXPECT_EQ(cellsShowing(rows, ">"), 1);
            EXPECT_EQ(cellsShowing(rows, "K"), int(slot.withCryptEntrance));
            EXPECT_EQ(cellsShowing(rows, "X"), int(slot.withSpecialPlace));
            EXPECT_EQ(cellsShowing(rows, ">KX", 10), 0);
            EXPECT_EQ(cellsShowing(rows, "?"), 0);
            EXPECT_TRUE(allReachable(map));
            for (int y = 0; y < LevelMap::Height; ++y)
                for (int x = 0; x < LevelMap::Width; ++x) {
                    if (map.at(x, y) != LevelMap::Rock) continue;
                    const int floorAround = map.walkable(x - 1, y) + map.walkable(x + 1, y) + map.walkable(x, y - 1) +
                                            map.walkable(x, y + 1);
                    ASSERT_GT(floorAround, 0) << x << "," << y;
                }
            // The next visit rebuilds the same level from the stored seed.
            const LevelMap first = map;
            setFixedClock(now + 86400);
            EXPECT_EQ(build(slot.id, record.seed), LevelBuilt);
            EXPECT_TRUE(map == first);
        }
    }
    // The two fixed maps: one special place, no unknown cell, every floor cell reached from the entry.
    for (const LevelMap* fixed : {&hallsOfPainMap, &challengeChamberMap}) {
        const std::vector<std::string> rows = drawMap(*fixed);
        EXPECT_EQ(std::tuple(cellsShowing(rows, "X"), cellsShowing(rows, "?"), allReachable(*fixed)),
                  std::tuple(1, 0, true));
    }
}

// A stored seed that gives no map fails (kept, the game reseeded); a new level's clock passes over it and over 0.
TEST_F(LevelGenerator, SeedsThatGiveNoMapAndAClockOfZero) {
    for (auto [slot, seed, why] : {std::tuple{0, 536u, "twenty regions give fewer than 100 floor cells"},
                                   {0, 698u, "no plain floor in the upper ten rows"},
                                   {5, 2020u, "one plain floor cell up top: stairs down, but no crypt entrance"},
                                   {3, 0u, "clock 0"}}) {
        SCOPED_TRACE(why);
        setFixedClock(test::FixedTime);
        if (seed != 0) {
            EXPECT_EQ((std::tuple{build(slot, seed), record.seed, randomState(), cellsShowing(drawMap(map), "K")}),
                      std::tuple(LevelBuildFailed, seed, static_cast<std::uint32_t>(test::FixedTime), 0));
        }
        ASSERT_EQ(build(slot, seed + 1), LevelBuilt);
        const LevelMap next = map;
        setFixedClock((std::int64_t{1} << 32) + seed);  // only the low 32 bits of the clock count
        EXPECT_EQ((std::tuple{build(slot, 0), record.seed, map}), std::tuple(LevelBuilt, seed + 1, next));
    }
}

}  // namespace
}  // namespace kelvrin
