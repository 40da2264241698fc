#include "dungeon/level_generator.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/clock.h"
#include "core/random.h"

namespace kelvrin {
namespace {

constexpr int MaxRegions = 20;
constexpr int MinFloorCells = 100;
// Stairs down and the other special cells lie among the first 200 cells:
// the upper ten rows.
constexpr int SpecialCellLimit = 10 * LevelMap::Width;

// An ordered list of cells by index, without allocation. The frontier takes
// each cell once when it turns into floor plus one start cell per region;
// the wall pool and the candidates take each cell at most once.
class CellList {
public:
    bool empty() const { return count_ == 0; }
    int size() const { return count_; }
    int operator[](int i) const { return cells_[static_cast<std::size_t>(i)]; }
    void push(int cell) { cells_[static_cast<std::size_t>(count_++)] = static_cast<std::int16_t>(cell); }
    int pop() { return cells_[static_cast<std::size_t>(--count_)]; }
    // Removes entry i; the entries after it move up and keep their order.
    void removeAt(int i) {
        for (int j = i + 1; j < count_; ++j) cells_[static_cast<std::size_t>(j - 1)] = cells_[static_cast<std::size_t>(j)];
        --count_;
    }

private:
    std::array<std::int16_t, LevelMap::CellCount + MaxRegions> cells_{};
    int count_ = 0;
};

// A draw modulo n (n > 0).
int drawBelow(int n) { return randomNext() % n; }

// The clock's seconds (low 32 bits) as a level seed; 0 would mean "never
// built", so it becomes 1.
std::uint32_t clockSeed() {
    const auto seconds = static_cast<std::uint32_t>(nowSeconds());
    return seconds == 0 ? 1 : seconds;
}

// Grows the open area: regions of winding corridors flooded depth-first from
// a start cell, each later region starting on a rejected wall cell so that it
// joins the earlier ones. False when twenty regions give under 100 floor cells.
bool carveFloor(LevelMap& map, int maxChests) {
    auto& cells = map.cells;
    cells.fill(LevelMap::Unvisited);
    CellList frontier;
    CellList wallPool;
    int floorCount = 0;
    int chestCount = 0;
    int wallWeight = 4;  // a draw divisible by this makes a wall

    for (int region = 1;; ++region) {
        if (region > MaxRegions) return false;
        int start;
        if (wallPool.empty()) {
            const int y = drawBelow(16) + 2;  // the row is drawn first
            const int x = drawBelow(16) + 2;
            start = LevelMap::indexOf(x, y);
        } else {
            const int i = drawBelow(wallPool.size());
            start = wallPool[i];
            wallPool.removeAt(i);
        }
        frontier.push(start);
        auto& startCell = cells[static_cast<std::size_t>(start)];
        if (startCell != LevelMap::Floor) {
            startCell = region == 1 ? LevelMap::Floor | LevelMap::StairsUp : LevelMap::Floor;
            ++floorCount;
        }

        auto decide = [&](int cell) {
            auto& value = cells[static_cast<std::size_t>(cell)];
            if (value != LevelMap::Unvisited) return;
            if (randomNext() % wallWeight != 0) {
                value = LevelMap::Floor;
                frontier.push(cell);
                --wallWeight;
                ++floorCount;
                if (chestCount < maxChests && drawBelow(10) == 0) {
                    value = LevelMap::Floor | LevelMap::Chest;
                    ++chestCount;
                }
            } else {
                value = LevelMap::Rock;
                wallPool.push(cell);
                ++wallWeight;
            }
        };
        while (!frontier.empty()) {
            const int cell = frontier.pop();
            const int x = cell % LevelMap::Width;
            const int y = cell / LevelMap::Width;
            if (x > 0) decide(cell - 1);
            if (x < LevelMap::Width - 1) decide(cell + 1);
            if (y > 0) decide(cell - LevelMap::Width);
            if (y < LevelMap::Height - 1) decide(cell + LevelMap::Width);
        }
        if (floorCount >= MinFloorCells) return true;
    }
}

// Puts the stairs down, and the crypt entrance and the special place when
// asked, on distinct plain floor cells of the upper ten rows. False when
// there are not enough such cells.
bool placeSpecialCells(LevelMap& map, bool withCryptEntrance, bool withSpecialPlace) {
    auto& cells = map.cells;
    CellList candidates;
    for (int cell = 0; cell < SpecialCellLimit; ++cell)
        if (cells[static_cast<std::size_t>(cell)] == LevelMap::Floor) candidates.push(cell);

    auto place = [&](std::int32_t flag) {
        if (candidates.empty()) return -1;
        const int i = drawBelow(candidates.size());
        cells[static_cast<std::size_t>(candidates[i])] = LevelMap::Floor | flag;
        return i;
    };
    int chosen = place(LevelMap::StairsDown);
    if (chosen < 0) return false;
    if (withCryptEntrance) {
        candidates.removeAt(chosen);
        chosen = place(LevelMap::CryptEntrance);
        if (chosen < 0) return false;
    }
    if (withSpecialPlace) {
        candidates.removeAt(chosen);
        chosen = place(LevelMap::SpecialPlace);
        if (chosen < 0) return false;
    }
    return true;
}

}  // namespace

int generateLevel(LevelRecord& record, int maxChests, bool withCryptEntrance, bool withSpecialPlace, LevelMap& map) {
    const bool fixedSeed = record.seed != 0;
    if (!fixedSeed) record.seed = clockSeed();
    for (;;) {
        seedRandom(record.seed);
        const bool built = carveFloor(map, maxChests) && placeSpecialCells(map, withCryptEntrance, withSpecialPlace);
        if (built || fixedSeed) {
            // The game's later draws must not follow from the level's seed.
            seedRandom(static_cast<std::uint32_t>(nowSeconds()));
            return built ? LevelBuilt : LevelBuildFailed;
        }
        // A new level whose seed gives no map takes the next seed.
        record.seed = record.seed + 1 == 0 ? 1 : record.seed + 1;
    }
}

}  // namespace kelvrin
