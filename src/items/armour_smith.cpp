#include "items/armour_smith.h"

#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/item_tables.h"
#include "items/item_display.h"
#include "items/shop.h"

namespace kelvrin {

namespace {

constexpr SellTexts armourSmithSelling{
    "Co chcesz sprzedać (0-nic):\n",
    "Nie masz zbroi lub tarczy na sprzedaż.\n\n(ok)",
    "Nie chce kupować tej zbroi.\n\n(ok)",
    "Nie chce kupować tej tarczy.\n\n(ok)",
    "(t\n)\n",
    nullptr,
    "Nie możesz zdjąć tej zbroi! Jest przeklęta!\n\n(ok)",
    "Nie możesz odłożyć tej tarczy! Jest przeklęta!\n\n(ok)",
};

void upgradeScreen() {
    for (;;) {
        clearScreen();
        print("Co chcesz ulepszyć? (0-nic):\n");
        const SellMap map = listHeldItems(ArmourAndShieldKinds);
        if (map.empty()) {
            print("Nie masz zbroi lub tarczy do ulepszenia.\n\n(ok)");
            pauseOk();
            return;
        }
        const int number = readChoice(map.size());
        if (number == 0) return;
        if (number < 0) continue;
        ItemSlot& item = heldItem(map[static_cast<std::size_t>(number - 1)]);
        const bool shield = item.kind == KindShield;

        if (item.masterwork) {
            print(shield ? "Ta tarcza jest już mistrzowsko wykonana.\n\n(ok)"
                         : "Ten pancerz jest już mistrzowsko wykonany.\n\n(ok)");
            pauseOk();
            continue;
        }
        print("Czy chcesz ulepszyć ");
        printItem(item, ShowName);
        print(" za 150 sztuk złota? (t/n)\n");
        if (!askYesNo()) continue;
        if (hero.gold < ArmourUpgradePrice) {
            reportShortage(ArmourUpgradePrice);
            return;
        }
        hero.gold -= ArmourUpgradePrice;
        item.masterwork = 1;
        print(shield ? "Twoja tarcza została ulepszona.\n\n(ok)" : "Twój pancerz został ulepszony.\n\n(ok)");
        pauseOk();
    }
}

}  // namespace

int armourStockSize() { return randomRange(7, 10); }

ItemSlot drawStockArmour() {
    const int row = randomRange(1, static_cast<int>(armourTable.size()) - 1);  // never "(brak)"
    const int quality = drawQuality();
    std::uint32_t flags = Identified;
    if (randomNext() % 3 == 0) flags |= SmallSize;
    return makeShopItem(KindArmour, row, quality, flags);
}

int shieldStockSize() { return randomRange(2, 5); }

ItemSlot drawStockShield() {
    const int row = randomRange(0, static_cast<int>(shieldTable.size()) - 1);
    const int quality = drawQuality();
    return makeShopItem(KindShield, row, quality, Identified);
}

bool armourSmithScreen() {
    clearScreen();
    print("ZBROJMISTRZ\nTutaj możesz kupić, sprzedać lub ulepszyć pancerz oraz zbroje.\nMasz %d sztuk złota.\n"
          "p - kup pancerz, t - kup tarcze, s - sprzedaj, u - ulepsz, w - wyjdź\n",
          hero.gold);
    switch (askKey("ptsuw")) {
        case 'p':
            smithBuyScreen("Oto pancerze które mam aktualnie na sprzedaż: \n", armourStockSize, drawStockArmour);
            break;
        case 't': smithBuyScreen("Oto tarcze które mam aktualnie na sprzedaż: \n", shieldStockSize, drawStockShield); break;
        case 's': return sellScreen(ArmourAndShieldKinds, armourSmithSelling);
        case 'u': upgradeScreen(); break;
        default: return false;
    }
    return true;
}

}  // namespace kelvrin
