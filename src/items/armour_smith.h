// The armour smith of Blackrock ("ZBROJMISTRZ"): buys and sells armour and
// shields and makes plain ones masterwork.
#pragma once

#include "core/item_slot.h"

namespace kelvrin {

// One pass through the smith's menu; true while it wants to be shown again,
// false when the hero leaves for the town.
bool armourSmithScreen();

// The size of a new stock and one item of it, with a quality drawn for the
// hero's level: 7 to 10 pieces of armour, a third of them cut for a small
// race whoever asks; 2 to 5 shields.
int armourStockSize();
ItemSlot drawStockArmour();
int shieldStockSize();
ItemSlot drawStockShield();

// What masterwork work on armour or a shield costs.
constexpr int ArmourUpgradePrice = 150;

}  // namespace kelvrin
