// The hero's own screens where keys alone cannot lead: names no keyboard types, the sheet as the hero changes, the
// inventory in a fight, and what fits in the backpack. The rest is played in the recorded games creation_* and
// sheet_*.
#include "support/scenario.h"

#include "character/character_sheet.h"
#include "character/creation.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot Fists{0, KindWeapon, 0, 0, Identified};
constexpr ItemSlot Dagger{1, KindWeapon, 0, 0, Identified};
constexpr ItemSlot Ruby{2, KindGem, 0, 0, Identified};
constexpr ItemSlot NoArmour{0, KindArmour, 0, 0, Identified};

class HeroScreensTest : public ScenarioTest {
protected:
    std::string sheet() { return visit([] { showCharacterSheet(); return false; }, ""); }
};

// A typed line loses its control characters and broken bytes before the name is checked, so only here do they
// reach the check.
TEST_F(HeroScreensTest, NamesWithControlCharactersOrBrokenBytesAreRefused) {
    for (const char* refused : {"a\x01", "tab\tname", "del\x7f", "bad\xff", "a\u0085"})
        EXPECT_FALSE(isAllowedName(refused)) << refused;
}

// Pw below a quarter red, below a half yellow; experience past the next level green; an attack per 5 base from 6.
TEST_F(HeroScreensTest, TheSheetColoursPwAndExperienceAndCountsTheAttacks) {
    std::tie(hero.maxHp, hero.weapon, hero.attributes[Str]) = std::tuple(30, Fists, 10);
    for (const auto& [hp, xp, shown] : {std::tuple{7, 0, "Pw: {12}7{7}/30\n"}, {14, 0, "Pw: {14}14{7}/30\n"},
                                        {15, 0, "Pw: 15/30\n"}, {30, 1000, "Doświadczenie: 1000/1000\n"},
                                        {30, 1001, "Doświadczenie: {10}1001{7}/1000\n"}}) {
        std::tie(hero.hp, hero.xp) = std::pair(hp, xp);
        EXPECT_TRUE(has(sheet(), shown)) << shown;
    }
    for (const auto& [baseAttack, shown] : {std::pair{5, "Atak: +5 Bazowy: +5\n"}, {6, "Atak: +6/+1 Bazowy: +6\n"},
                                            {11, "Atak: +11/+6/+1 Bazowy: +11\n"},
                                            {16, "Atak: +16/+11/+6/+1 Bazowy: +16\n"}}) {
        std::tie(hero.baseAttack, hero.attackPool) = std::pair(baseAttack, baseAttack);
        EXPECT_TRUE(has(sheet(), shown)) << shown;
    }
}

// Armour is neither taken off nor put on during a fight; nothing moves.
TEST_F(HeroScreensTest, ArmourWaitsForTheEndOfAFight) {
    hero.inventory[0] = ItemSlot{2, KindArmour, 0, 0, Identified};
    const auto before = std::tuple(hero.armour, hero.inventory);
    world.inCombat = true;
    visit([] { inventoryScreen(); return false; }, "pku1\nkx",
          {"Nie możesz zdejmować pancerza w czasie walki.\n", "Nie możesz zakładać pancerza w czasie walki.\n"});
    EXPECT_EQ(std::tuple(hero.armour, hero.inventory), before);
}

// Exactly the capacity still fits; a put-back skips the weight check; the backpack holds 20.
TEST_F(HeroScreensTest, WhatFitsInTheBackpack) {
    std::tie(hero.weapon, hero.armour, hero.shield.kind) = std::tuple(Fists, NoArmour, KindEmpty);
    recomputeLoad();
    hero.capacity = 1.0f;
    EXPECT_TRUE(addItem(Dagger, true));
    EXPECT_TRUE(addItem(Dagger, true));
    EXPECT_FALSE(addItem(Dagger, true));
    EXPECT_TRUE(addItem(Dagger, false));
    EXPECT_FLOAT_EQ(hero.load, 1.0f);
    for (int slot = 3; slot < BackpackSlots; ++slot) EXPECT_TRUE(addItem(Ruby, false)) << slot;
    EXPECT_FALSE(addItem(Ruby, false));
}

// The weapon list without fists, as the weapon smith asks it: Rapier is 8th.
TEST_F(HeroScreensTest, TheWeaponListCanLeaveOutTheFists) {
    int chosen = -1;
    play([&] { chosen = chooseWeapon(false, true); }, "8\n");
    EXPECT_EQ(chosen, 9);
    EXPECT_FALSE(said("Pięści"));
}

}  // namespace
}  // namespace kelvrin::test
