#include "support/game_test.h"

#include "character/rules_tables.h"
#include "data/races.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot LongSword{7, KindWeapon, 0, 0, Identified};
constexpr ItemSlot GreatSword{11, KindWeapon, 0, 0, Identified};
constexpr ItemSlot Ruby{2, KindGem, 0, 0, Identified};

class InventoryTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        hero.race = RaceHuman;
        hero.attributes = {14, 12, 14, 10, 10, 10};
        hero.level = 3;
        hero.maxHp = hero.hp = 30;
        hero.weapon = LongSword;
        hero.armour = ItemSlot{6, KindArmour, 0, 0, Identified};
        hero.shield = ItemSlot{1, KindShield, 0, 0, Identified};
        refresh();
    }
    void refresh() {
        hero.capacity = computeCapacity();
        recomputeLoad();
    }
    // Runs the screen with the keys and 'x' to leave; returns what it printed.
    std::string run(const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys + "x");
        EXPECT_FALSE(runUntilInputEnds([] { inventoryScreen(); })) << keys;
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        return screen.transcript();
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

TEST_F(InventoryTest, CursedItemsStayAndArmourWaitsForTheEndOfAFight) {
    hero.weapon = ItemSlot{7, KindWeapon, 0, -1, 0};  // not identified: the refusal reveals it
    hero.armour.bonus = -1;
    hero.shield.bonus = -2;
    hero.inventory[0] = ItemSlot{6, KindWeapon, 0, 0, Identified};
    hero.inventory[1] = ItemSlot{2, KindArmour, 0, 0, Identified};
    world.inCombat = true;
    std::string out = run("bkpktku1\ntku2\nk");
    EXPECT_TRUE(has(out, "Komendy (bptuwx?): Nie możesz puścić tej broni! Jest przeklęta!\n"));
    EXPECT_TRUE(has(out, "Nie możesz zdejmować pancerza w czasie walki.\n"));
    EXPECT_TRUE(has(out, "Nie możesz wypuścić tej tarczy z ręki! Jest przeklęta!\n"));
    EXPECT_TRUE(has(out, "Masz już broń, Długi miecz +?. Czy chcesz ją zdjąć? (t/n)\nNie możesz puścić tej broni!"));
    EXPECT_TRUE(has(out, "Nie możesz zakładać pancerza w czasie walki.\n"));
    world.inCombat = false;
    out = run("pku2\ntk");
    EXPECT_TRUE(has(out, "Nie możesz zdjąć tego pancerz! Jest przeklęty!\n"));
    EXPECT_TRUE(has(out, "Nie możesz zdjąć tego pancerza! Jest przeklęty!\n"));
    EXPECT_EQ(hero.weapon.bonus, -1);
    EXPECT_EQ(hero.armour.ref, 6);
    EXPECT_EQ(hero.shield.kind, KindShield);
    EXPECT_EQ(hero.inventory[0].kind, KindWeapon);
    EXPECT_EQ(hero.inventory[1].kind, KindArmour);
}

TEST_F(InventoryTest, TwoHandedWeaponsAndShields) {
    hero.inventory[0] = GreatSword;
    std::string out = run("u1\nktku1\ntk");
    EXPECT_TRUE(has(out, "Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n"));
    EXPECT_TRUE(has(out, "Schowałeś Tarcza do plecaka.\n"));
    EXPECT_TRUE(has(out, "Masz już broń, Długi miecz. Czy chcesz ją zdjąć? (t/n)\nWyjmujesz Wielki miecz z plecaka.\n"));
    EXPECT_EQ(hero.weapon, GreatSword);
    EXPECT_TRUE(hero.shield.empty());
    // The long sword went to the first free slot before the great sword left its own.
    EXPECT_TRUE(hero.inventory[0].empty());
    EXPECT_EQ(hero.inventory[2], LongSword);
    out = run("u1\nk");
    EXPECT_TRUE(has(out, "1) Tarcza (Kp:2 Waga:7.5 kg)\n2) Długi miecz (Obr:1-8"));
    EXPECT_TRUE(has(out, "Używasz broni dwuręcznej, nie możesz nieść tarczy.\n"));

    // A Niziołek: a halberd is too big, a long sword needs both hands.
    hero.race = RaceHalfling;
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    hero.shield = ItemSlot{0, KindShield, 0, 0, Identified};
    hero.inventory = {};
    hero.inventory[0] = ItemSlot{10, KindWeapon, 0, 0, Identified};
    hero.inventory[1] = LongSword;
    hero.inventory[2] = ItemSlot{5, KindWeapon, 0, 0, Identified};
    out = run("u1\nku2\nku3\nk");
    EXPECT_TRUE(has(out, "Ta broń jest za duża, nie możesz jej używać.\n"));
    EXPECT_TRUE(has(out, "Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n"));
    EXPECT_TRUE(has(out, "Wyjmujesz Krótki miecz z plecaka.\n"));
    EXPECT_EQ(hero.weapon.ref, 5);
}

