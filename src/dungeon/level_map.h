// The map of an underground level: 20 × 20 cells, row by row (index
// y × 20 + x, x the column from the left, y the row from the top). The game
// shows one level at a time, `levelMap`; it is rebuilt from the level's seed
// (or copied from a fixed map) on every arrival and never saved.
#pragma once

#include <array>
#include <cstdint>

namespace kelvrin {

struct LevelMap {
    // Cell values. Rock is 0 or 1; every other bit comes only together with
    // Floor, so a cell is walkable exactly when it has the Floor bit.
    enum Cell : std::int32_t {
        Unvisited = 0,  // never reached by the generator: solid rock
        Rock = 1,       // rock the generator rejected next to floor: a wall
        Floor = 0x2,
        Chest = 0x4,
        StairsUp = 0x8,        // the entry: the hero arrives here
        StairsDown = 0x10,
        CryptEntrance = 0x20,  // only on the sixth dungeon level
        SpecialPlace = 0x40,
    };

    static constexpr int Width = 20;
    static constexpr int Height = 20;
    static constexpr int CellCount = Width * Height;

    std::array<std::int32_t, CellCount> cells{};

    static constexpr bool inside(int x, int y) { return x >= 0 && x < Width && y >= 0 && y < Height; }
    static constexpr int indexOf(int x, int y) { return y * Width + x; }

    // The cell at column x, row y; both must be inside the map.
    constexpr std::int32_t& at(int x, int y) { return cells[static_cast<std::size_t>(indexOf(x, y))]; }
    constexpr std::int32_t at(int x, int y) const { return cells[static_cast<std::size_t>(indexOf(x, y))]; }

    // True when (x, y) lies inside the map and has the Floor bit.
    constexpr bool walkable(int x, int y) const { return inside(x, y) && (at(x, y) & Floor) != 0; }
    // True when (x, y) lies inside the map and has every bit of `flags`.
    constexpr bool has(int x, int y, std::int32_t flags) const { return inside(x, y) && (at(x, y) & flags) == flags; }

    friend bool operator==(const LevelMap&, const LevelMap&) = default;
};

// The level currently shown.
extern LevelMap levelMap;

}  // namespace kelvrin
