#include "dungeon/level_map.h"

namespace kelvrin {

LevelMap levelMap;

}  // namespace kelvrin
