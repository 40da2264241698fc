// A ready-made hero for scenario tests that start in the middle of a game.
#pragma once

namespace kelvrin::test {

// A human fighter of the first level with a long sword, scale armour and a
// shield, standing in the town on the first day of a new game.
void makeTestHero();

}  // namespace kelvrin::test
