// Builds a level's map from its seed: the same seed gives the same map,
// cell for cell, on every machine and in every version of the game, so a
// level looks the same on every visit and after a save and load.
#pragma once

#include "core/game_state.h"
#include "dungeon/level_map.h"

namespace kelvrin {

constexpr int LevelBuilt = 0;
constexpr int LevelBuildFailed = 1;  // a stored seed gave no map

// Builds the map of a level slot into `map` (the shown level by default).
// A record with seed 0 has never been built: it gets a seed from the clock
// (or a later one, if that seed gives no map), which is stored in the record.
// A record with a stored seed is rebuilt from it; only such a seed can fail
// (LevelBuildFailed, the map left as the failed attempt left it).
// Asks for a CryptEntrance cell (slot 5) and a SpecialPlace cell (slot 17)
// when told to. Afterwards the game generator is reseeded from the clock,
// so later draws do not follow from the level's seed.
int generateLevel(LevelRecord& record, int maxChests, bool withCryptEntrance, bool withSpecialPlace,
                  LevelMap& map = levelMap);

}  // namespace kelvrin
