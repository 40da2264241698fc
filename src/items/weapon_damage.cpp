#include "items/weapon_damage.h"

#include <algorithm>

#include "core/random.h"
#include "core/rules.h"
#include "data/races.h"
#include "items/catalogue.h"

namespace kelvrin {

WeaponGrip weaponGrip(int size, bool smallRace) {
    if (smallRace) {
        if (size == 1) return WeaponGrip::TooBig;
        if (size == 0) return WeaponGrip::TwoHanded;
        if (size == -1) return WeaponGrip::BothHandsWithoutShield;
    } else {
        if (size == 1) return WeaponGrip::TwoHanded;
        if (size == 0) return WeaponGrip::BothHandsWithoutShield;
    }
    return WeaponGrip::OneHand;
}

WeaponGrip weaponGrip(const Hero& h, const ItemSlot& weapon) {
    return weaponGrip(weaponRow(weapon).size, raceHasTrait(h.race, TraitSmall));
}

bool holdsWithBothHands(const Hero& h, const ItemSlot& weapon) {
    switch (weaponGrip(h, weapon)) {
        case WeaponGrip::TwoHanded: return true;
        case WeaponGrip::BothHandsWithoutShield: return h.shield.kind != KindShield;
        default: return false;
    }
}

namespace {

DamageRange rangeWith(const Hero& h, const ItemSlot& weapon, bool bonusCounts) {
    const WeaponDef& row = weaponRow(weapon);
    int b = h.powerAttack + (bonusCounts ? weapon.bonus : 0);
    const int m = attributeModifier(h.attributes[Str]);
    if (holdsWithBothHands(h, weapon) && m > 0)
        b += (3 * m) / 2;
    else
        b += m;
    if ((h.weaponSpecMask >> row.id) & 1u) b += 2;
    return DamageRange{std::max(1, row.minDamage + b), std::max(1, row.maxDamage + b)};
}

}  // namespace

DamageRange damageRange(const Hero& h, const ItemSlot& weapon) {
    return rangeWith(h, weapon, (weapon.flags & Identified) != 0);
}

int rollDamage() {
    const DamageRange range = rangeWith(hero, hero.weapon, true);
    return range.low + randomNext() % (range.high - range.low + 1);
}

int threatRangeStart(const ItemSlot& weapon, bool keenOnlyWhenIdentified, bool improvedCritical) {
    const WeaponDef& row = weaponRow(weapon);
    int from = row.critFrom;
    const bool keenCounts = (weapon.flags & Keen) && (!keenOnlyWhenIdentified || (weapon.flags & Identified));
    if (keenCounts) from = weapon.bonus < 0 ? 20 : 2 * row.critFrom - 21;
    if (improvedCritical) from -= 2;
    return from;
}

}  // namespace kelvrin
