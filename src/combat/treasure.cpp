#include "combat/treasure.h"

#include <algorithm>
#include <optional>

#include "combat/loot.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/item_tables.h"
#include "data/monster_bits.h"
#include "data/treasure_tables.h"
#include "items/catalogue.h"

namespace kelvrin {
namespace {

constexpr int HealthElixirRow = 4;  // "Eliksir zdrowia": dearer, and starts at +1
constexpr int HealthElixirExtraCost = 2000;
constexpr int LastLootPotionRow = 4;
constexpr int LastLootGemRow = 3;
constexpr int LastLightWeaponRow = 9;  // "Rapier"
constexpr int LastLootWeaponRow = 13;
constexpr int LastLootArmourRow = 11;
constexpr int PlainWeaponLimit = 300;  // at most this much left: no enchantment
constexpr int PlainArmourLimit = 150;

// A draw that succeeds once in n.
bool oneIn(int n) { return randomNext() % n == 0; }

// Truncates value × factor, the factor being the single-precision constant
// and the product taken in double precision (300 × 0.9 gives 269).
int scaled(int value, float factor) { return static_cast<int>(static_cast<double>(value) * factor); }

// The treasure's worth before anything is bought from it.
int rollBudget(int challenge, std::uint32_t lootBits) {
    const int last = static_cast<int>(treasureValueTable.size()) - 1;
    const int value = treasureValueTable[static_cast<std::size_t>(std::clamp(challenge, 0, last))];
    const int lo = scaled(value, 0.9f);
    const int hi = scaled(value, 1.1f);
    int v = lo + randomRange(0, hi - lo);
    if (challenge < 0) v /= -challenge;  // challenge 1/n
    if (lootBits == LootDoubleTreasure) v *= 2;
    return v;
}

// Tries the enchantment levels from the dearest down: a level the value
// can pay for is bought on a 1/2 draw. Returns the level bought, or
// nothing when every draw failed.
template <std::size_t N>
std::optional<int> buyEnchantment(int& v, const std::array<int, N>& prices) {
    for (int n = static_cast<int>(N) - 1; n >= 0; --n) {
        const int price = prices[static_cast<std::size_t>(n)];
        if (v > price && oneIn(2)) {
            v -= price;
            return n;
        }
    }
    return std::nullopt;
}

// A bought enchantment: a masterwork item whose level may partly turn into
// special properties, and which is cursed once in twenty.
void enchant(ItemSlot& item, int level, bool withProperties) {
    item.masterwork = 1;
    const int n = withProperties ? rollSpecialProperties(level, item.flags) : level;
    item.bonus = (n > 0 && oneIn(20)) ? -n : n;
}

// An item without enchantment (plain, or masterwork +0) is known at once;
// an enchanted or cursed one has to be identified.
void identifyIfPlain(ItemSlot& item) {
    if (item.bonus == 0) item.flags |= Identified;
}

ItemSlot rollWeapon(int& v, std::uint32_t lootBits) {
    const int lastRow = (lootBits & LootSmallGear) ? LastLightWeaponRow : LastLootWeaponRow;
    ItemSlot item{randomRange(1, lastRow), KindWeapon, 0, 0, 0};
    v -= weaponTable[static_cast<std::size_t>(item.ref)].price;  // given even when v falls below 0
    if (v > PlainWeaponLimit) {
        if (const auto level = buyEnchantment(v, weaponEnchantmentPrice)) enchant(item, *level, true);
    }
    identifyIfPlain(item);
    return item;
}

std::optional<ItemSlot> rollArmour(int& v, std::uint32_t lootBits) {
    ItemSlot item{randomRange(1, LastLootArmourRow), KindArmour, 0, 0, 0};
    const int price = armourTable[static_cast<std::size_t>(item.ref)].price;
    if (v < price) return std::nullopt;
    v -= price;
    if (v > PlainArmourLimit) {
        if (const auto level = buyEnchantment(v, armourEnchantmentPrice)) enchant(item, *level, true);
    }
    if (lootBits & LootSmallGear) item.flags |= SmallSize;
    identifyIfPlain(item);
    return item;
}

ItemSlot rollShield(int& v) {
    ItemSlot item{randomRange(0, static_cast<int>(shieldTable.size()) - 1), KindShield, 0, 0, 0};
    v -= shieldTable[static_cast<std::size_t>(item.ref)].price;  // given even when v falls below 0
    if (v > PlainArmourLimit) {
        if (const auto level = buyEnchantment(v, armourEnchantmentPrice)) enchant(item, *level, false);
    }
    identifyIfPlain(item);
    return item;
}

std::optional<ItemSlot> rollPotion(int& v) {
    ItemSlot item{HealingPotionRow, KindPotion, 0, 0, 0};
    if (oneIn(2)) {
        item.flags = Identified | StrengthKnown;
    } else {
        item.ref = randomRange(0, LastLootPotionRow);
    }
    const int value = potionTable[static_cast<std::size_t>(item.ref)].value;
    int cost = value;
    if (item.ref == HealthElixirRow) {
        cost += HealthElixirExtraCost;
        item.bonus = 1;
    }
    if (v < cost) return std::nullopt;
    v -= cost;
    // Whatever is left may make it stronger (a potion worth nothing rises
    // for as long as the draws succeed).
    while (v > value && oneIn(2)) {
        v -= value;
        ++item.bonus;
    }
    return item;
}

// At most one item; k = 5 or 6 gives none.
void rollItem(int& v, std::uint32_t lootBits, LootList& loot) {
    std::optional<ItemSlot> item;
    switch (randomRange(0, 6)) {
        case 0: item = rollWeapon(v, lootBits); break;
        case 1: item = rollArmour(v, lootBits); break;
        case 2: item = rollShield(v); break;
        case 3:
        case 4: item = rollPotion(v); break;
        default: break;
    }
    if (item) loot.push_back(*item);
}

void rollGems(int& v, std::uint32_t lootBits, LootList& loot) {
    if (lootBits & LootGemsFromHalf) v /= 2;
    if (!oneIn(2)) return;
    for (;;) {
        const int row = randomRange(0, LastLootGemRow);
        const int value = gemTable[static_cast<std::size_t>(row)].value;
        if (v <= value) return;
        loot.push_back(ItemSlot{row, KindGem, 0, 0, Identified});
        v -= value;
        if (!oneIn(2)) return;
    }
}

}  // namespace

int rollTreasure(int challenge, std::uint32_t lootBits, LootList& loot) {
    int v = rollBudget(challenge, lootBits);
    if (lootBits & LootItem) rollItem(v, lootBits, loot);
    if (lootBits & LootGems) rollGems(v, lootBits, loot);
    if (v <= 0 || !(lootBits & LootGold)) return 0;
    if (lootBits & LootGoldQuartered) v /= 4;
    if (lootBits & LootGoldDoubled) v *= 2;
    return v;
}

void reportTreasure(int gold, const LootList& loot) {
    if (gold > 0) {
        print("Znalazłeś ");
        printColoured(ColourYellow, "%d", gold);
        print(" złota.\n");
        addGold(gold);
    }
    if (!loot.empty()) print("Znalazłeś %d przedmiotów.\n", static_cast<int>(loot.size()));
    print("\n(ok)");
    pauseOk();
}

void treasureFind(int challenge, std::uint32_t lootBits) {
    LootList loot;
    const int gold = rollTreasure(challenge, lootBits, loot);
    reportTreasure(gold, loot);
    lootScreen(loot);
}

}  // namespace kelvrin
