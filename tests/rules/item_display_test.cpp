#include <gtest/gtest.h>

#include <string>

#include "data/races.h"
#include "items/item_display.h"
#include "support/game_test.h"

namespace kelvrin {
namespace {

class ItemDisplayTest : public test::GameTest {};

// Every kind in every display mode, as the scripted console records it.
TEST_F(ItemDisplayTest, PrintsEveryKindInEveryMode) {
    hero.race = RaceHuman;
    hero.attributes[Str] = 16;  // +3, with both hands +4
    hero.shield = ItemSlot{1, KindEmpty, 0, 0, 0};
    hero.improvedCritMask = 1u << 11;

    const ItemSlot greatSword{11, KindWeapon, 0, 0, Identified};
    const ItemSlot keenRapier{9, KindWeapon, 1, 2, Identified | Accurate | Keen};
    const ItemSlot godsSword{7, KindWeapon, 1, -5, OfTheGods};
    const ItemSlot cursedDagger{1, KindWeapon, 0, -3, Identified};
    const ItemSlot halberd{10, KindWeapon, 1, 0, Identified};
    const ItemSlot fists{0, KindWeapon, 0, 0, Identified};
    const ItemSlot smallArmour{2, KindArmour, 0, 1, Identified | SmallSize | Blinking | Resistance};
    const ItemSlot unknownMail{7, KindArmour, 1, -2, SmallSize | Blinking};
    const ItemSlot noArmour{0, KindArmour, 0, 0, Identified};
    const ItemSlot shield{1, KindShield, 1, 0, Identified};
    const ItemSlot buckler{0, KindShield, 0, 1, 0};
    const ItemSlot healing{0, KindPotion, 0, 0, Identified | StrengthKnown};
    const ItemSlot antidote{1, KindPotion, 0, 2, Identified};
    const ItemSlot unknownPotion{5, KindPotion, 0, -1, 0};
    const ItemSlot emerald{0, KindGem, 0, 0, Identified};
    const ItemSlot stone{5, KindGem, 0, 0, Identified};

    struct Case {
        const ItemSlot& item;
        int mode;
        const char* text;
    };
    const Case cases[] = {
        {greatSword, 0, "Wielki miecz"},
        {greatSword, 1, "Wielki miecz (Obr:2-12 cięte Kry:19-20/x2 Waga: 7.5 kg, duży)\n"},
        {greatSword, 2, "Wielki miecz (Obr:6-16 cięte Kry:17-20/x2 Waga: 7.5 kg, duży)\n"},
        {greatSword, 3, "Wielki miecz (Obr:6-16 cięte Kry:19-20/x2 Waga: 7.5 kg, duży)"},
        {greatSword, 4, "Wielki miecz (Obr:6-16 cięte Kry:19-20/x2 Waga: 7.5 kg, duży)\n"},
        {keenRapier, -1, "Celny Ostry Rapier +2"},
        {keenRapier, 1, "Celny Ostry Rapier +2 (Obr:3-8 kłute Kry:15-20/x2 Waga: 1.5 kg, średni)\n"},
        {keenRapier, 3, "Celny Ostry Rapier +2 (Obr:7-12 kłute Kry:15-20/x2 Waga: 1.5 kg, średni)"},
        {godsSword, 0, "Długi miecz +?"},
        {godsSword, 2, "Długi miecz +? (Obr:5-12 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"},
        {cursedDagger, 1, "Sztylet -3 (Obr:1 kłute Kry:20/x2 Waga: 0.5 kg, malutki)\n"},
        {halberd, 1, "Halabarda* (Obr:1-10 cięte/kłute Kry:20/x3 Waga: 7.5 kg, duży)\n"},
        {fists, 1, "Pięści (Obr:1-4 miażdżone Kry:20/x2 Waga: 0 kg, brak)\n"},
        {smallArmour, 0, "Mały Migotający Skórznia Odporności +1"},
        {smallArmour, 1, "Mały Migotający Skórznia Odporności +1 (Kp:3 Max zr:6 Waga:7.5 kg)\n"},
        {unknownMail, 2, "Mały Kolczuga +? (Kp:3 Max zr:3 Waga:20 kg)\n"},
        {unknownMail, 3, "Mały Kolczuga +? (Kp:3 Max zr:3 Waga:20 kg)"},
        {noArmour, 0, "(brak)"},
        {noArmour, 3, "(brak)\n"},
        {shield, 1, "Tarcza* (Kp:2 Waga:7.5 kg)\n"},
        {shield, 3, "Tarcza* (Kp:2 Waga:7.5 kg)"},
        {buckler, 0, "Puklerz +?"},
        {buckler, 2, "Puklerz +? (Kp:2 Waga:2.5 kg)\n"},
        {healing, 0, "Mikstura lecznicza +0"},
        {healing, 3, "Mikstura lecznicza +0 (Waga: 0.25 kg)\n"},
        {healing, 4, "Mikstura lecznicza +0 (Waga: 0.25 kg)"},
        {antidote, 1, "Antidotum +? (Waga: 0.25 kg)\n"},
        {unknownPotion, 0, "Nieznany eliksir"},
        {unknownPotion, 4, "Nieznany eliksir (Waga: 0.5 kg)"},
        {emerald, 0, "Szmaragd"},
        {emerald, 1, "Szmaragd (Waga: 0.1 kg)\n"},
        {emerald, 3, "Szmaragd (Waga: 0.1 kg)"},
        {stone, 4, "Kamień (Waga: 100 kg)\n"},
        {ItemSlot{}, 1, ""},
    };
    screen.setPaging(false);
    for (const Case& c : cases) {
        screen.clearTranscript();
        printItem(c.item, c.mode);
        EXPECT_EQ(screen.transcript(), c.text) << "mode " << c.mode;
    }
}

TEST_F(ItemDisplayTest, DamageTypeWordsJoinedBySlashes) {
    const struct {
        std::uint32_t bits;
        const char* text;
    } cases[] = {{1, "cięte"}, {2, "kłute"}, {4, "miażdżone"}, {3, "cięte/kłute"}, {7, "cięte/kłute/miażdżone"},
                 {6, "kłute/miażdżone"}, {0, ""}};
    for (const auto& c : cases) {
        screen.clearTranscript();
        printDamageTypes(c.bits);
        EXPECT_EQ(screen.transcript(), c.text);
    }
}

}  // namespace
}  // namespace kelvrin
