#include "items/item_display.h"

#include <algorithm>

#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "items/catalogue.h"
#include "items/weapon_damage.h"

namespace kelvrin {

namespace {

bool has(const ItemSlot& item, std::uint32_t flag) { return (item.flags & flag) != 0; }

// " +2" when the bonus is known, " +?" when not; a masterwork item without
// enchantment gets a star instead.
void printEnchantment(const ItemSlot& item) {
    if (item.bonus != 0) {
        if (has(item, Identified))
            print(" %+d", item.bonus);
        else
            print(" +?");
    } else if (item.masterwork != 0) {
        print("*");
    }
}

void printWeapon(const ItemSlot& item, int mode) {
    const WeaponDef& row = weaponRow(item);
    const bool identified = has(item, Identified);
    if (identified) {
        if (has(item, Accurate)) print("Celny ");
        if (has(item, Keen)) print("Ostry ");
    }
    print("%s", row.name);
    if (identified && has(item, OfTheGods)) print(" Bogów");
    printEnchantment(item);
    if (mode <= ShowName) return;

    DamageRange range;
    if (mode == ShowBackpack) {
        // The catalogue's damage, with the bonus the hero knows of.
        const int bonus = identified ? item.bonus : 0;
        range = DamageRange{std::max(1, row.minDamage + bonus), std::max(1, row.maxDamage + bonus)};
    } else {
        range = damageRange(hero, item);
    }
    if (range.low == range.high)
        print(" (Obr:%d ", range.low);
    else
        print(" (Obr:%d-%d ", range.low, range.high);
    printDamageTypes(row.damageTypes);
    print(" Kry:");

    const bool improvedCritical = mode == ShowSheet && ((hero.improvedCritMask >> row.id) & 1u);
    const int threat = threatRangeStart(item, true, improvedCritical);
    if (threat == 20)
        print("20");
    else
        print("%d-20", threat);
    print("/x%d Waga: %g kg, %s)", row.critMultiplier, static_cast<double>(row.weight), sizeName(row.size));
    if (mode != ShowShopStock) print("\n");
}

void printArmour(const ItemSlot& item, int mode) {
    const ArmorDef& row = armourRow(item);
    const bool identified = has(item, Identified);
    if (has(item, SmallSize)) print("Mały ");
    if (identified && has(item, Blinking)) print("Migotający ");
    print("%s", row.name);
    if (identified && has(item, Resistance)) print(" Odporności");
    printEnchantment(item);
    if (mode <= ShowName) return;
    if (row.price == 0) {  // "(brak)": no statistics in any mode
        print("\n");
        return;
    }
    // The bonus counts in the KP shown even when it is not known.
    print(" (Kp:%d Max zr:%d Waga:%g kg)", row.kp + item.bonus, row.maxDex + item.masterwork,
          static_cast<double>(row.weight));
    if (mode != ShowShopStock) print("\n");
}

void printShield(const ItemSlot& item, int mode) {
    const ShieldDef& row = shieldRow(item);
    print("%s", row.name);
    printEnchantment(item);
    if (mode <= ShowName) return;
    print(" (Kp:%d Waga:%g kg)", row.kp + item.bonus, static_cast<double>(row.weight));
    if (mode != ShowShopStock) print("\n");
}

void printPotion(const ItemSlot& item, int mode) {
    const PotionDef& row = potionRow(item);
    if (has(item, Identified)) {
        print("%s", row.name);
        if (has(item, StrengthKnown))
            print(" %+d", item.bonus);
        else
            print(" +?");
    } else {
        print("Nieznany eliksir");
    }
    if (mode <= ShowName) return;
    print(" (Waga: %g kg)", static_cast<double>(row.weight));
    if (mode != ShowPotionList) print("\n");
}

void printGem(const ItemSlot& item, int mode) {
    const GemDef& row = gemRow(item);
    print("%s", row.name);
    if (mode <= ShowName) return;
    print(" (Waga: %g kg)", static_cast<double>(row.weight));
    if (mode != ShowShopStock) print("\n");
}

}  // namespace

void printItem(const ItemSlot& item, int mode) {
    if (!isValidItem(item)) return;
    switch (item.kind) {
        case KindWeapon: printWeapon(item, mode); break;
        case KindArmour: printArmour(item, mode); break;
        case KindShield: printShield(item, mode); break;
        case KindPotion: printPotion(item, mode); break;
        case KindGem: printGem(item, mode); break;
        default: break;
    }
}

void printDamageTypes(std::uint32_t bits) {
    static constexpr struct {
        std::uint32_t bit;
        const char* word;
    } words[] = {{DamageSlashing, "cięte"}, {DamagePiercing, "kłute"}, {DamageBludgeoning, "miażdżone"}};
    bool first = true;
    for (const auto& entry : words) {
        if (!(bits & entry.bit)) continue;
        print(first ? "%s" : "/%s", entry.word);
        first = false;
    }
}

}  // namespace kelvrin
