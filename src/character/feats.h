// Who may take which feat: the requirements of the feat table tested
// against the hero.
#pragma once

#include <cstdint>

#include "data/feats.h"

namespace kelvrin {

// True when the hero meets one requirement (kind and value as in FeatDef).
bool requirementMet(int kind, int value);

// False when the feat's bit is already in Hero::feats; otherwise true when
// both requirements are met. The repeatable and per-weapon feats never set
// their bit, so they stay available.
bool canTakeFeat(const FeatDef& feat);

// True when the hero has taken the feat (a feat kept as a bit).
bool hasFeat(std::uint32_t bit);

// The row of the feat table for a feat bit.
const FeatDef& featByBit(std::uint32_t bit);

}  // namespace kelvrin
