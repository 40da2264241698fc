// The town of Blackrock: the calendar, the hero's Pw and gold, and a key
// for each service.
#pragma once

namespace kelvrin {

// One pass of the town: the screen, one command, then back to the loop.
void townScreen();

}  // namespace kelvrin