TEST_F(InventoryTest, FullBackpackRefusesSilently) {
    hero.inventory.fill(Ruby);
    hero.inventory[0] = ItemSlot{1, KindWeapon, 0, 0, Identified};
    const Hero before = hero;
    const std::string out = run("bkpktku1\ntku2\nk");
    EXPECT_TRUE(has(out, "Wolne miejsce: 0\n1) Sztylet (Obr:1-4 kłute Kry:20/x2 Waga: 0.5 kg, malutki)\n2) Rubin"));
    EXPECT_TRUE(has(out, "Komendy (bptuwx?): {clear}"));  // b, p and t print nothing
    EXPECT_TRUE(has(out, "Czy chcesz ją zdjąć? (t/n)\n{clear}"));
    EXPECT_TRUE(has(out, "Nie wiesz jak użyć Rubin.\n"));
    EXPECT_EQ(hero.weapon, before.weapon);
    EXPECT_EQ(hero.armour, before.armour);
    EXPECT_EQ(hero.shield, before.shield);
    EXPECT_EQ(hero.inventory, before.inventory);
}

TEST_F(InventoryTest, WeaponOfTheGodsChangesAllAttributes) {
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    hero.inventory[0] = ItemSlot{7, KindWeapon, 1, -5, OfTheGods};
    std::string out = run("u1\nkbk");
    EXPECT_TRUE(has(out, "Wyjmujesz Długi miecz +? z plecaka.\nCzujesz się słabszy.\n"));
    EXPECT_TRUE(has(out, "Nie możesz puścić tej broni! Jest przeklęta!\n"));
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{9, 7, 9, 5, 5, 5}));
    EXPECT_EQ(hero.maxHp, 21);  // KON modifier +2 to -1 at level 3
    EXPECT_EQ(hero.hp, 21);
    EXPECT_FLOAT_EQ(hero.capacity, 50.0f);

    // A blessed one gives back exactly what it took when put away.
    hero.attributes = {14, 12, 14, 10, 10, 10};
    hero.maxHp = hero.hp = 30;
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    hero.inventory[0] = ItemSlot{7, KindWeapon, 0, 2, OfTheGods | Identified};
    out = run("u1\nk");
    EXPECT_TRUE(has(out, "Wyjmujesz Długi miecz Bogów +2 z plecaka.\nCzujesz się silniejszy.\n"));
    EXPECT_EQ(hero.attributes[Con], 16);
    EXPECT_EQ(hero.maxHp, 33);
    EXPECT_FLOAT_EQ(hero.capacity, 130.0f);
    out = run("bk");
    EXPECT_TRUE(has(out, "Schowałeś Długi miecz Bogów +2 do plecaka.\n"));
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{14, 12, 14, 10, 10, 10}));
    EXPECT_EQ(hero.maxHp, 30);
    EXPECT_EQ(hero.hp, 30);
    EXPECT_EQ(hero.weapon, (ItemSlot{0, KindWeapon, 0, 0, Identified}));
}

TEST_F(InventoryTest, DrinkDropAndHelp) {
    hero.inventory[3] = ItemSlot{0, KindPotion, 0, 0, Identified | StrengthKnown};
    hero.inventory[7] = Ruby;
    refresh();
    EXPECT_FLOAT_EQ(hero.load, 2.0f + 15.0f + 7.5f + 0.25f + 0.1f);
    const std::string out = run("?ku1\nkw1\nnw1\nt");
    EXPECT_TRUE(has(out, "{clear}EKWIPUNEK Waga: 24.85/100 kg Wolne miejsce: 18\n1) Mikstura lecznicza +0 (Waga: "
                         "0.25 kg)\n2) Rubin (Waga: 0.1 kg)\n\nKomendy (bptuwx?): "));
    EXPECT_TRUE(has(out, "{clear}Dostępne komendy:\nb - zdejmij broń\np - zdejmij pancerz\nt - zdejmij tarcze\nu - "
                         "użyj/ekwipuj\nw - wyrzuc\nx - zamknij ekwipunek\n\n(ok){clear}"));
    EXPECT_TRUE(has(out, "Który przedmiot: 1\nWypijasz Mikstura lecznicza +0. Brak efektu...\n{clear}"));
    EXPECT_TRUE(has(out, "Który przedmiot: 1\nNa pewno chcesz wyrzucić Rubin? (t/n)\n{clear}"));
    EXPECT_TRUE(has(out, "? (t/n)\nWyrzucasz Rubin.\n{clear}EKWIPUNEK Waga: 24.5/100 kg Wolne miejsce: 20\n"));
    EXPECT_FLOAT_EQ(hero.load, 24.5f);
    for (const ItemSlot& slot : hero.inventory) EXPECT_TRUE(slot.empty());
}

TEST_F(InventoryTest, AddItemKeepsUnderTheCapacityAndHalvesSmallArmour) {
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    hero.armour = ItemSlot{0, KindArmour, 0, 0, Identified};
    hero.shield.kind = KindEmpty;
    recomputeLoad();
    hero.capacity = 1.0f;
    const ItemSlot dagger{1, KindWeapon, 0, 0, Identified};
    EXPECT_TRUE(addItem(dagger, true));
    EXPECT_TRUE(addItem(dagger, true));  // exactly the capacity
    EXPECT_FLOAT_EQ(hero.load, 1.0f);
    EXPECT_FALSE(addItem(dagger, true));
    EXPECT_TRUE(hero.inventory[2].empty());
    EXPECT_TRUE(addItem(dagger, false));  // put back without the check
    EXPECT_FLOAT_EQ(hero.load, 1.0f);     // ... and without a new load
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
