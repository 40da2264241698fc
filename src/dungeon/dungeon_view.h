// The screen loop of every underground place: the twelve dungeon levels,
// the crypt, the mine, the halls of pain and the chamber of challenges.
#pragma once

namespace kelvrin {

// Walks the hero through the underground place of `world.location` until
// he leaves by the stairs or quits (true) or dies (false). With `resume`
// the hero starts at world.savedX, world.savedY (a loaded game) instead of
// on the stairs up.
bool enterDungeon(bool resume);

// The level slot (row of the level-slot table, index into levelSeeds) of
// the place the world state describes.
int currentLevelSlot();

}  // namespace kelvrin
