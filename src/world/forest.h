// The forest: quiet walks, the mine entrance and the crystal well, the dog
// and the wolves that lead to the druid's grove, the druid's quests against
// the worgs and the mad treant, and the monsters of the woods.
#pragma once

namespace kelvrin {

// One pass of the forest: the screen, one command, then back to the loop.
void forestScreen();

// A walk where nothing happens: the text, a key, and the hero heals half
// his level in Pw (never above the maximum). The road walks the same way.
void quietWalk(const char* text);

}  // namespace kelvrin
