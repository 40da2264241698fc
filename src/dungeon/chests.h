// The chests of the underground levels: a treasure each, opened once for
// good, and now and then a mimic instead.
#pragma once

#include "dungeon/dungeon_events.h"

namespace kelvrin {

// Bit `chest` of the slot's openedChests: chest number `chest` of the
// level, counted row by row from the top left.
bool chestOpened(int slot, int chest);

// The hero stands on chest number `chest` of level slot `slot`. An opened
// chest does nothing; otherwise it is opened (a treasure, or a mimic that
// attacks) and stays opened on every later visit.
EventOutcome openChest(int slot, int chest);

}  // namespace kelvrin
