#include "items/item_value.h"

#include <algorithm>
#include <climits>

#include "core/game_state.h"
#include "core/rules.h"
#include "items/catalogue.h"

namespace kelvrin {

namespace {

// Worths are built in 64 bits and capped, so that no enchantment, however
// high, can turn a price negative.
int capWorth(long long worth) { return static_cast<int>(std::min<long long>(worth, INT_MAX)); }

int chaModifier() { return attributeModifier(hero.attributes[Cha]); }

// The worth of the enchantment: e × e × 2000 for a weapon, × 1000 for
// armour and shields, where e is the bonus plus what its properties stand for.
long long enchantmentWorth(const ItemSlot& item) {
    const long long e = static_cast<long long>(item.bonus) + propertyEnchantment(item);
    return e * e * (item.kind == KindWeapon ? 2000 : 1000);
}

long long masterworkWorth(const ItemSlot& item) {
    if (!item.masterwork) return 0;
    return item.kind == KindWeapon ? 300 : 150;
}

}  // namespace

int applyPriceFactor(int worth, float base, float step, int modifier) {
    const float change = static_cast<float>(modifier) * step;
    const float factor = base + change;
    // Truncated toward zero. A product beyond the int range (only absurd
    // enchantments reach it) stays at INT_MAX instead of wrapping, and a
    // factor driven below zero by an absurd CHA never makes a price that
    // would pay the hero for buying.
    const double price = static_cast<double>(factor) * worth;
    if (price >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (price <= 0.0) return 0;
    return static_cast<int>(price);
}

int propertyEnchantment(const ItemSlot& item) {
    int e = 0;
    if (item.kind == KindWeapon) {
        if (item.flags & Accurate) e += 1;
        if (item.flags & Keen) e += 2;
        if (item.flags & OfTheGods) e += 3;
    } else if (item.kind == KindArmour) {
        if (item.flags & Resistance) e += 1;
        if (item.flags & Blinking) e += 2;
    }
    return e;
}

int saleValue(const ItemSlot& item) {
    long long worth = 0;
    const bool identified = (item.flags & Identified) != 0;
    switch (item.kind) {
        case KindWeapon:
        case KindArmour:
        case KindShield:
            worth = itemBasePrice(item) + masterworkWorth(item);
            // What the hero does not know of is not paid for, nor refused.
            if (identified) {
                if (item.bonus < 0) return 0;
                if (item.bonus > 0) worth += enchantmentWorth(item);
            }
            break;
        case KindPotion: {
            const PotionDef& row = potionRow(item);
            if (!identified) {
                worth = 75;
            } else if (!(item.flags & StrengthKnown)) {
                worth = row.kindOnlyValue;
            } else if (item.bonus < 0) {
                return 0;
            } else if (item.bonus > 0) {
                worth = (static_cast<long long>(item.bonus) + 2) * row.value / 2;
            } else {
                worth = row.value;
            }
            break;
        }
        case KindGem:
            worth = gemRow(item).value;
            break;
        default:
            return 0;
    }
    return applyPriceFactor(capWorth(worth), 0.5f, 0.01f, chaModifier());
}

int purchasePrice(const ItemSlot& item) {
    long long worth = 0;
    switch (item.kind) {
        case KindWeapon:
        case KindArmour:
        case KindShield:
            worth = itemBasePrice(item) + masterworkWorth(item);
            if (item.bonus > 0) worth += enchantmentWorth(item);
            break;
        case KindPotion:
            worth = (static_cast<long long>(item.bonus) + 2) * potionRow(item).value / 2;
            break;
        case KindGem:
            worth = gemRow(item).value;
            break;
        default:
            return 0;
    }
    return applyPriceFactor(capWorth(worth), 1.5f, -0.015f, chaModifier());
}

}  // namespace kelvrin
