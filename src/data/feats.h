// The feat table: the hero's special abilities ("atuty"), one bit each,
// with the two requirements a hero must meet to take them.
#pragma once

#include <array>
#include <cstdint>

namespace kelvrin {

// Feat bits, as stored in Hero::feats and in the save file. The row of a
// feat in featTable is bitIndex(bit).
enum FeatBit : std::uint32_t {
    FeatRun = 0x1,                    // "Bieg"
    FeatAlertness = 0x2,              // "Czujność"
    FeatFinesse = 0x4,                // "Finezja"
    FeatImprovedInitiative = 0x8,     // "Poprawiona inicjatywa"
    FeatImprovedCritical = 0x10,      // "Poprawione trafienia krytyczne" (per weapon)
    FeatPowerAttack = 0x20,           // "Potężny atak"
    FeatCleave = 0x40,                // "Rozszczepienie"
    FeatGreatCleave = 0x80,           // "Wielkie rozszczepienie"
    FeatToughness = 0x100,            // "Twardość" (counter)
    FeatDodge = 0x200,                // "Uniki"
    FeatBlindFight = 0x400,           // "Walka na ślepo"
    FeatExpertise = 0x800,            // "Wyspecjalizowanie"
    FeatWeaponFocus = 0x1000,         // "Zogniskowanie broni" (per weapon)
    FeatWeaponSpecialization = 0x2000,  // "Specjalizacja w broni" (per weapon)
    FeatExtraRage = 0x4000,           // "Dodatkowy szał" (counter)
    FeatExtendedRage = 0x8000,        // "Przedłużony szał" (counter)
    FeatPoisonResistance = 0x10000,   // "Odporność na trucizny"
};

enum FeatType : int { FeatGeneral = 0, FeatFighter = 1 };

// What a requirement tests; the value's meaning follows from the kind.
enum RequirementKind : int {
    RequireNothing = 0,
    RequireBaseAttack = 1,    // baseAttack >= value
    RequireFeat = 2,          // the feat bit `value` is in Hero::feats
    RequireStrength = 3,      // SIŁ >= value
    RequireIntelligence = 4,  // INT >= value
    RequireDexterity = 5,     // ZRĘ >= value
    RequireConstitution = 6,  // KON >= value
    RequireClass = 7,         // the class row's id == value
    RequireRage = 8,          // ragesPerDay != 0
};

struct FeatDef {
    std::uint32_t bit;
    const char* name;
    int type;  // FeatType
    int req1Kind;
    int req1Value;
    int req2Kind;
    int req2Value;
    const char* description;
};

constexpr int FeatCount = 17;

extern const std::array<FeatDef, FeatCount> featTable;
// "Ogólny", "Wojownika", by FeatType.
extern const std::array<const char*, 2> featTypeNames;

}  // namespace kelvrin
