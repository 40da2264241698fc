// One item the hero can own: a catalogue row plus four words that make
// this copy different from others of its row. Copied by value everywhere
// (equipment, backpack, shop offers, loot, the save file).
#pragma once

#include <cstdint>

namespace kelvrin {

enum ItemKind : std::int32_t {
    KindEmpty = 0,
    KindWeapon = 1,
    KindArmour = 2,
    KindShield = 3,
    KindPotion = 4,
    KindGem = 5,
};

// Bits of ItemSlot::flags; the low three mean different things by kind.
enum ItemFlag : std::uint32_t {
    Accurate = 0x01,       // weapon: "Celny"
    Resistance = 0x01,     // armour: " Odporności"
    Keen = 0x02,           // weapon: "Ostry"
    Blinking = 0x02,       // armour: "Migotający"
    OfTheGods = 0x04,      // weapon: " Bogów"
    SmallSize = 0x04,      // armour: "Mały "
    Identified = 0x08,
    StrengthKnown = 0x10,  // potions: the strength is known too
};

struct ItemSlot {
    std::int32_t ref = 0;  // row number in the catalogue that `kind` names
    std::int32_t kind = KindEmpty;
    std::int32_t masterwork = 0;
    std::int32_t bonus = 0;
    std::uint32_t flags = 0;

    bool empty() const { return kind == KindEmpty; }
    friend bool operator==(const ItemSlot&, const ItemSlot&) = default;
};

}  // namespace kelvrin
