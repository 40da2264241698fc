#include <gtest/gtest.h>

#include <string>

#include "data/races.h"
#include "items/item_display.h"
#include "support/game_test.h"

namespace kelvrin {
namespace {

class ItemDisplayTest : public test::GameTest {};

// Modes: 0 name, 1 backpack (catalogue damage), 2 sheet (the hero's damage,
// improved critical), 3 shop stock (no newline), 4 potion list.
TEST_F(ItemDisplayTest, PrintsEveryKindAndTheDamageTypes) {
    hero.race = RaceHuman;
    hero.attributes[Str] = 16;  // +3, with both hands +4
    hero.shield = ItemSlot{1, KindEmpty, 0, 0, 0};
    hero.improvedCritMask = 1u << 11;
    const ItemSlot greatSword{11, KindWeapon, 0, 0, Identified};
    const struct { ItemSlot item; int mode; const char* text; } cases[] = {
        {greatSword, 1, "Wielki miecz (Obr:2-12 cięte Kry:19-20/x2 Waga: 7.5 kg, duży)\n"},
        {greatSword, 2, "Wielki miecz (Obr:6-16 cięte Kry:17-20/x2 Waga: 7.5 kg, duży)\n"},
        {greatSword, 3, "Wielki miecz (Obr:6-16 cięte Kry:19-20/x2 Waga: 7.5 kg, duży)"},
        {{9, KindWeapon, 1, 2, Identified | Accurate | Keen}, 1,
         "Celny Ostry Rapier +2 (Obr:3-8 kłute Kry:15-20/x2 Waga: 1.5 kg, średni)\n"},
        {{7, KindWeapon, 1, -5, OfTheGods}, 2, "Długi miecz +? (Obr:5-12 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"},
        {{1, KindWeapon, 0, -3, Identified}, 1, "Sztylet -3 (Obr:1 kłute Kry:20/x2 Waga: 0.5 kg, malutki)\n"},
        {{10, KindWeapon, 1, 0, Identified}, 1, "Halabarda* (Obr:1-10 cięte/kłute Kry:20/x3 Waga: 7.5 kg, duży)\n"},
        {{2, KindArmour, 0, 1, Identified | SmallSize | Blinking | Resistance}, 1,
         "Mały Migotający Skórznia Odporności +1 (Kp:3 Max zr:6 Waga:7.5 kg)\n"},
        {{7, KindArmour, 1, -2, SmallSize | Blinking}, 2, "Mały Kolczuga +? (Kp:3 Max zr:3 Waga:20 kg)\n"},
        {{0, KindArmour, 0, 0, Identified}, 3, "(brak)\n"},
        {{1, KindShield, 1, 0, Identified}, 1, "Tarcza* (Kp:2 Waga:7.5 kg)\n"},
        {{0, KindShield, 0, 1, 0}, 2, "Puklerz +? (Kp:2 Waga:2.5 kg)\n"},
        {{0, KindPotion, 0, 0, Identified | StrengthKnown}, 4, "Mikstura lecznicza +0 (Waga: 0.25 kg)"},
        {{1, KindPotion, 0, 2, Identified}, 1, "Antidotum +? (Waga: 0.25 kg)\n"},
        {{5, KindPotion, 0, -1, 0}, 4, "Nieznany eliksir (Waga: 0.5 kg)"},
        {{0, KindGem, 0, 0, Identified}, 3, "Szmaragd (Waga: 0.1 kg)"},
        {{5, KindGem, 0, 0, Identified}, 4, "Kamień (Waga: 100 kg)\n"},
        {ItemSlot{}, 1, ""},
    };
    screen.setPaging(false);
    for (const auto& c : cases) {
        screen.clearTranscript();
        printItem(c.item, c.mode);
        EXPECT_EQ(screen.transcript(), c.text) << "mode " << c.mode;
    }
    for (const auto& [bits, text] : {std::pair{7u, "cięte/kłute/miażdżone"}, {6u, "kłute/miażdżone"}, {0u, ""}}) {
        screen.clearTranscript();
        printDamageTypes(bits);
        EXPECT_EQ(screen.transcript(), text);
    }
}

}  // namespace
}  // namespace kelvrin
