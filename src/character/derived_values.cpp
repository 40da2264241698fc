#include "character/derived_values.h"

#include "character/feats.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/classes.h"
#include "data/item_tables.h"
#include "data/races.h"
#include "items/catalogue.h"

namespace kelvrin {

namespace {

bool isSmall() { return raceHasTrait(hero.race, TraitSmall); }

bool wearsHeavyArmour() { return armourRow(hero.armour).armourType == ArmourTypeHeavy; }

// +2 for a positive enchantment, -2 for a negative one (the accurate edge
// of a weapon, the resistance of armour).
int propertyBonus(int bonus) { return bonus > 0 ? 2 : bonus < 0 ? -2 : 0; }

}  // namespace

int attackBonus() {
    int score = hero.attributes[Str];
    if (hasFeat(FeatFinesse) && hero.attributes[Dex] > score) score = hero.attributes[Dex];
    int bonus = attributeModifier(score) + hero.attackPool;

    const ItemSlot& weapon = hero.weapon;
    if (weapon.ref >= 0 && weapon.ref < 32 && (hero.weaponFocusMask & (1u << weapon.ref)) != 0) bonus += 1;
    bonus += weapon.bonus;
    if (weapon.bonus == 0 && weapon.masterwork != 0) bonus += 1;
    if ((weapon.flags & Accurate) != 0) bonus += propertyBonus(weapon.bonus);
    if (isSmall()) bonus += 1;
    return bonus;
}

int armourClass() {
    const ArmorDef& armour = armourRow(hero.armour);
    int kp = 10 + armour.kp + hero.armour.bonus + hero.expertise + hero.kpModifier;
    if (!hero.shield.empty()) kp += shieldRow(hero.shield).kp + hero.shield.bonus;

    int dexterity = attributeModifier(hero.attributes[Dex]);
    if (armour.maxDex != -1) {
        const int limit = armour.maxDex + (hero.armour.masterwork != 0 ? 1 : 0);
        if (dexterity > limit) dexterity = limit;
    }
    kp += dexterity;
    if (isSmall()) kp += 1;
    return kp;
}

int speedSteps() {
    const bool slow = raceHasTrait(hero.race, TraitSlow);
    const bool heavy = wearsHeavyArmour();
    int steps = isSmall() || slow ? 4 : 6;
    if (heavy && !slow) steps = steps == 6 ? 4 : 3;
    if (hasFeat(FeatRun)) ++steps;
    if ((classFeaturesAt(hero.heroClass, 1) & FeatureFastMovement) != 0 && !heavy) ++steps;
    // Overloaded: the load is more than four thirds of what the hero can carry.
    if (static_cast<double>(hero.capacity) < static_cast<double>(hero.load) * 0.75) --steps;
    return steps;
}

int poisonResistance() {
    int resistance = attributeModifier(hero.attributes[Con]) + (hero.level + 2) / 2 + 1;
    if (raceHasTrait(hero.race, TraitPoisonResistance)) resistance += 2;
    if (hasFeat(FeatPoisonResistance)) resistance += 2;
    if ((hero.armour.flags & Resistance) != 0) resistance += propertyBonus(hero.armour.bonus);
    return resistance;
}

}  // namespace kelvrin
