// What drinking each potion does, and the hero's poison level: a number
// kept in Hero::poison and already taken off SIŁ and KON. setPoison is the
// one operation that changes it, for potions and monster attacks alike.
#pragma once

#include "core/item_slot.h"

namespace kelvrin {

// Hero::lastHarm codes of potions and poison (the graveyard names them).
constexpr int HarmPoison = -1;             // "Trucizna"
constexpr int HarmSpoiledFullHeal = -2;    // a spoiled "Eliksir uzdrowienia"
constexpr int HarmHealthElixir = -3;       // a harmful "Eliksir zdrowia"
constexpr int HarmBurningHealing = -5;     // a burning "Mikstura lecznicza"
constexpr int HarmSpoiledAntidote = -6;    // a spoiled "Antidotum"

// Prints "Umierasz..." in the colour of harm: the last line of a hero who
// dies of a potion, of poison or of a lost attribute.
void printDeath();

// The effects of the six potion rows, in row order. Each reads the drunk
// slot (its bonus is the strength: 0 normal, above 0 stronger, below 0
// spoiled or harmful), prints what happens and changes the hero. None of
// them leaves the screen: a hero with hp below 1 afterwards is dead, and
// the caller ends what it was doing.
void healingEffect(const ItemSlot& potion);
void antidoteEffect(const ItemSlot& potion);
void fullHealEffect(const ItemSlot& potion);
void poisonEffect(const ItemSlot& potion);
void healthElixirEffect(const ItemSlot& potion);
void waterEffect(const ItemSlot& potion);

// Sets the poison level (a negative level counts as 0). The difference goes
// to SIŁ and KON, a changed KON modifier changes Pw and maximum Pw by the
// change times the level, lastHarm becomes HarmPoison, and the hero is told
// whether he feels worse or better. SIŁ or KON below 1 kills him (hp 0);
// a living hero whose Pw fall below 1 here dies too, and is told so.
// Nothing happens, and nothing is printed, when the level stays the same.
// The carrying capacity is left for its next recomputation.
void setPoison(int level);

}  // namespace kelvrin
