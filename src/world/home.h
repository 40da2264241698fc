// The hero's home on the land bought from the mayor: build a hut, a house
// or a palace, rest there for free, or pull the building down.
#pragma once

namespace kelvrin {

// Shows the home once: true while it wants to be shown again (the town calls
// it in a loop), false to go back to the town. Without land of the hero's
// own it shows nothing and returns false.
bool homeScreen();

}  // namespace kelvrin
