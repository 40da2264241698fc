#include "support/game_test.h"

#include <climits>

#include "items/inventory.h"
#include "items/market.h"
#include "support/test_hero.h"

namespace kelvrin::test {
namespace {

constexpr std::uint32_t Known = Identified | StrengthKnown;

class MarketTest : public GameTest {
protected:
    void SetUp() override { GameTest::SetUp(); makeTestHero(); }
    // Runs the market until it is left with "w"; expects every part in what it printed.
    void visit(const std::string& keys, std::initializer_list<const char*> parts) {
        screen.clearTranscript();
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds([] { while (marketScreen()) continue; })) << keys;
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        for (const char* part : parts) EXPECT_NE(screen.transcript().find(part), std::string::npos) << part;
    }
};

// The potion list stays open after each purchase; a shortage names the
// missing gold; a full backpack takes nothing, costs nothing and ends the
// list after one key.
TEST_F(MarketTest, PotionsAreBoughtUntilThePurseOrTheBackpackRunsOut) {
    hero.gold = 200;
    visit("k1\nt2\nt3\nt 0\nw",
          {"{clear}TARG\nTutaj możesz sprzedać dowolny przedmiot, możesz także kupić magiczne eliksiry.\n"
           "Masz 200 sztuk złota.\nk - kup, s - sprzedaj, w - wyjdź\n{clear}"
           "Podchodzisz do kupca sprzedającego mikstury. Ma na sprzedaż: \n"
           "1) Mikstura lecznicza +0 (Waga: 0.25 kg) _75 złota\n2) Mikstura lecznicza +1 (Waga: 0.25 kg) _112 złota\n"
           "3) Antidotum +0 (Waga: 0.25 kg) _112 złota\n4) Antidotum +1 (Waga: 0.25 kg) _168 złota\n\n"
           "Co chcesz kupić (0-nic)? 1\n"
           "Na pewno chcesz kupić Mikstura lecznicza +0 za 75 sztuk złota? (t/n)\n{clear}Podchodzisz",
           "za 112 sztuk złota? (t/n)\nBrakuje ci 99 sztuk złota.\n\n(ok){clear}Podchodzisz"});
    EXPECT_EQ(hero.gold, 13);
    const decltype(hero.inventory) bought{ItemSlot{0, KindPotion, 0, 0, Known}, ItemSlot{0, KindPotion, 0, 1, Known}};
    EXPECT_EQ(hero.inventory, bought);

    hero.gold = 200;
    for (std::size_t i = 2; i < hero.inventory.size(); ++i) hero.inventory[i] = ItemSlot{1, KindGem, 0, 0, Identified};
    visit("k1\ntkw", {"za 75 sztuk złota? (t/n)\n{clear}TARG\n"});
    EXPECT_EQ(hero.gold, 200);
}

// The market buys anything it values: the wielded weapon (leaving the
// fists), gems, a potion known only by its kind, a cursed sword the hero
// does not know is cursed; it refuses the worthless and the known cursed,
// and a worn cursed armour stays where it is.
TEST_F(MarketTest, EverythingWithAValueIsBought) {
    hero.gold = 0;
    hero.armour = ItemSlot{6, KindArmour, 0, -1, 0};
    hero.inventory[0] = ItemSlot{3, KindGem, 0, 0, Identified};     // Diament
    hero.inventory[1] = ItemSlot{4, KindGem, 0, 0, Identified};     // Kryształ
    hero.inventory[3] = ItemSlot{2, KindPotion, 0, 0, Identified};  // kind known
    hero.inventory[4] = ItemSlot{7, KindWeapon, 0, -1, Identified};
    hero.inventory[6] = ItemSlot{7, KindWeapon, 0, -1, 0};
    visit("s1\nt1\nt 4\n 6\n 7\nt5\nt3\nt0\nw",
          {"{clear}Co chcesz sprzedać (0-nic):\n1) E Długi miecz\n2) E Zbroja łuskowa +?\n3) E Tarcza\n4) Diament\n"
           "5) Kryształ\n6) Eliksir uzdrowienia +?\n7) Długi miecz -1\n8) Długi miecz +?\n1\n"
           "Czy chcesz sprzedać Długi miecz za 7 sztuk złota? (t/n)\n{clear}",
           "1\nCzy chcesz sprzedać Zbroja łuskowa +? za 25 sztuk złota? (t/n)\n"
           "Nie możesz zdjąć tej zbroi! Jest przeklęta!\n\n(ok){clear}",
           "4\nNie chcę tego kupować.\n\n(ok){clear}", "6\nNie chcę tego kupować.\n\n(ok){clear}",
           "7\nCzy chcesz sprzedać Długi miecz +? za 7 sztuk złota? (t/n)\n{clear}",
           "Eliksir uzdrowienia +? za 125 sztuk złota? (t/n)\n{clear}",
           "Diament za 500 sztuk złota? (t/n)\n{clear}Co chcesz sprzedać (0-nic):\n"
           "1) E Zbroja łuskowa +?\n2) E Tarcza\n3) Kryształ\n4) Długi miecz -1\n0\n"});
    EXPECT_EQ(hero.gold, 7 + 7 + 125 + 500);
    EXPECT_EQ(hero.weapon, (ItemSlot{0, KindWeapon, 0, 0, Identified}));
    EXPECT_FLOAT_EQ(hero.load, 15.0f + 7.5f + 0.1f + 2.0f);

    // A fortune does not wrap around into a debt.
    hero.gold = INT_MAX - 10;
    visit("s2\nt0\nw", {});
    EXPECT_EQ(hero.gold, INT_MAX);

    // Nothing to sell at all.
    hero.weapon.ref = 0;
    hero.armour = ItemSlot{0, KindArmour, 0, 0, Identified};
    hero.shield.kind = KindEmpty;
    hero.inventory = {};
    visit("s w", {"Co chcesz sprzedać (0-nic):\nNie masz żadnych przedmiotów.\n\n(ok){clear}TARG"});
}

// Selling the wielded sword of the gods takes its +5 off KON and, at the
// third level, 6 Pw with it: with 5 left the hero dies as the sale completes
// and the market is left at once.
TEST_F(MarketTest, SellingTheSwordOfTheGodsCanKill) {
    hero.level = 3;
    hero.attributes = {19, 17, 17, 15, 15, 15};
    hero.hp = 5;
    hero.gold = 0;
    hero.lastHarm = 0;  // bitten by a rat some time ago
    hero.weapon = ItemSlot{7, KindWeapon, 1, 5, OfTheGods | Identified};
    visit("s1\nt ", {});
    EXPECT_TRUE(screen.transcript().ends_with(
        "Długi miecz Bogów +5 za 66723 sztuk złota? (t/n)\n{12}Umierasz...\n{7}\n(ok)"));
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.lastHarm, HarmNothingYet);
    EXPECT_EQ(hero.gold, 66723);
    EXPECT_EQ(hero.weapon, (ItemSlot{0, KindWeapon, 0, 0, Identified}));
}

}  // namespace
}  // namespace kelvrin::test
