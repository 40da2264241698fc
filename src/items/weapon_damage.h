// How the hero holds a weapon and how much damage it deals: the range shown
// on screen and the roll made in a fight.
#pragma once

#include "core/game_state.h"
#include "core/item_slot.h"

namespace kelvrin {

// The grip a weapon's size calls for, by the race's size:
//   small race: size 1 too big, size 0 two-handed, size -1 both hands
//   other race: nothing too big, size 1 two-handed, size 0 both hands
enum class WeaponGrip {
    OneHand,
    BothHandsWithoutShield,  // held in both hands when no shield is carried
    TwoHanded,               // always both hands; no shield with it
    TooBig,                  // cannot be used at all
};

WeaponGrip weaponGrip(int size, bool smallRace);
// The grip of the weapon slot's row for the hero's race.
WeaponGrip weaponGrip(const Hero& h, const ItemSlot& weapon);
// True when the hero would hold this weapon in both hands: a two-handed
// one, or the one a size smaller while no shield is carried.
bool holdsWithBothHands(const Hero& h, const ItemSlot& weapon);

struct DamageRange {
    int low;
    int high;
    friend bool operator==(const DamageRange&, const DamageRange&) = default;
};

// The damage the hero would deal with the weapon: its row's damage plus
// Power Attack, the bonus when identified, the SIŁ modifier (1.5 times a
// positive one with both hands) and 2 for Weapon Specialisation; each end
// at least 1.
DamageRange damageRange(const Hero& h, const ItemSlot& weapon);
// One damage roll with the wielded weapon; its bonus counts whether known
// or not.
int rollDamage();

// The lowest natural d20 roll that threatens a critical with the weapon:
// the row's `critFrom`, widened by `keen` to 2 × critFrom - 21 (but only 20
// for a keen weapon with a negative bonus), and lowered by 2 more with
// Improved Critical. `keenOnlyWhenIdentified`: the keen edge counts only
// when the hero knows of it (what the screens show).
int threatRangeStart(const ItemSlot& weapon, bool keenOnlyWhenIdentified, bool improvedCritical);

}  // namespace kelvrin
