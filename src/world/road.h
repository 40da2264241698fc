// The road: travellers, guard patrols, bandits and their toll, the bandit
// camp with its chief, the remains of caravans, and the monsters met there.
#pragma once

namespace kelvrin {

// One pass of the road: the screen, one command, then back to the loop.
void roadScreen();

}  // namespace kelvrin
