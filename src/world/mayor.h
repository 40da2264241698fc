// The mayor's house in the town: his chain of quests with their rewards,
// the orc raid on the town, land for the hero's home, reopening the mine,
// and attacking the mayor for the bandit chief.
#pragma once

namespace kelvrin {

// Shows the mayor's house once: true while it wants to be shown again (the
// town calls it in a loop), false to go back to the town.
bool mayorScreen();

}  // namespace kelvrin
