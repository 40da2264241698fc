// The five item catalogues: weapons, armour, shields, potions and gems.
// Every row starts with its `id`, equal to its position; an `ItemSlot`
// refers to a row by that number and the save file stores it, so the order
// of the rows is part of the file format. Nothing writes to these tables.
#pragma once

#include <array>
#include <cstdint>

namespace kelvrin {

// Bits of `WeaponDef::damageTypes`.
enum DamageType : std::uint32_t {
    DamageSlashing = 1,     // "cięte"
    DamagePiercing = 2,     // "kłute"
    DamageBludgeoning = 4,  // "miażdżone"
};

// `WeaponDef::size` of the fists, which have no size.
constexpr int NoSize = -100;

struct WeaponDef {
    std::int32_t id;
    const char* name;
    std::int32_t minDamage;
    std::int32_t maxDamage;
    std::int32_t critMultiplier;  // shown after "/x"
    std::int32_t critFrom;        // lowest natural d20 that threatens (20: only 20)
    std::int32_t price;
    std::int32_t size;            // -2 tiny, -1 small, 0 medium, 1 large, NoSize
    float weight;                 // kg
    std::uint32_t damageTypes;    // DamageType bits
};

enum ArmourType : std::int32_t {
    ArmourTypeNone = 0,
    ArmourTypeLight = 1,
    ArmourTypeMedium = 2,
    ArmourTypeHeavy = 3,  // slows the hero and forbids rage
};

struct ArmorDef {
    std::int32_t id;
    const char* name;
    std::int32_t kp;
    std::int32_t maxDex;  // highest ZRĘ modifier that still counts; -1 no limit
    std::int32_t price;
    std::int32_t armourType;
    float weight;  // kg
};

struct ShieldDef {
    std::int32_t id;
    const char* name;
    std::int32_t kp;
    std::int32_t price;
    float weight;  // kg
};

// What drinking a potion does; one effect per potion row.
enum class PotionEffect { Healing, Antidote, FullHealing, Poison, PermanentHp, Water };

struct PotionDef {
    std::int32_t id;
    const char* name;
    std::int32_t value;          // base value
    std::int32_t kindOnlyValue;  // what a merchant counts when only the kind is known
    float weight;                // kg
    PotionEffect effect;
};

struct GemDef {
    std::int32_t id;
    const char* name;
    std::int32_t value;
    float weight;  // kg
};

// Rows the rest of the game names.
constexpr int FistsRow = 0;         // the weapon slot of an unarmed hero
constexpr int NoArmourRow = 0;      // the armour slot of a hero without armour
constexpr int LongSwordRow = 7;     // "Długi miecz"
constexpr int HealingPotionRow = 0;
constexpr int WaterRow = 5;         // what an elixir can turn into
constexpr int CrystalRow = 4;       // the reward of the dungeon's event fights

namespace detail {
// Builds a weapon row from the catalogue's columns, which give the critical
// range before the multiplier.
constexpr WeaponDef weapon(std::int32_t id, const char* name, std::int32_t minDamage, std::int32_t maxDamage,
                           std::int32_t critFrom, std::int32_t critMultiplier, std::int32_t price, std::int32_t size,
                           float weight, std::uint32_t damageTypes) {
    return WeaponDef{id, name, minDamage, maxDamage, critMultiplier, critFrom, price, size, weight, damageTypes};
}
}  // namespace detail

inline constexpr std::array<WeaponDef, 14> weaponTable{{
    //             id  name            min max critFrom ×crit price size    weight  damageTypes
    detail::weapon(0,  "Pięści",       1,  4,  20,      2,    0,    NoSize, 0.0f,   DamageBludgeoning),
    detail::weapon(1,  "Sztylet",      1,  4,  20,      2,    2,    -2,     0.5f,   DamagePiercing),
    detail::weapon(2,  "Maczuga",      1,  6,  20,      2,    1,    0,      1.5f,   DamageBludgeoning),
    detail::weapon(3,  "Buzdygan",     1,  8,  20,      2,    12,   0,      6.0f,   DamageBludgeoning),
    detail::weapon(4,  "Drąg",         1,  8,  20,      2,    1,    1,      2.0f,   DamageBludgeoning),
    detail::weapon(5,  "Krótki miecz", 1,  6,  19,      2,    10,   -1,     1.5f,   DamageSlashing),
    detail::weapon(6,  "Topór",        1,  8,  20,      3,    6,    0,      3.5f,   DamageSlashing),
    detail::weapon(7,  "Długi miecz",  1,  8,  19,      2,    15,   0,      2.0f,   DamageSlashing),
    detail::weapon(8,  "Korbacz",      1,  8,  20,      3,    8,    0,      2.5f,   DamageBludgeoning),
    detail::weapon(9,  "Rapier",       1,  6,  18,      2,    20,   0,      1.5f,   DamagePiercing),
    detail::weapon(10, "Halabarda",    1,  10, 20,      3,    10,   1,      7.5f,   DamageSlashing | DamagePiercing),
    detail::weapon(11, "Wielki miecz", 2,  12, 19,      2,    50,   1,      7.5f,   DamageSlashing),
    detail::weapon(12, "Wielki topór", 1,  12, 20,      3,    20,   1,      10.0f,  DamageSlashing),
    detail::weapon(13, "Tasak",        2,  8,  18,      2,    75,   1,      8.0f,   DamageSlashing),
}};

inline constexpr std::array<ArmorDef, 12> armourTable{{
    // id  name                   kp maxDex price armourType        weight
    {0,  "(brak)",                0, -1,    0,    ArmourTypeNone,   0.0f},
    {1,  "Przeszywnica",          1, 8,     5,    ArmourTypeLight,  5.0f},
    {2,  "Skórznia",              2, 6,     10,   ArmourTypeLight,  7.5f},
    {3,  "Ćwierkowana skóra",     3, 5,     25,   ArmourTypeLight,  10.0f},
    {4,  "Koszulka kolcza",       4, 4,     100,  ArmourTypeLight,  12.5f},
    {5,  "Zbroja skórzana",       3, 4,     15,   ArmourTypeMedium, 12.5f},
    {6,  "Zbroja łuskowa",        4, 3,     50,   ArmourTypeMedium, 15.0f},
    {7,  "Kolczuga",              5, 2,     150,  ArmourTypeMedium, 20.0f},
    {8,  "Napierśnik",            5, 3,     200,  ArmourTypeMedium, 15.0f},
    {9,  "Zbroja kryta",          6, 1,     250,  ArmourTypeHeavy,  17.5f},
    {10, "Zbroja półpłytowa",     7, 0,     600,  ArmourTypeHeavy,  25.0f},
    {11, "Zbroja płytowa",        8, 1,     1500, ArmourTypeHeavy,  25.0f},
}};

inline constexpr std::array<ShieldDef, 2> shieldTable{{
    // id name       kp price weight
    {0, "Puklerz",   1, 10,   2.5f},
    {1, "Tarcza",    2, 25,   7.5f},
}};

inline constexpr std::array<PotionDef, 6> potionTable{{
    // id name                   value kindOnlyValue weight effect
    {0, "Mikstura lecznicza",    50,   60,           0.25f, PotionEffect::Healing},
    {1, "Antidotum",             75,   75,           0.25f, PotionEffect::Antidote},
    {2, "Eliksir uzdrowienia",   500,  250,          0.25f, PotionEffect::FullHealing},
    {3, "Trucizna",              0,    0,            0.25f, PotionEffect::Poison},
    {4, "Eliksir zdrowia",       2000, 1000,         0.25f, PotionEffect::PermanentHp},
    {5, "Woda",                  0,    0,            0.5f,  PotionEffect::Water},
}};

inline constexpr std::array<GemDef, 6> gemTable{{
    // id name        value weight
    {0, "Szmaragd",   250,  0.1f},
    {1, "Szafir",     300,  0.1f},
    {2, "Rubin",      500,  0.1f},
    {3, "Diament",    1000, 0.1f},
    {4, "Kryształ",   0,    0.1f},
    {5, "Kamień",     0,    100.0f},
}};

}  // namespace kelvrin
