// The world map: the screen between places.
#pragma once

namespace kelvrin {

// One pass: the list of places, one key, and the hero is on his way.
void worldMap();

}  // namespace kelvrin
