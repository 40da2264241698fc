#include "items/mages_tower.h"

#include <climits>
#include <cstdlib>
#include <vector>

#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/item_tables.h"
#include "items/inventory.h"
#include "items/item_display.h"
#include "items/item_value.h"
#include "items/seer.h"

namespace kelvrin {

namespace {

// The elixir that turns to water when a mage tries to enchant it.
constexpr int ElixirOfHealthRow = 4;
// A potion of this row or later tells only its kind when identified.
constexpr int FirstKindOnlyPotionRow = 2;

// One numbered entry of a service's list: an equipment slot or a backpack
// slot. Rebuilt by every listing.
struct Listed {
    ItemSlot* item;
    bool equipped;
};

using Filter = bool (*)(const ItemSlot&);

// What the tower does after a chosen item has been dealt with.
enum class Next {
    Redraw,  // show the service's list again
    Leave,   // the hero died: out of the tower at once
};

bool isGear(const ItemSlot& item) {
    return item.kind == KindWeapon || item.kind == KindArmour || item.kind == KindShield;
}

bool isWieldedGodsWeapon(const ItemSlot& item) {
    return &item == &hero.weapon && (item.flags & OfTheGods) != 0;
}

// Base price by kind: weapon, armour, shield, potion (gems have none).
long long byKind(const ItemSlot& item, long long weapon, long long armour, long long shield, long long potion) {
    switch (item.kind) {
        case KindWeapon: return weapon;
        case KindArmour: return armour;
        case KindShield: return shield;
        case KindPotion: return potion;
        default: return 0;
    }
}

// n² × perStep at the tower's factor; n is at most a little above the
// 32-bit range, and anything near that costs more than any purse holds.
int squaredPrice(long long n, long long perStep) {
    if (n > 1'000'000) return INT_MAX;
    return towerPrice(n * n * perStep);
}

void printNamed(const char* before, const ItemSlot& item, const char* after) {
    print("%s", before);
    printItem(item, ShowName);
    print("%s", after);
}

// A message ending in "(ok)", then the wait for a key.
void tell(const char* message) {
    print("%s", message);
    pauseOk();
}

// The numbering of one listing: the wielded weapon, the worn armour, the
// carried shield, then the backpack in slot order, each only if it passes.
std::vector<Listed> buildSellMap(Filter filter) {
    std::vector<Listed> sellMap;
    if (hero.weapon.ref != FistsRow && filter(hero.weapon)) sellMap.push_back({&hero.weapon, true});
    if (hero.armour.ref != NoArmourRow && filter(hero.armour)) sellMap.push_back({&hero.armour, true});
    if (!hero.shield.empty() && filter(hero.shield)) sellMap.push_back({&hero.shield, true});
    for (ItemSlot& slot : hero.inventory)
        if (!slot.empty() && filter(slot)) sellMap.push_back({&slot, false});
    return sellMap;
}

// Lists the items that pass the filter under the service's title and deals
// with the one chosen, until the player types 0 or nothing is left to list
// (then the message stands under the title, as at the smiths). False when
// the hero died and the tower must be left.
bool itemService(const char* title, const char* nothingToList, Filter filter, Next (*deal)(ItemSlot&)) {
    for (;;) {
        const std::vector<Listed> sellMap = buildSellMap(filter);
        clearScreen();
        print("%s", title);
        if (sellMap.empty()) {
            tell(nothingToList);
            return true;
        }
        for (std::size_t i = 0; i < sellMap.size(); ++i) {
            print(sellMap[i].equipped ? "%d) E " : "%d) ", static_cast<int>(i) + 1);
            printItem(*sellMap[i].item, ShowName);
            print("\n");
        }
        int choice = 0;
        readNumber(choice);
        if (choice == 0) return true;
        if (choice < 1 || choice > static_cast<int>(sellMap.size())) continue;
        if (deal(*sellMap[static_cast<std::size_t>(choice) - 1].item) == Next::Leave) return false;
    }
}

// True when the purse holds the price; otherwise says what is missing.
bool canPay(int price) {
    if (hero.gold >= price) return true;
    print("Brakuje ci %d sztuk złota.\n\n(ok)", goldShortOf(price));
    pauseOk();
    return false;
}

Next enchant(ItemSlot& item) {
    if ((item.flags & Identified) == 0) {
        tell("Musisz najpierw zidentyfikować ten przedmiot.\n\n(ok)");
        return Next::Redraw;
    }
    if (item.bonus < 0) {
        print("Ten przedmiot jest przeklęty, na pewno chcesz go ulepszyć? (t/n)\n");
        if (!askYesNo()) return Next::Redraw;
    }
    if (item.kind == KindGem) {
        tell("Nie mogę umagicznić tego przedmiotu.\n\n(ok)");
        return Next::Redraw;
    }
    if (isGear(item) && !item.masterwork) {
        tell("Ten przedmiot musi być mistrzowsko wykonany żeby można było go umagicznić.\n\n(ok)");
        return Next::Redraw;
    }
    const int price = enchantingPrice(item);
    // A step always leads away from 0: a cursed item only grows more cursed.
    const int step = item.bonus >= 0 ? 1 : -1;
    const int newBonus = item.bonus + step;
    print("Czy chcesz zapłacić %d sztuk złota aby ulepszyć ", price);
    printItem(item, ShowName);
    print(" z %+d do %+d? (t/n)\n", item.bonus, newBonus);
    if (!askYesNo() || !canPay(price)) return Next::Redraw;

    if (item.kind == KindPotion && item.ref == ElixirOfHealthRow) {
        tell("Mag - \"Eeee, ten eliksir który mi dałeś do umagicznienia zamienił się w wodę. Nie musisz mi "
               "płacić, tym razem...\"\n\n(ok)");
        item.ref = WaterRow;
        item.bonus = 0;
        item.flags = Identified;
        recomputeLoad();
        return Next::Redraw;
    }
    if (isWieldedGodsWeapon(item)) {
        applyGodBonus(step);
        print(step > 0 ? "Czujesz się silniejszy.\n" : "Czujesz się słabszy.\n");
        // The gods take back what they gave: an attribute below 1 (or the
        // Pw lost with KON) kills the hero, who pays nothing.
        if (step < 0 && diesOfLostGodBonus()) return Next::Leave;
    }
    hero.gold -= price;
    item.bonus = newBonus;
    tell("Twój przedmiot został umagiczniony.\n\n(ok)");
    return Next::Redraw;
}

Next identify(ItemSlot& item) {
    const int price = identificationPrice(item);
    printNamed("Powiem ci jakie właściwości ma ", item, "");
    print(" za %d sztuk złota. (t/n)\n", price);
    if (!askYesNo() || !canPay(price)) return Next::Redraw;
    hero.gold -= price;
    if (item.kind == KindPotion && item.ref >= FirstKindOnlyPotionRow) {
        // The mage knows these potions by sight only: their strength stays hidden.
        printNamed("Wiem tylko że ", item, " to ");
        item.flags |= Identified;
        printNamed("", item, ". Jeśli chcesz wiedzieć więcej musisz znaleźć jakiegoś alchemika.\n\n(ok)");
    } else {
        printNamed("", item, " to ");
        item.flags |= Identified | StrengthKnown;
        printNamed("", item, ".\n\n(ok)");
    }
    pauseOk();
    return Next::Redraw;
}

Next liftCurse(ItemSlot& item) {
    const int price = curseLiftingPrice(item);
    printNamed("Zdejmę klątwe z ", item, "");
    print(" za %d sztuk złota. (t/n)\n", price);
    if (!askYesNo() || !canPay(price)) return Next::Redraw;
    hero.gold -= price;
    printNamed("Od teraz ", item, " to ");
    const int oldBonus = item.bonus;
    item.bonus = -item.bonus;
    // A wielded weapon of the gods gave its curse to the attributes; now it
    // gives its blessing instead, twice the old size in one change.
    if (isWieldedGodsWeapon(item)) applyGodBonus(item.bonus - oldBonus);
    printNamed("", item, ".\n\n(ok)");
    pauseOk();
    return Next::Redraw;
}

bool anyItem(const ItemSlot&) { return true; }
bool notIdentified(const ItemSlot& item) { return item.kind != KindGem && (item.flags & Identified) == 0; }
bool knownCursed(const ItemSlot& item) {
    return item.kind != KindGem && (item.flags & Identified) != 0 && item.bonus < 0;
}

}  // namespace

int towerPrice(long long base) {
    // Enchantments far beyond any purse would not fit the factor's product.
    if (base > INT_MAX / 2) return INT_MAX;
    const int price = applyPriceFactor(static_cast<int>(base), 1.0f, -0.015f, attributeModifier(hero.attributes[Cha]));
    return price < 0 ? 0 : price;
}

int enchantingPrice(const ItemSlot& item) {
    const long long e = std::llabs(static_cast<long long>(item.bonus)) + propertyEnchantment(item);
    return squaredPrice(e + 1, byKind(item, 2000, 1000, 1000, 75));
}

int identificationPrice(const ItemSlot& item) { return towerPrice(byKind(item, 200, 100, 100, 50)); }

int curseLiftingPrice(const ItemSlot& item) {
    if (item.bonus >= 0) return 0;  // no curse to lift
    return squaredPrice(std::llabs(static_cast<long long>(item.bonus)), byKind(item, 1000, 500, 500, 75));
}

bool magesTowerScreen() {
    clearScreen();
    print("WIEŻA MAGÓW\nWchodzisz to kilku poziomowej wieży magów, na każdym poziomie mieszka inny mag który "
          "zajmuje się czym innym. Do którego chcesz się udać?\nu - umagicznianie\ni - identyfikacja\nk - "
          "zdejmowanie klątw\nw - wieszczenie\nx - wyjście\n");
    switch (askKey("uikwx")) {
        case 'u':
            return itemService("Który przedmiot chcesz umagicznić (0-nic):\n", "Nie masz żadnych przedmiotów.\n\n(ok)",
                               anyItem, enchant);
        case 'i':
            return itemService("Który przedmiot chcesz zidentyfikować (0-nic):\n",
                               "Nie masz żadnych niezidentifikowanych przedmiotów.\n\n(ok)", notIdentified, identify);
        case 'k':
            return itemService("Z którego przedmiotu chcesz zdjąć klątwe (0-nic):\n",
                               "Nie masz żadnych przeklętych przedmiotów.\n\n(ok)", knownCursed, liftCurse);
        case 'w':
            seerScreen();
            return true;
        default:
            return false;
    }
}

}  // namespace kelvrin
