#include "support/game_test.h"

#include "items/armour_smith.h"
#include "items/inventory.h"
#include "items/weapon_smith.h"
#include "support/test_hero.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot LongSword{7, KindWeapon, 0, 0, Identified};
constexpr ItemSlot Diamond{3, KindGem, 0, 0, Identified};

class SmithsTest : public GameTest {
protected:
    void SetUp() override { GameTest::SetUp(); makeTestHero(); }
    // Runs the shop as the town does until it is left with "w", from the
    // seed 12345; expects every part in what it printed.
    void visit(bool (*shop)(), const std::string& keys, std::initializer_list<const char*> parts) {
        seedRandom(12345);
        screen.clearTranscript();
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds([shop] { while (shop()) continue; })) << keys;
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        for (const char* part : parts) EXPECT_NE(screen.transcript().find(part), std::string::npos) << part;
    }
};

// A price beyond the purse names the shortage and draws new goods; a
// purchase the backpack cannot take costs nothing (else the next one would
// leave less than 28) and waits for one key (a second 'k' would buy again);
// one it can take ends the buy screen.
TEST_F(SmithsTest, WeaponSmithSellsFromASeededStock) {
    visit(weaponSmithScreen, "k1\nt 0\nw",
          {"Oto broń którą mam aktualnie na sprzedaż: \n"
           "1) Buzdygan* (Obr:3-10 miażdżone Kry:20/x2 Waga: 6 kg, średni)_468 sz\n"
           "2) Tasak (Obr:5-11 cięte Kry:18-20/x2 Waga: 8 kg, duży)_112 sz\n",
           "8) Wielki miecz (Obr:5-15 cięte Kry:19-20/x2 Waga: 7.5 kg, duży)_75 sz\n\nCo chcesz kupić (0-nic)? 1\n"
           "Na pewno chcesz kupić Buzdygan* za 468 sztuk złota? (t/n)\nBrakuje ci 418 sztuk złota.\n\n(ok){clear}Oto"});
    hero.inventory.fill(Diamond);
    visit(weaponSmithScreen, "k6\ntkw", {"Długi miecz za 22 sztuk złota? (t/n)\n{clear}PŁATNERZ\n"});
    hero.inventory = {};
    visit(weaponSmithScreen, "k6\ntw", {"za 22 sztuk złota? (t/n)\n{clear}PŁATNERZ\n"});
    EXPECT_EQ(hero.gold, 28);
    EXPECT_EQ(hero.inventory[0], LongSword);
    EXPECT_FLOAT_EQ(hero.load, 2.0f + 15.0f + 7.5f + 2.0f);
}

// A known cursed weapon is refused; the wielded sword of the gods sells and
// takes its +5 off all six attributes; masterwork costs 300 (299 is one
// short and leaves the screen); the sword, once known, can be reforged.
TEST_F(SmithsTest, WeaponSmithBuysUpgradesAndReforges) {
    hero.level = 3;
    hero.attributes = {19, 17, 17, 15, 15, 15};  // with the sword's +5
    hero.maxHp = hero.hp = 30;
    hero.weapon = ItemSlot{7, KindWeapon, 1, 5, OfTheGods | Identified};
    hero.inventory[0] = ItemSlot{6, KindWeapon, 0, -1, Identified};
    hero.inventory[2] = Diamond;  // not for the weapon smith
    visit(weaponSmithScreen, "s2\n 1\nt0\nw",
          {"{clear}Którą broń chcesz sprzedać (0-nic):\n1) E Długi miecz Bogów +5\n2) Topór -1\n2\n"
           "Nie chce kupować tej broni.\n\n(ok){clear}",
           // (15 + 300 + 8 × 8 × 2000) × 0.52 at CHA 15, in single precision.
           "Czy chcesz sprzedać Długi miecz Bogów +5 za 66723 sztuk złota? (t\n)\n{clear}"});
    EXPECT_EQ(hero.gold, 50 + 66723);
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{14, 12, 12, 10, 10, 10}));
    EXPECT_EQ(hero.hp, 24);  // KON modifier +3 → +1, three levels

    hero.weapon = LongSword;
    hero.inventory[0] = ItemSlot{7, KindWeapon, 1, -5, OfTheGods};  // the strange sword, as found
    hero.gold = 299;
    visit(weaponSmithScreen, "u2\n 1\nt w",
          {"2\nTa broń jest już mistrzowsko wykonana.\n\n(ok){clear}",
           "ulepszyć Długi miecz za 300 sztuk złota? (t/n)\nBrakuje ci 1 sztuk złota.\n\n(ok){clear}PŁATNERZ"});
    hero.gold = 300;
    visit(weaponSmithScreen, "u1\nt 0\nw",
          {"Twoja broń została ulepszona.\n\n(ok){clear}Którą broń chcesz ulepszyć (0-nic):\n1) E Długi miecz*\n"});
    EXPECT_EQ(hero.gold, 0);

    // Known and uncursed: "c" goes back from the list of weapons, the
    // sword's own kind (third) changes nothing, the great sword is made.
    hero.inventory[0] = ItemSlot{7, KindWeapon, 1, 5, OfTheGods | Identified};
    hero.gold = 10500;
    visit(weaponSmithScreen, "u2\ntc\n2\nt3\n2\nt12\n 0\nw",
          {"Jeśli chcesz mogę przekuć Długi miecz Bogów +5 na inny rodzaj broni za 10.000 sztuk złota. Chcesz tego? "
           "(t/n)\n{clear}Wybierz broń: \n1) Buzdygan\n2) Drąg\n3) Długi miecz\n",
           "Przekułem Długi miecz Bogów +5 w Wielki miecz Bogów +5!\n\n(ok){clear}"});
    EXPECT_EQ(hero.gold, 500);
    EXPECT_EQ(hero.inventory[0], (ItemSlot{11, KindWeapon, 1, 5, OfTheGods | Identified}));
    EXPECT_FLOAT_EQ(hero.load, 2.0f + 15.0f + 7.5f + 7.5f + 0.1f);
}

