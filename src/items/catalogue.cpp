#include "items/catalogue.h"

#include "core/random.h"

namespace kelvrin {

int catalogueSize(std::int32_t kind) {
    switch (kind) {
        case KindWeapon: return static_cast<int>(weaponTable.size());
        case KindArmour: return static_cast<int>(armourTable.size());
        case KindShield: return static_cast<int>(shieldTable.size());
        case KindPotion: return static_cast<int>(potionTable.size());
        case KindGem: return static_cast<int>(gemTable.size());
        default: return 0;
    }
}

std::optional<std::int32_t> catalogueRow(std::int32_t kind, std::int32_t id) {
    if (id < 0 || id >= catalogueSize(kind)) return std::nullopt;
    // A reference is the row's position, and every row's id is its position.
    return id;
}

bool isValidItem(const ItemSlot& slot) {
    return slot.ref >= 0 && slot.ref < catalogueSize(slot.kind);
}

std::int32_t rowId(const ItemSlot& slot) {
    if (!isValidItem(slot)) return -1;
    switch (slot.kind) {
        case KindWeapon: return weaponRow(slot).id;
        case KindArmour: return armourRow(slot).id;
        case KindShield: return shieldRow(slot).id;
        case KindPotion: return potionRow(slot).id;
        default: return gemRow(slot).id;
    }
}

// A reference outside its table is a fault of the caller; at() stops there
// instead of reading whatever lies beyond the table.
const WeaponDef& weaponRow(const ItemSlot& slot) { return weaponTable.at(static_cast<std::size_t>(slot.ref)); }
const ArmorDef& armourRow(const ItemSlot& slot) { return armourTable.at(static_cast<std::size_t>(slot.ref)); }
const ShieldDef& shieldRow(const ItemSlot& slot) { return shieldTable.at(static_cast<std::size_t>(slot.ref)); }
const PotionDef& potionRow(const ItemSlot& slot) { return potionTable.at(static_cast<std::size_t>(slot.ref)); }
const GemDef& gemRow(const ItemSlot& slot) { return gemTable.at(static_cast<std::size_t>(slot.ref)); }

const char* itemName(const ItemSlot& slot) {
    if (!isValidItem(slot)) return "";
    switch (slot.kind) {
        case KindWeapon: return weaponRow(slot).name;
        case KindArmour: return armourRow(slot).name;
        case KindShield: return shieldRow(slot).name;
        case KindPotion: return potionRow(slot).name;
        default: return gemRow(slot).name;
    }
}

float itemWeight(const ItemSlot& slot) {
    if (!isValidItem(slot)) return 0.0f;
    switch (slot.kind) {
        case KindWeapon: return weaponRow(slot).weight;
        case KindArmour: return armourRow(slot).weight;
        case KindShield: return shieldRow(slot).weight;
        case KindPotion: return potionRow(slot).weight;
        default: return gemRow(slot).weight;
    }
}

int itemBasePrice(const ItemSlot& slot) {
    if (!isValidItem(slot)) return 0;
    switch (slot.kind) {
        case KindWeapon: return weaponRow(slot).price;
        case KindArmour: return armourRow(slot).price;
        case KindShield: return shieldRow(slot).price;
        case KindPotion: return potionRow(slot).value;
        default: return gemRow(slot).value;
    }
}

int rollSpecialProperties(int quality, std::uint32_t& flags) {
    if (quality > 3 && randomNext() % 10 == 0) {
        flags |= Keen;  // Blinking on armour: the same bit
        quality -= 2;
    }
    if (quality > 2 && randomNext() % 10 == 0) {
        flags |= Accurate;  // Resistance on armour
        quality -= 1;
    }
    return quality;
}

}  // namespace kelvrin
