// The mages' tower of the town: one mage per floor enchants an item one
// step further, identifies an item, lifts a curse, or (the seer) tells the
// hero about a monster. Every price falls with the hero's CHA.
#pragma once

#include "core/item_slot.h"

namespace kelvrin {

// One visit to the tower's menu: true shows the menu again, false returns
// to the town (the player left, or the hero died in the tower).
bool magesTowerScreen();

// The tower's price for a base price: f = 1 - CHA modifier × 0.015 in
// single precision, times the base, truncated. A base beyond what a purse
// can hold gives the largest price; a price never falls below 0.
int towerPrice(long long base);

// What each service costs for the item with the hero's CHA. Enchanting one
// step: (e + 1)² × 2000 for a weapon, × 1000 for armour and shields, × 75
// for a potion, where e is the bonus's size plus what the properties stand
// for; gems cannot be enchanted (0). Identification: 200, 100, 100, 50
// (gems are always known: 0). Lifting a curse: bonus² × 1000, 500, 500, 75
// (0 for an item without a curse).
int enchantingPrice(const ItemSlot& item);
int identificationPrice(const ItemSlot& item);
int curseLiftingPrice(const ItemSlot& item);

}  // namespace kelvrin
