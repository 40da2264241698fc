// The close-up of the dungeon told in words, for a player who hears the game
// instead of seeing the map.
#pragma once

#include <string>
#include <vector>

#include "dungeon/level_map.h"
#include "dungeon/position.h"

namespace kelvrin {

// What the hero can see around him, as the close-up shows it.
struct Surroundings {
    const LevelMap& map;
    Position hero;
    Position stairsUp;       // Nowhere when the level has none
    Position stairsDown;     // Nowhere where the place has no way down
    Position cryptEntrance;  // Nowhere but on the sixth level
    std::vector<Position> closedChests;  // chests not yet opened (an opened one is plain floor)
};

// One or two short Polish sentences: what the hero stands on, how far he can
// walk north, east, south and west and what stops him, the things on the
// diagonal cells of the close-up, and the way back to the stairs up.
std::string describeSurroundings(const Surroundings& view);

}  // namespace kelvrin
