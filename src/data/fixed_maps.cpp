#include "data/fixed_maps.h"

#include <cstddef>

namespace kelvrin {
namespace {

using MapRows = const char* const[LevelMap::Height];

// One character per cell, row 0 at the top:
//   #  rock
//   .  floor
//   $  floor with a chest
//   /  floor with the stairs up (the entry)
//   X  floor with the special place
constexpr std::int32_t cellOf(char c) {
    switch (c) {
        case '#': return LevelMap::Rock;
        case '.': return LevelMap::Floor;
        case '$': return LevelMap::Floor | LevelMap::Chest;
        case '/': return LevelMap::Floor | LevelMap::StairsUp;
        case 'X': return LevelMap::Floor | LevelMap::SpecialPlace;
        default: return -1;
    }
}

constexpr LevelMap fromRows(MapRows& rows) {
    LevelMap map;
    for (int y = 0; y < LevelMap::Height; ++y)
        for (int x = 0; x < LevelMap::Width; ++x) map.at(x, y) = cellOf(rows[y][x]);
    return map;
}

// Every row is 20 known characters, and the map has exactly one entry.
constexpr bool wellFormed(MapRows& rows) {
    int entries = 0;
    for (int y = 0; y < LevelMap::Height; ++y) {
        for (int x = 0; x < LevelMap::Width; ++x) {
            if (rows[y][x] == '\0' || cellOf(rows[y][x]) < 0) return false;
            if (rows[y][x] == '/') ++entries;
        }
        if (rows[y][LevelMap::Width] != '\0') return false;
    }
    return entries == 1;
}

constexpr int chestsIn(const LevelMap& map) {
    int chests = 0;
    for (std::int32_t cell : map.cells)
        if (cell & LevelMap::Chest) ++chests;
    return chests;
}

constexpr MapRows hallsOfPainRows = {
    "####################",
    "###$$$######X#######",
    "###...######.#######",
    "####.#######.#######",
    "##...#######.#######",
    "##.########...######",
    "##.#####$.......$###",
    "##.########...######",
    "##.#########.#######",
    "##...........#######",
    "#######.############",
    "#######.############",
    "#######.############",
    "#######.#########$##",
    "##$...............##",
    "#######.####.#######",
    "#######.####.#######",
    "######...###$#######",
    "######./.###########",
    "####################",
};

constexpr MapRows challengeChamberRows = {
    "######/#############",
    "#....#.#.......##$.#",
    "#.##.....#####..##.#",
    "#.#########.###.....",
    "#....##$.......####.",
    "####.#####.###.####.",
    "$.##...###.#$#......",
    "#.####.###.#.#.#####",
    "#......###$#.#.##...",
    "######.#####.#....##",
    ".......#..X#.###.###",
    "$##.####.###.###.#$.",
    "###.##...#.....#.##.",
    "....##.#######.#....",
    ".#####.........####.",
    ".###$..##.##.######.",
    "...######.##....#...",
    "##.##.....#####...##",
    "......#.##$#$###.###",
    "$######....#.....###",
};

static_assert(wellFormed(hallsOfPainRows) && wellFormed(challengeChamberRows));
static_assert(chestsIn(fromRows(hallsOfPainRows)) == 8);
static_assert(chestsIn(fromRows(challengeChamberRows)) == 11);

}  // namespace

const LevelMap hallsOfPainMap = fromRows(hallsOfPainRows);
const LevelMap challengeChamberMap = fromRows(challengeChamberRows);

}  // namespace kelvrin
