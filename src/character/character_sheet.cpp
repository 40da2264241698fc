#include "character/character_sheet.h"

#include "character/derived_values.h"
#include "character/feats.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/attributes.h"
#include "data/classes.h"
#include "data/item_tables.h"
#include "data/races.h"
#include "items/item_display.h"

namespace kelvrin {

namespace {

void printHitPoints() {
    const double share = hero.maxHp > 0 ? static_cast<double>(hero.hp) / hero.maxHp : 0.0;
    if (share < 0.25) {
        setColour(ColourRed);
    } else if (share < 0.5) {
        setColour(ColourYellow);
    }
    print("%d", hero.hp);
    setColour(ColourNormal);
    print("/%d\n", hero.maxHp);
}

void printAttributes() {
    for (int i = 0; i < AttributeCount; ++i) {
        printModifier(attributeShortNames[static_cast<std::size_t>(i)], hero.attributes[static_cast<std::size_t>(i)]);
        switch (i) {
            case Str:
                print(" Udźwig: %g/%g kg\n", static_cast<double>(hero.load), static_cast<double>(hero.capacity));
                break;
            case Dex:
                if (hero.poison > 0) {
                    printColoured(ColourRed, " ZATRUTY\n");
                } else {
                    print("\n");
                }
                break;
            case Con: print(" Odporność na trucizny: %+d\n", poisonResistance()); break;
            default: print("\n"); break;
        }
    }
}

// "Atak: " with one bonus per attack: every 5 points of base attack from 6
// on give one more attack, each 5 lower than the one before.
void printAttacks() {
    const int bonus = attackBonus();
    const int extraAttacks = hero.baseAttack >= 6 ? (hero.baseAttack - 6) / 5 + 1 : 0;
    print("Atak: ");
    for (int i = 0; i < extraAttacks; ++i) print("%+d/", bonus - 5 * i);
    print("%+d Bazowy: %+d\n", bonus - 5 * extraAttacks, hero.baseAttack);
}

void printCountedFeat(const char* name, int count) {
    if (count <= 0) return;
    print("* %s", name);
    if (count > 1) print(" x%d", count);
    print("\n");
}

void printFeats() {
    print("\n\nAtuty:\n");
    for (const FeatDef& feat : featTable)
        if (hasFeat(feat.bit)) print("* %s\n", feat.name);
    printCountedFeat(featByBit(FeatToughness).name, hero.toughnessCount);
    printCountedFeat(featByBit(FeatExtraRage).name, hero.extraRageCount);
    printCountedFeat(featByBit(FeatExtendedRage).name, hero.extendedRageCount);
    if (hero.damageReduction > 0) print("* Redukcja obrażeń %d/-\n", hero.damageReduction);
    for (const WeaponDef& weapon : weaponTable) {
        const std::uint32_t bit = 1u << weapon.id;
        if ((hero.weaponFocusMask & bit) != 0) print("* Zogniskowanie broni (%s)\n", weapon.name);
        if ((hero.improvedCritMask & bit) != 0) print("* Poprawione trafienia krytyczne (%s)\n", weapon.name);
        if ((hero.weaponSpecMask & bit) != 0) print("* Specjalizacja w broni (%s)\n", weapon.name);
    }
}

}  // namespace

void showCharacterSheet() {
    const RaceDef& race = raceTable[static_cast<std::size_t>(hero.race)];
    clearScreen();
    print("%s %s %s\nPoziom %d Doświadczenie: ", hero.name.c_str(), race.name,
          classTable[static_cast<std::size_t>(hero.heroClass)].name, hero.level);
    if (hero.xp > hero.xpNext) setColour(ColourGreen);
    print("%d", hero.xp);
    setColour(ColourNormal);
    print("/%d\nPw: ", hero.xpNext);
    printHitPoints();
    printAttributes();

    print("Broń: ");
    printItem(hero.weapon, ShowSheet);
    print("Pancerz: ");
    printItem(hero.armour, ShowSheet);
    if (hero.shield.empty()) {
        print("Tarcza: brak\n");
    } else {
        print("Tarcza: ");
        printItem(hero.shield, ShowSheet);
    }

    printAttacks();
    print("Kp: %d Szybkość: %g m\n", armourClass(), speedSteps() * 1.5);
    print("Złoto: ");
    printColoured(ColourYellow, "%d", hero.gold);

    print("\n\nCechy: ");
    for (const RaceTraitText& trait : raceTraitTexts)
        if ((race.traits & trait.bit) != 0) print("%s", trait.sheetWord);
    printFeats();
}

}  // namespace kelvrin
