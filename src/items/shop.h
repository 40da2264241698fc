// What the town's shops have in common: the smiths' quality draw and the
// building of a new shop item, the numbered list of the hero's items that
// selling and upgrading choose from, the sell screen of the smiths and the
// market, and the smiths' buy screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/item_slot.h"

namespace kelvrin {

// The quality of a new smith's item, drawn with one random number from the
// quality table row of the hero's level. Levels beyond the table (30, the
// highest) use its last row, levels below it the first.
int drawQuality();

// A new identified item of a smith: masterwork from quality 0 up; a weapon
// or armour then rolls its special properties on the quality (`flags` may
// already hold bits of its own, such as a small cut of armour); the bonus is
// what is left of the quality, 0 for a plain item. Shields get no properties.
ItemSlot makeShopItem(ItemKind kind, int row, int quality, std::uint32_t flags);

// Where an item of a sell or upgrade list is held.
enum class HeldIn { Weapon, Armour, Shield, Backpack };
struct ListedItem {
    HeldIn place;
    int slot;  // the backpack slot, for HeldIn::Backpack
};
// List number - 1 → the item; rebuilt by every listing.
using SellMap = std::vector<ListedItem>;

// Item kinds a list shows, as a bit set: bit `kind` for each kind.
constexpr unsigned kindBit(ItemKind kind) { return 1u << kind; }
constexpr unsigned WeaponKinds = kindBit(KindWeapon);
constexpr unsigned ArmourAndShieldKinds = kindBit(KindArmour) | kindBit(KindShield);
constexpr unsigned AllKinds = kindBit(KindWeapon) | kindBit(KindArmour) | kindBit(KindShield) |
                              kindBit(KindPotion) | kindBit(KindGem);

// Prints the hero's items of the kinds, numbered from 1: the wielded weapon,
// the worn armour and the carried shield first, marked "E " (fists and the
// "(brak)" armour are not items), then the backpack in slot order.
SellMap listHeldItems(unsigned kinds);
ItemSlot& heldItem(const ListedItem& entry);
// Reads the list number typed by the player: 0 for "nothing" (also when
// the line holds no number), -1 for a number off the list, else the number.
int readChoice(std::size_t listSize);

// The words of one sell screen.
struct SellTexts {
    const char* title;
    const char* nothingToSell;   // the list is empty
    const char* refused;         // the merchant pays nothing for it
    const char* refusedShield;   // the same for a shield; nullptr: `refused`
    const char* answerHint;      // what follows "... za %d sztuk złota? "
    const char* cursedWeapon;    // an equipped item with a negative bonus stays
    const char* cursedArmour;
    const char* cursedShield;
};

// The sell screen: pick an item, hear the price, sell it, and again, until
// 0 is typed or nothing is left to sell. An equipped cursed item cannot be
// sold; selling a wielded weapon of the gods first takes its bonus off the
// attributes, which may kill the hero: then the screen ends at once and
// returns false (true otherwise), and so does the shop.
bool sellScreen(unsigned kinds, const SellTexts& texts);

// The smiths' buy screen: draws a stock of `stockSize()` items (each by
// `drawItem()`, in that order of random draws), lists them with their
// prices and sells the one chosen. A number off the list, a refused
// confirmation or a lack of gold draws a new stock; 0 or a purchase ends it.
// A purchase the backpack cannot take (weight or room) costs nothing and
// only waits for a key.
void smithBuyScreen(const char* title, int (*stockSize)(), ItemSlot (*drawItem)());

// Prints "Brakuje ci %d sztuk złota." for a price the hero cannot pay and
// waits for a key.
void reportShortage(int price);

// Selling potions (the market's and the druid's): the heading, the offer
// with prices, and a purchase after a t/n question. The list stays open
// after a purchase, so the hero can buy more; 0 or a purchase the backpack
// cannot take (weight or room: nothing said, nothing paid) ends it.
void potionShop(const char* heading, const std::vector<ItemSlot>& offer);

}  // namespace kelvrin
