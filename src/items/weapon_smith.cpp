#include "items/weapon_smith.h"

#include "character/feat_screens.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/item_tables.h"
#include "items/inventory.h"
#include "items/item_display.h"
#include "items/shop.h"

namespace kelvrin {

namespace {

constexpr SellTexts weaponSmithSelling{
    "Którą broń chcesz sprzedać (0-nic):\n",
    "Brak broni\n\n(ok)",
    "Nie chce kupować tej broni.\n\n(ok)",
    nullptr,
    "(t\n)\n",
    "Nie możesz puścić tej broni! Jest przeklęta!\n\n(ok)",
    nullptr,
    nullptr,
};

void printNamed(const char* before, const ItemSlot& item, const char* after) {
    print("%s", before);
    printItem(item, ShowName);
    print("%s", after);
}

// Offers to reforge a weapon of the gods into another kind of weapon. The
// weapon keeps its masterwork, bonus and properties; a wielded one is
// reforged in the hand as it is.
void reforge(ItemSlot& weapon) {
    printNamed("Jeśli chcesz mogę przekuć ", weapon,
               " na inny rodzaj broni za 10.000 sztuk złota. Chcesz tego? (t/n)\n");
    if (!askYesNo()) return;
    if (hero.gold < ReforgePrice) {
        reportShortage(ReforgePrice);
        return;
    }
    const int row = chooseWeapon(false, true);
    if (row < 0 || row == weapon.ref) return;  // cancelled, or the same kind: nothing paid
    printNamed("Przekułem ", weapon, "");
    weapon.ref = row;
    printNamed(" w ", weapon, "!\n\n(ok)");
    pauseOk();
    hero.gold -= ReforgePrice;
    recomputeLoad();
}

void upgradeScreen() {
    for (;;) {
        clearScreen();
        print("Którą broń chcesz ulepszyć (0-nic):\n");
        const SellMap map = listHeldItems(WeaponKinds);
        if (map.empty()) {
            print("Brak broni\n\n(ok)");
            pauseOk();
            return;
        }
        const int number = readChoice(map.size());
        if (number == 0) return;
        if (number < 0) continue;
        ItemSlot& weapon = heldItem(map[static_cast<std::size_t>(number - 1)]);

        const bool ofTheGods = (weapon.flags & OfTheGods) != 0;
        const bool identified = (weapon.flags & Identified) != 0;
        // A weapon of the gods hides what it is until identified: the smith
        // sees only its masterwork.
        if (weapon.masterwork && !(ofTheGods && identified)) {
            print("Ta broń jest już mistrzowsko wykonana.\n\n(ok)");
            pauseOk();
            continue;
        }
        if (ofTheGods) {
            reforge(weapon);
            continue;
        }
        printNamed("Czy chcesz ulepszyć ", weapon, " za 300 sztuk złota? (t/n)\n");
        if (!askYesNo()) continue;
        if (hero.gold < WeaponUpgradePrice) {
            reportShortage(WeaponUpgradePrice);
            return;
        }
        hero.gold -= WeaponUpgradePrice;
        weapon.masterwork = 1;
        print("Twoja broń została ulepszona.\n\n(ok)");
        pauseOk();
    }
}

}  // namespace

int weaponStockSize() { return randomRange(8, 10); }

ItemSlot drawStockWeapon() {
    const int row = randomRange(1, static_cast<int>(weaponTable.size()) - 1);  // never the fists
    const int quality = drawQuality();
    return makeShopItem(KindWeapon, row, quality, Identified);
}

bool weaponSmithScreen() {
    clearScreen();
    print("PŁATNERZ\nTutaj możesz kupić, sprzedać lub ulepszyć broń.\nMasz %d sztuk złota.\n"
          "k - kup, s - sprzedaj, u - ulepsz, w - wyjdź\n",
          hero.gold);
    switch (askKey("ksuw")) {
        case 'k': smithBuyScreen("Oto broń którą mam aktualnie na sprzedaż: \n", weaponStockSize, drawStockWeapon); break;
        case 's': return sellScreen(WeaponKinds, weaponSmithSelling);
        case 'u': upgradeScreen(); break;
        default: return false;
    }
    return true;
}

}  // namespace kelvrin
