#include "data/level_slots.h"

#include <cstddef>

namespace kelvrin {
namespace {

constexpr MapSource gen = MapSource::Generated;

// id, map, maxChests, chestLevel, encounterDepth, crypt entrance, special place
constexpr LevelSlotTable rows{{
    {0, gen, 1, 2, 1, false, false},    // dungeon level 1
    {1, gen, 2, 3, 2, false, false},    // dungeon level 2
    {2, gen, 3, 4, 3, false, false},    // dungeon level 3
    {3, gen, 3, 5, 4, false, false},    // dungeon level 4
    {4, gen, 4, 6, 5, false, false},    // dungeon level 5
    {5, gen, 4, 7, 6, true, false},     // dungeon level 6
    {6, gen, 4, 8, 7, false, false},    // dungeon level 7
    {7, gen, 5, 9, 8, false, false},    // dungeon level 8
    {8, gen, 5, 10, 9, false, false},   // dungeon level 9
    {9, gen, 5, 11, 10, false, false},  // dungeon level 10
    {10, gen, 6, 12, 11, false, false},  // dungeon level 11
    {11, gen, 6, 13, 12, false, false},  // dungeon level 12
    {12, MapSource::HallsOfPain, 0, 18, 30, false, false},       // halls of pain
    {13, gen, 10, 5, 5, false, false},                           // mine
    {14, MapSource::ChallengeChamber, 0, 14, 30, false, false},  // chamber of challenges
    {15, gen, 6, 8, 6, false, false},   // crypt level 1
    {16, gen, 7, 10, 8, false, false},  // crypt level 2
    {17, gen, 8, 12, 10, false, true},  // crypt level 3
}};

constexpr bool idsArePositions() {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id != static_cast<int>(i)) return false;
    return true;
}
static_assert(idsArePositions());
static_assert(rows[SlotCryptEntranceLevel].withCryptEntrance && rows[SlotLastCryptLevel].withSpecialPlace);
static_assert(rows[SlotHallsOfPain].source == MapSource::HallsOfPain);
static_assert(rows[SlotChallengeChamber].source == MapSource::ChallengeChamber);

}  // namespace

const LevelSlotTable levelSlotTable = rows;

}  // namespace kelvrin
