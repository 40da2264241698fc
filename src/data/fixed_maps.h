// The two underground places that are not generated: the halls of pain
// (Terrasque's lair below the last dungeon level) and the chamber of
// challenges (below the mine). Loading one copies it into levelMap; no
// random numbers are drawn.
#pragma once

#include "dungeon/level_map.h"

namespace kelvrin {

extern const LevelMap hallsOfPainMap;       // slot 12
extern const LevelMap challengeChamberMap;  // slot 14

}  // namespace kelvrin
