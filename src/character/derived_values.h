// Values the rules derive from the hero every time they are needed and
// never store: the attack bonus, KP, speed and resistance to poison.
#pragma once

namespace kelvrin {

// The bonus of the first attack: SIŁ modifier (ZRĘ with Finezja when
// higher), the attack pool, Weapon Focus, the weapon's enchantment (or 1
// for a plain masterwork weapon), an accurate edge, and 1 for a small race.
int attackBonus();
// KP: 10 + armour, shield, enchantments, Wyspecjalizowanie, the rage
// penalty, the ZRĘ modifier up to the armour's limit, 1 for a small race.
int armourClass();
// Speed in steps of 1.5 m.
int speedSteps();
// What potions and poison are rolled against.
int poisonResistance();

}  // namespace kelvrin
