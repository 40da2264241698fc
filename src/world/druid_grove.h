// The druid's grove in the forest: potions for sale, identification of the
// hero's potions, the druid's quest against the worgs, and attacking him.
#pragma once

namespace kelvrin {

// Shows the grove once: true while it wants to be shown again (the forest
// calls it in a loop), false to go back to the forest.
bool druidGroveScreen();

// What the druid asks for telling what a potion is: 50 gold scaled by the
// charisma modifier m as (1 - m × 0.015) × 50 in single precision,
// truncated; never below 0, however charming the hero.
int druidIdentificationFee(int charisma);

}  // namespace kelvrin