// A CHA of 5 without the sword's +5 kills the hero who sells it; the smith
// is left at once and the graveyard will name no cause.
TEST_F(SmithsTest, SellingTheSwordOfTheGodsCanKill) {
    hero.attributes = {19, 17, 17, 15, 15, 5};
    hero.lastHarm = 0;
    hero.weapon = ItemSlot{7, KindWeapon, 1, 5, OfTheGods | Identified};
    visit(weaponSmithScreen, "s1\nt ", {});
    EXPECT_TRUE(screen.transcript().ends_with("? (t\n)\n{12}Umierasz...\n{7}\n(ok)"));
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.lastHarm, HarmNothingYet);
    EXPECT_EQ(hero.weapon.ref, 0);
}

// The stock of a level-8 hero (no plain goods, a third cut small whoever
// asks); refusals by kind; masterwork for 150.
TEST_F(SmithsTest, ArmourSmithTradesArmourAndShields) {
    hero.level = 8;
    hero.gold = 400;
    visit(armourSmithScreen, "p4\ntw",
          {"{clear}Oto pancerze które mam aktualnie na sprzedaż: \n"
           "1) Mały Ćwierkowana skóra +3 (Kp:6 Max zr:6 Waga:10 kg)_13762 sz\n"
           "2) Zbroja kryta +2 (Kp:8 Max zr:2 Waga:17.5 kg)_6600 sz\n",
           "4\nNa pewno chcesz kupić Mały Zbroja łuskowa* za 300 sztuk złota? (t/n)\n{clear}"});
    EXPECT_EQ(hero.inventory[0], (ItemSlot{6, KindArmour, 1, 0, Identified | SmallSize}));

    hero.inventory[0] = ItemSlot{0, KindShield, 0, -1, Identified};
    hero.inventory[1] = ItemSlot{2, KindArmour, 0, -2, Identified};
    hero.inventory[2] = LongSword;  // not for the armour smith
    hero.gold = 0;
    visit(armourSmithScreen, "s3\n 4\n 2\nt0\nw",
          {"{clear}Co chcesz sprzedać (0-nic):\n1) E Zbroja łuskowa\n2) E Tarcza\n3) Puklerz -1\n4) Skórznia -2\n"
           "3\nNie chce kupować tej tarczy.\n\n(ok){clear}",
           "4\nNie chce kupować tej zbroi.\n\n(ok){clear}",
           "2\nCzy chcesz sprzedać Tarcza za 12 sztuk złota? (t\n)\n{clear}"});
    EXPECT_EQ(hero.gold, 12);
    EXPECT_EQ(hero.shield.kind, KindEmpty);

    hero.inventory[0].masterwork = 1;
    hero.gold = 160;
    visit(armourSmithScreen, "u2\n 1\nt 3\nt w",
          {"2\nTa tarcza jest już mistrzowsko wykonana.\n\n(ok){clear}",
           "za 150 sztuk złota? (t/n)\nTwój pancerz został ulepszony.\n\n(ok){clear}",
           "3\nCzy chcesz ulepszyć Skórznia -2 za 150 sztuk złota? (t/n)\nBrakuje ci 140 sztuk złota.\n\n(ok){clear}"
           "ZBROJMISTRZ"});
    EXPECT_EQ(hero.armour.masterwork, 1);
}

}  // namespace
}  // namespace kelvrin::test
