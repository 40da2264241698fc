#include "support/game_test.h"

#include "character/rules_tables.h"
#include "data/races.h"
#include "items/inventory.h"
#include "support/test_hero.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot Fists{0, KindWeapon, 0, 0, Identified}, LongSword{7, KindWeapon, 0, 0, Identified};
constexpr ItemSlot GreatSword{11, KindWeapon, 0, 0, Identified}, Ruby{2, KindGem, 0, 0, Identified};

class InventoryTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();  // long sword, scale armour, shield
        hero.attributes[Con] = 14;
        hero.level = 3;
        hero.maxHp = hero.hp = 30;
    }
    // Runs the screen with the keys and 'x' to leave; expects every part in what it printed.
    void run(const std::string& keys, std::initializer_list<const char*> parts, const char* leave = "x") {
        screen.clearTranscript();
        screen.type(keys + leave);
        EXPECT_FALSE(runUntilInputEnds([] { inventoryScreen(); })) << keys;
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        for (const char* part : parts) EXPECT_NE(screen.transcript().find(part), std::string::npos) << part;
    }
    static auto gear() { return std::tuple(hero.weapon, hero.armour, hero.shield, hero.inventory); }
};

TEST_F(InventoryTest, CursedItemsStayArmourWaitsForTheEndOfAFightAndAFullBackpackTakesNothing) {
    hero.weapon = ItemSlot{7, KindWeapon, 0, -1, 0};  // not identified: the refusal reveals it
    hero.armour.bonus = -1;
    hero.shield.bonus = -2;
    hero.inventory[0] = ItemSlot{6, KindWeapon, 0, 0, Identified};
    hero.inventory[1] = ItemSlot{2, KindArmour, 0, 0, Identified};
    auto before = gear();
    world.inCombat = true;
    run("bkpktku1\ntku2\nk", {"Komendy (bptuwx?): Nie możesz puścić tej broni! Jest przeklęta!\n",
                              "Nie możesz zdejmować pancerza w czasie walki.\n",
                              "Nie możesz wypuścić tej tarczy z ręki! Jest przeklęta!\n",
                              "Długi miecz +?. Czy chcesz ją zdjąć? (t/n)\nNie możesz puścić tej broni!",
                              "Nie możesz zakładać pancerza w czasie walki.\n"});
    world.inCombat = false;
    run("pku2\ntk", {"Nie możesz zdjąć tego pancerz! Jest przeklęty!\n",
                     "Nie możesz zdjąć tego pancerza! Jest przeklęty!\n"});
    EXPECT_EQ(gear(), before);

    // No room for what is taken off: nothing is said and nothing moves.
    hero.weapon = LongSword;
    hero.armour.bonus = hero.shield.bonus = 0;
    hero.inventory.fill(Ruby);
    hero.inventory[0] = ItemSlot{1, KindWeapon, 0, 0, Identified};
    before = gear();
    run("bkpktku1\ntku2\nk", {"Wolne miejsce: 0\n", "Komendy (bptuwx?): {clear}",
                              "Czy chcesz ją zdjąć? (t/n)\n{clear}", "Nie wiesz jak użyć Rubin.\n"});
    EXPECT_EQ(gear(), before);
}

TEST_F(InventoryTest, TwoHandedWeaponsAndShields) {
    hero.inventory[0] = GreatSword;
    run("u1\nktku1\ntk", {"Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n",
                          "Schowałeś Tarcza do plecaka.\n",
                          "Czy chcesz ją zdjąć? (t/n)\nWyjmujesz Wielki miecz z plecaka.\n"});
    // The long sword went to the first free slot before the great sword left its own.
    EXPECT_EQ(std::tuple(hero.weapon, hero.shield.kind, hero.inventory[0].kind, hero.inventory[2]),
              std::tuple(GreatSword, KindEmpty, KindEmpty, LongSword));
    run("u1\nk", {"Używasz broni dwuręcznej, nie możesz nieść tarczy.\n"});

    // A Niziołek: a halberd is too big, a long sword needs both hands.
    hero.race = RaceHalfling;
    hero.weapon = Fists;
    hero.shield = ItemSlot{0, KindShield, 0, 0, Identified};
    hero.inventory = {ItemSlot{10, KindWeapon, 0, 0, Identified}, LongSword, ItemSlot{5, KindWeapon, 0, 0, 0}};
    run("u1\nku2\nku3\nk", {"Ta broń jest za duża, nie możesz jej używać.\n",
                            "Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n",
                            "Wyjmujesz Krótki miecz z plecaka.\n"});
    EXPECT_EQ(hero.weapon.ref, 5);
}

