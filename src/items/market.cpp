#include "items/market.h"

#include "core/console.h"
#include "core/game_state.h"
#include "items/inventory.h"
#include "items/item_display.h"
#include "items/item_value.h"
#include "items/shop.h"

namespace kelvrin {

namespace {

constexpr int AntidoteRow = 1;

constexpr SellTexts marketSelling{
    "Co chcesz sprzedać (0-nic):\n",
    "Nie masz żadnych przedmiotów.\n\n(ok)",
    "Nie chcę tego kupować.\n\n(ok)",
    nullptr,
    "(t/n)\n",
    "Nie możesz odłożyć tej broni! Jest przeklęta!\n\n(ok)",
    "Nie możesz zdjąć tej zbroi! Jest przeklęta!\n\n(ok)",
    "Nie możesz odłożyć tej tarczy! Jest przeklęta!\n\n(ok)",
};

// Buying potions.
void buyScreen() {
    const std::array<ItemSlot, 4> offer = marketPotions();
    potionShop("Podchodzisz do kupca sprzedającego mikstury. Ma na sprzedaż: \n", {offer.begin(), offer.end()});
}

}  // namespace

std::array<ItemSlot, 4> marketPotions() {
    constexpr std::uint32_t known = Identified | StrengthKnown;
    return {{
        {HealingPotionRow, KindPotion, 0, 0, known},
        {HealingPotionRow, KindPotion, 0, 1, known},
        {AntidoteRow, KindPotion, 0, 0, known},
        {AntidoteRow, KindPotion, 0, 1, known},
    }};
}

bool marketScreen() {
    clearScreen();
    print("TARG\nTutaj możesz sprzedać dowolny przedmiot, możesz także kupić magiczne eliksiry.\nMasz %d sztuk "
          "złota.\nk - kup, s - sprzedaj, w - wyjdź\n",
          hero.gold);
    switch (askKey("ksw")) {
        case 'k': buyScreen(); break;
        case 's': return sellScreen(AllKinds, marketSelling);
        default: return false;
    }
    return true;
}

}  // namespace kelvrin
