// A ready-made hero for scenario tests that start in the middle of a game.
#pragma once

namespace kelvrin::test {

// A human fighter of level 1 with a long sword, scale armour and a shield, in the town on a new game's first day.
void makeTestHero();

}  // namespace kelvrin::test
