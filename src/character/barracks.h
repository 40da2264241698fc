// The barracks of the town: training for the next level and the trophies,
// the monsters of each kind the hero has killed.
#pragma once

namespace kelvrin {

// One pass of the barracks. Returns true after training or the trophies
// (the town shows the barracks again at once), false when the hero leaves.
bool barracksScreen();

}  // namespace kelvrin
