// The eighteen underground places, one row per level slot (the index of the
// place's record in WorldState::levelSeeds): where the map comes from, how
// many chests the generator may place, how rich the chests are and how
// strong the random encounters are.
#pragma once

#include <array>
#include <cstdint>

#include "core/game_state.h"

namespace kelvrin {

enum LevelSlot : int {
    SlotFirstDungeonLevel = 0,  // dungeon level n is slot n - 1, 0..11
    SlotCryptEntranceLevel = 5,  // the sixth dungeon level, with the way into the crypt
    SlotLastDungeonLevel = 11,
    SlotHallsOfPain = 12,
    SlotMine = 13,
    SlotChallengeChamber = 14,
    SlotFirstCryptLevel = 15,  // crypt level n is slot n + 14, 15..17
    SlotLastCryptLevel = 17,
};

enum class MapSource : std::int32_t {
    Generated,       // generateLevel from the slot's seed
    HallsOfPain,     // a copy of hallsOfPainMap
    ChallengeChamber,  // a copy of challengeChamberMap
};

struct LevelSlotDef {
    std::int32_t id;  // the slot's own index
    MapSource source;
    std::int32_t maxChests;       // chests the generator may place
    std::int32_t chestLevel;      // challenge given to the loot of the chests
    std::int32_t encounterDepth;  // depth given to random encounters
    bool withCryptEntrance;       // the generator adds a CryptEntrance cell
    bool withSpecialPlace;        // the generator adds a SpecialPlace cell
};

using LevelSlotTable = std::array<LevelSlotDef, LevelSlots>;

extern const LevelSlotTable levelSlotTable;

}  // namespace kelvrin
