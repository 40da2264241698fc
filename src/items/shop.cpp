#include "items/shop.h"

#include <algorithm>

#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/item_tables.h"
#include "data/smith_tables.h"
#include "items/catalogue.h"
#include "items/inventory.h"
#include "items/item_display.h"
#include "items/item_value.h"

namespace kelvrin {

namespace {

constexpr ItemSlot Fists{FistsRow, KindWeapon, 0, 0, Identified};
constexpr ItemSlot NoArmour{NoArmourRow, KindArmour, 0, 0, Identified};

bool shows(unsigned kinds, std::int32_t kind) {
    return kind >= KindWeapon && kind <= KindGem && (kinds & kindBit(static_cast<ItemKind>(kind))) != 0;
}

void printNamed(const char* before, const ItemSlot& item) {
    print("%s", before);
    printItem(item, ShowName);
}

// Hands the item over: the gold comes in and the item leaves its place.
// False when the hero did not live through it: a wielded weapon of the gods
// takes its bonus with it.
bool sellItem(const ListedItem& entry, int value) {
    addGold(value);
    bool godBonusLost = false;
    switch (entry.place) {
        case HeldIn::Weapon:
            if (hero.weapon.flags & OfTheGods) {
                applyGodBonus(-hero.weapon.bonus);
                godBonusLost = true;
            }
            hero.weapon = Fists;
            break;
        case HeldIn::Armour: hero.armour = NoArmour; break;
        case HeldIn::Shield: hero.shield.kind = KindEmpty; break;
        case HeldIn::Backpack: hero.inventory[static_cast<std::size_t>(entry.slot)].kind = KindEmpty; break;
    }
    recomputeLoad();
    return !(godBonusLost && diesOfLostGodBonus());
}

// The refusal for an equipped item with a negative bonus, or nullptr when
// the item may go.
const char* cursedRefusal(const ListedItem& entry, const SellTexts& texts) {
    if (entry.place == HeldIn::Backpack || heldItem(entry).bonus >= 0) return nullptr;
    switch (entry.place) {
        case HeldIn::Weapon: return texts.cursedWeapon;
        case HeldIn::Armour: return texts.cursedArmour;
        default: return texts.cursedShield;
    }
}

}  // namespace

int drawQuality() {
    const int row = std::clamp(hero.level, 0, static_cast<int>(shopQualityTable.size()) - 1);
    const QualityRow& chances = shopQualityTable[static_cast<std::size_t>(row)];
    const int roll = randomNext() % 100;
    int limit = 0;
    for (const QualityChance& pair : chances) {
        limit += pair.percent;
        if (roll < limit) return pair.quality;
    }
    return chances.back().quality;
}

ItemSlot makeShopItem(ItemKind kind, int row, int quality, std::uint32_t flags) {
    ItemSlot item{row, kind, quality >= 0 ? 1 : 0, 0, flags | Identified};
    int remaining = quality;
    if (kind == KindWeapon || kind == KindArmour) remaining = rollSpecialProperties(quality, item.flags);
    item.bonus = quality == PlainQuality ? 0 : remaining;
    return item;
}

SellMap listHeldItems(unsigned kinds) {
    SellMap map;
    auto list = [&map](const ListedItem& entry, const char* mark) {
        map.push_back(entry);
        print("%d) %s", static_cast<int>(map.size()), mark);
        printItem(heldItem(entry), ShowName);
        print("\n");
    };
    if (shows(kinds, KindWeapon) && hero.weapon.ref != FistsRow) list({HeldIn::Weapon, 0}, "E ");
    if (shows(kinds, KindArmour) && hero.armour.ref != NoArmourRow) list({HeldIn::Armour, 0}, "E ");
    if (shows(kinds, KindShield) && hero.shield.kind == KindShield) list({HeldIn::Shield, 0}, "E ");
    for (int i = 0; i < BackpackSlots; ++i)
        if (shows(kinds, hero.inventory[static_cast<std::size_t>(i)].kind)) list({HeldIn::Backpack, i}, "");
    return map;
}

int readChoice(std::size_t listSize) {
    int number = 0;
    readNumber(number);
    if (number == 0) return 0;
    if (number < 0 || number > static_cast<int>(listSize)) return -1;
    return number;
}

ItemSlot& heldItem(const ListedItem& entry) {
    switch (entry.place) {
        case HeldIn::Weapon: return hero.weapon;
        case HeldIn::Armour: return hero.armour;
        case HeldIn::Shield: return hero.shield;
        case HeldIn::Backpack: break;
    }
    return hero.inventory.at(static_cast<std::size_t>(entry.slot));
}

bool sellScreen(unsigned kinds, const SellTexts& texts) {
    for (;;) {
        clearScreen();
        print("%s", texts.title);
        const SellMap map = listHeldItems(kinds);
        if (map.empty()) {
            print("%s", texts.nothingToSell);
            pauseOk();
            return true;
        }
        const int number = readChoice(map.size());
        if (number == 0) return true;
        if (number < 0) continue;
        const ListedItem& entry = map[static_cast<std::size_t>(number - 1)];
        const ItemSlot& item = heldItem(entry);

        const int value = saleValue(item);
        if (value <= 0) {
            const bool shield = item.kind == KindShield && texts.refusedShield != nullptr;
            print("%s", shield ? texts.refusedShield : texts.refused);
            pauseOk();
            continue;
        }
        printNamed("Czy chcesz sprzedać ", item);
        print(" za %d sztuk złota? %s", value, texts.answerHint);
        if (!askYesNo()) continue;
        if (const char* refusal = cursedRefusal(entry, texts)) {
            print("%s", refusal);
            pauseOk();
            continue;
        }
        if (!sellItem(entry, value)) return false;
    }
}

void smithBuyScreen(const char* title, int (*stockSize)(), ItemSlot (*drawItem)()) {
    for (;;) {
        clearScreen();
        print("%s", title);
        std::vector<ItemSlot> stock(static_cast<std::size_t>(stockSize()));
        for (std::size_t i = 0; i < stock.size(); ++i) {
            stock[i] = drawItem();
            print("%d) ", static_cast<int>(i + 1));
            printItem(stock[i], ShowShopStock);
            print("_%d sz\n", purchasePrice(stock[i]));
        }
        print("\nCo chcesz kupić (0-nic)? ");
        const int number = readChoice(stock.size());
        if (number == 0) return;
        if (number < 0) continue;

        const ItemSlot& item = stock[static_cast<std::size_t>(number - 1)];
        const int price = purchasePrice(item);
        printNamed("Na pewno chcesz kupić ", item);
        print(" za %d sztuk złota? (t/n)\n", price);
        if (!askYesNo()) continue;
        if (hero.gold < price) {
            reportShortage(price);
            continue;
        }
        if (addItem(item, true)) {
            hero.gold -= price;
        } else {
            pauseOk();  // too heavy, or no room: nothing said, nothing paid
        }
        return;
    }
}

void reportShortage(int price) {
    print("Brakuje ci %d sztuk złota.\n\n(ok)", goldShortOf(price));
    pauseOk();
}

void potionShop(const char* heading, const std::vector<ItemSlot>& offer) {
    for (;;) {
        clearScreen();
        printText(heading);
        for (std::size_t i = 0; i < offer.size(); ++i) {
            print("%d) ", static_cast<int>(i + 1));
            printItem(offer[i], ShowPotionList);
            print(" _%d złota\n", purchasePrice(offer[i]));
        }
        print("\nCo chcesz kupić (0-nic)? ");
        const int number = readChoice(offer.size());
        if (number == 0) return;
        if (number < 0) continue;

        const ItemSlot& potion = offer[static_cast<std::size_t>(number - 1)];
        const int price = purchasePrice(potion);
        print("Na pewno chcesz kupić ");
        printItem(potion, ShowName);
        print(" za %d sztuk złota? (t/n)\n", price);
        if (!askYesNo()) continue;
        if (hero.gold < price) {
            reportShortage(price);
            continue;
        }
        if (!addItem(potion, true)) {
            pauseOk();
            return;
        }
        addGold(-static_cast<long long>(price));
    }
}

}  // namespace kelvrin