// A weapon of the gods moves all six attributes (and Pw, capacity) by its
// bonus: a blessed one gives back what it gave when it leaves the hand.
TEST_F(InventoryTest, WeaponOfTheGodsChangesAllAttributes) {
    hero.weapon = ItemSlot{7, KindWeapon, 0, 2, OfTheGods | Identified};
    applyGodBonus(2);  // KON 16: 33 Pw
    hero.inventory[0] = ItemSlot{7, KindWeapon, 1, -5, OfTheGods};
    run("u1\ntkbk", {"Masz już broń, Długi miecz Bogów +2. Czy chcesz ją zdjąć? (t/n)\n"
                     "Wyjmujesz Długi miecz +? z plecaka.\nCzujesz się słabszy.\n",
                     "Nie możesz puścić tej broni! Jest przeklęta!\n"});
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{9, 7, 9, 5, 5, 5}));
    EXPECT_EQ(hero.hp, 21);  // KON modifier +2 to -1 at level 3
    EXPECT_FLOAT_EQ(hero.capacity, 50.0f);
    EXPECT_EQ(hero.inventory[1], (ItemSlot{7, KindWeapon, 0, 2, OfTheGods | Identified}));
}

TEST_F(InventoryTest, HelpDrinkDropAndADeadlyDrink) {
    hero.inventory[3] = ItemSlot{0, KindPotion, 0, 0, Identified | StrengthKnown};
    hero.inventory[7] = Ruby;
    recomputeLoad();
    run("?ku1\nkw1\nnw1\nt",
        {"{clear}EKWIPUNEK Waga: 24.85/100 kg Wolne miejsce: 18\n1) Mikstura lecznicza +0 (Waga: 0.25 kg)\n"
         "2) Rubin (Waga: 0.1 kg)\n\nKomendy (bptuwx?): ",
         "{clear}Dostępne komendy:\nb - zdejmij broń\np - zdejmij pancerz\nt - zdejmij tarcze\nu - "
         "użyj/ekwipuj\nw - wyrzuc\nx - zamknij ekwipunek\n\n(ok){clear}",
         "Który przedmiot: 1\nWypijasz Mikstura lecznicza +0. Brak efektu...\n{clear}",
         "Który przedmiot: 1\nNa pewno chcesz wyrzucić Rubin? (t/n)\n{clear}",
         "? (t/n)\nWyrzucasz Rubin.\n{clear}EKWIPUNEK Waga: 24.5/100 kg Wolne miejsce: 20\n"});

    // A drink that kills leaves the screen at once, without the "x".
    hero.inventory[0] = ItemSlot{2, KindPotion, 0, -10, Identified};  // no d20 saves against 26
    run("u1\nk", {"Wypijasz Eliksir uzdrowienia +?. Robi ci się ciemno"}, "");
    EXPECT_EQ(hero.hp, 0);
    EXPECT_TRUE(hero.inventory[0].empty());
}

// Exactly the capacity still fits; a put-back skips the check and the new load.
TEST_F(InventoryTest, AddItemKeepsUnderTheCapacityAndHalvesSmallArmour) {
    hero.weapon = Fists;
    hero.armour = ItemSlot{0, KindArmour, 0, 0, Identified};
    hero.shield.kind = KindEmpty;
    recomputeLoad();
    hero.capacity = 1.0f;
    const ItemSlot dagger{1, KindWeapon, 0, 0, Identified};
    EXPECT_TRUE(addItem(dagger, true) && addItem(dagger, true));
    EXPECT_FALSE(addItem(dagger, true));
    EXPECT_TRUE(addItem(dagger, false));
    EXPECT_FLOAT_EQ(hero.load, 1.0f);
    for (int i = 3; i < BackpackSlots; ++i) EXPECT_TRUE(addItem(Ruby, false));
    EXPECT_FALSE(addItem(Ruby, false));

    hero.inventory = {};
    hero.race = RaceGnome;
    hero.armour = ItemSlot{6, KindArmour, 0, 0, Identified | SmallSize};
    hero.shield = ItemSlot{0, KindShield, 0, 0, Identified};
    hero.inventory[5] = ItemSlot{2, KindArmour, 0, 0, Identified | SmallSize};
    hero.inventory[6] = ItemSlot{1, KindArmour, 0, 0, Identified};
    recomputeLoad();
    EXPECT_FLOAT_EQ(hero.load, 7.5f + 2.5f + 3.75f + 5.0f);
}

}  // namespace
}  // namespace kelvrin::test
