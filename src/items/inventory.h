// The hero's equipment and backpack: adding items under the weight limit,
// the carried weight, the attribute bonus of a weapon of the gods, and the
// inventory screen with its commands.
#pragma once

#include "core/item_slot.h"
#include "data/item_tables.h"

namespace kelvrin {

// Puts a copy of the item into the first free backpack slot. With
// checkWeight the item must fit under the carrying capacity (a load exactly
// equal to it is accepted) and the load is recomputed. False, with nothing
// changed, when it does not fit or the backpack is full. Prints nothing.
bool addItem(const ItemSlot& item, bool checkWeight);

// Recomputes Hero::load from the equipment and the backpack, adding in
// single precision as the stored value always has been.
void recomputeLoad();

// A weapon of the gods adds its bonus to all six attributes while wielded:
// call with the change of that bonus (+bonus when it is taken in hand,
// -bonus when it is put away). A changed KON modifier changes Pw by the
// difference times the level; the capacity is recomputed.
void applyGodBonus(int delta);

// After the wielded weapon of the gods has given back some of its bonus
// (sold, or enchanted down): an attribute below 1, or Pw lost with KON down
// below 1, kills the hero. Then his Pw become 0, the graveyard names no cause
// for it, and he is told so, with a key wait before the screen he is in
// ends. True when he died.
bool diesOfLostGodBonus();

// The inventory screen; returns when the player leaves it, or when the hero
// dies from a drunk potion (hp below 1).
void inventoryScreen();

// What drinking a potion does, by its row's effect. The routine receives
// the drunk slot; nullptr means the potion is drunk without effect.
using PotionEffectRoutine = void (*)(const ItemSlot& potion);
PotionEffectRoutine potionEffectRoutine(PotionEffect effect);

}  // namespace kelvrin
