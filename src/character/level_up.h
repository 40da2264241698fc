// Training for the next level: the days it takes, the rest during it, and
// what the new level grants (hit points, base attack, an attribute point
// every fourth level, a general feat every third, the class's features).
#pragma once

namespace kelvrin {

// Days a hero of `level` spends training for the next one: 2L + 2.
int trainingDays(int level);
// Pw a hero of `level` recovers while training: L(L + 1).
int trainingRest(int level);

// Whether the hero may still gain a level: level 30 is the last one.
bool belowMaxLevel();

// Trains the hero from its level L to L + 1 (the caller has checked the
// experience and belowMaxLevel): lets the days pass, rests, rolls the hit
// points, raises base attack, then asks for the attribute on every fourth
// level (or waits for a key), runs the general feat choice on every third
// and applies the class's features of the new level.
void levelUp();

}  // namespace kelvrin
