// What merchants pay for an item and what they ask for it, both scaled by
// the hero's CHA.
#pragma once

#include "core/item_slot.h"

namespace kelvrin {

// The price rule every merchant uses: the factor f = base + modifier ×
// step is held in single precision (the step is a float constant, the
// product and the sum are each rounded to float), and the price is f ×
// worth computed in double precision and truncated toward zero. Selling
// uses base 0.5 and step 0.01, buying base 1.5 and step -0.015.
int applyPriceFactor(int worth, float base, float step, int modifier);

// The enchantment the special properties stand for: a weapon's `accurate`
// 1, `keen` 2, `ofTheGods` 3; armour's `resistance` 1, `blinking` 2;
// nothing for other kinds.
int propertyEnchantment(const ItemSlot& item);

// Gold a merchant pays for the item (kinds 1-5); 0: he will not buy it.
int saleValue(const ItemSlot& item);
// Gold a merchant asks for the item (kinds 1-5).
int purchasePrice(const ItemSlot& item);

}  // namespace kelvrin
