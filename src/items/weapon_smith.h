// The weapon smith of Blackrock ("PŁATNERZ"): buys and sells weapons, makes
// plain ones masterwork and reforges a weapon of the gods into another kind
// of weapon.
#pragma once

#include "core/item_slot.h"

namespace kelvrin {

// One pass through the smith's menu; true while it wants to be shown again,
// false when the hero leaves for the town or dies there (a sold weapon of
// the gods can take his last Pw with it).
bool weaponSmithScreen();

// The size of a new stock (8 to 10) and one weapon of it (any row but the
// fists, with a quality drawn for the hero's level).
int weaponStockSize();
ItemSlot drawStockWeapon();

// What masterwork work and reforging cost.
constexpr int WeaponUpgradePrice = 300;
constexpr int ReforgePrice = 10000;

}  // namespace kelvrin
