// Random encounters: one kind of monster that lives here and suits the
// hero, a group of them, how they are met, and the fight.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvrin {

// A monster row that may be met, with its margin below the target challenge.
struct EncounterCandidate {
    int row;
    int margin;
};

// The rows that live in `habitatMask`, are not scripted-only, and suit the
// target challenge, in catalogue order.
std::vector<EncounterCandidate> encounterCandidates(std::uint32_t habitatMask, int targetChallenge);
// The group size for a margin (0..5), drawn from the game generator.
int encounterGroupSize(int margin);

// Meets monsters of `habitatMask` no stronger than `depth` allows and
// fights them. True when the fight was won or none took place (nothing
// suitable lives here, or the hero let surprised monsters be); false when
// the hero fled or died (Hero::hp tells which).
bool randomEncounter(std::uint32_t habitatMask, int depth);

}  // namespace kelvrin
