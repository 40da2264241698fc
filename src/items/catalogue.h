// Items as catalogue rows: turning a stored row id into a reference and
// back, the row of a slot, its name, weight and base worth, and the rule
// that gives a new weapon or armour its special properties.
#pragma once

#include <cstdint>
#include <optional>

#include "core/item_slot.h"
#include "data/item_tables.h"

namespace kelvrin {

// Rows in the catalogue of a kind; 0 for the empty kind and unknown kinds.
int catalogueSize(std::int32_t kind);
// The reference (`ItemSlot::ref`) of row `id` of the kind's catalogue, or
// nothing when the kind has no catalogue (0, or outside 1-5) or the id is
// not one of its rows. Loading uses it to check and rebuild a stored item.
std::optional<std::int32_t> catalogueRow(std::int32_t kind, std::int32_t id);
// The `id` of the slot's row (kinds 1-5), as the save file stores it;
// -1 for an empty slot or one that refers to no row.
std::int32_t rowId(const ItemSlot& slot);
// True when the slot is of kind 1-5 and refers to a row of that catalogue.
bool isValidItem(const ItemSlot& slot);

// The row of a slot of the matching kind (the kind is the caller's to know).
const WeaponDef& weaponRow(const ItemSlot& slot);
const ArmorDef& armourRow(const ItemSlot& slot);
const ShieldDef& shieldRow(const ItemSlot& slot);
const PotionDef& potionRow(const ItemSlot& slot);
const GemDef& gemRow(const ItemSlot& slot);

// The catalogue name, weight (kg) and base worth (a weapon's, armour's or
// shield's `price`, a potion's or gem's `value`) of any item; "", 0 and 0
// for an empty or invalid slot.
const char* itemName(const ItemSlot& slot);
float itemWeight(const ItemSlot& slot);
int itemBasePrice(const ItemSlot& slot);

// Special properties of a new weapon or armour of quality n (the
// enchantment it would have without properties): above 3, one draw in ten
// sets `Keen`/`Blinking` for 2 of n; then, above 2, one draw in ten sets
// `Accurate`/`Resistance` for 1 of n. A draw is made only when its
// threshold is met. The bits are added to `flags`; the remaining n is
// returned and becomes the item's `bonus` (a quality of -1, a plain item,
// comes back as -1: the caller makes it 0).
int rollSpecialProperties(int quality, std::uint32_t& flags);

}  // namespace kelvrin
