// The two classes: hit die, the features of level 1 and of each later
// level, description and starting equipment. `Hero::heroClass` is a row
// number here, and the row's `id` is what the save file stores.
#pragma once

#include <array>
#include <cstdint>

namespace kelvrin {

// Feature bits of `levelOneFeatures` and `levelFeatures`.
enum ClassFeature : std::uint32_t {
    FeatureFighterFeat = 0x1,      // one bonus feat from the fighter feats
    FeatureFastMovement = 0x2,     // +1 speed unless in heavy armour (level 1 only)
    FeatureRage = 0x4,             // one more rage a day
    FeatureTirelessRage = 0x8,     // no fatigue after rage (marks level 20)
    FeatureGreaterRage = 0x10,     // rage +6 instead of +4 (marks level 15)
    FeatureDamageReduction = 0x20, // +1 damage reduction
};

enum ClassRow : int {
    ClassBarbarian = 0,
    ClassFighter = 1,
};

constexpr int MaxFeatureLevel = 20;

struct ClassDef {
    std::int32_t id;
    const char* name;
    int hitDie;
    std::uint32_t levelOneFeatures;
    std::array<std::uint32_t, 19> levelFeatures;  // levels 2 to 20, one entry each
    const char* description;
    int startWeapon;       // weapon row
    int startWeaponSmall;  // weapon row for a small race
    int startArmour;       // armour row
    int startShield;       // shield row, -1 for none
};

inline constexpr std::array<ClassDef, 2> classTable{{
    {0, "Barbarzyńca", 12, FeatureFastMovement | FeatureRage,
     // level 2  3  4    5  6  7  8    9  10 11    12   13 14    15    16   17    18 19 20
     {0, 0, 0x4, 0, 0, 0, 0x4, 0, 0, 0x20, 0x4, 0, 0x20, 0x10, 0x4, 0x20, 0, 0, 0x4 | 0x8},
     "Barbarzyńca to dziki lekkomyślny wojownik, który nie zna strachu. Jego potęga nie polega na umiejętnościach lecz na możliwości wpadania w szał bojowy. Nie możesz skorzystać z swoich umiejętności jeśli masz na sobie ciężki pancerz.",
     6 /* Topór */, 6 /* Topór */, 3 /* Ćwierkowana skóra */, -1},
    {1, "Wojownik", 10, FeatureFighterFeat,
     // level 2  3  4    5  6    7  8    9  10   11 12   13 14   15 16   17 18   19 20
     {0x1, 0, 0x1, 0, 0x1, 0, 0x1, 0, 0x1, 0, 0x1, 0, 0x1, 0, 0x1, 0, 0x1, 0, 0x1},
     "Wojownik ma najlepsze preferencje bojowe. Nie zna się na czarach czy innych sztuczka lecz na taktyce i rzemiośle wojennym.",
     7 /* Długi miecz */, 5 /* Krótki miecz */, 6 /* Zbroja łuskowa */, 1 /* Tarcza */},
}};

// The features a class gains on reaching `level`: `levelOneFeatures` for
// level 1, the level's entry for 2 to 20, nothing for any other level or
// a row outside the table.
constexpr std::uint32_t classFeaturesAt(int heroClass, int level) {
    if (heroClass < 0 || heroClass >= static_cast<int>(classTable.size())) return 0;
    const ClassDef& row = classTable[static_cast<std::size_t>(heroClass)];
    if (level == 1) return row.levelOneFeatures;
    if (level < 2 || level > MaxFeatureLevel) return 0;
    return row.levelFeatures[static_cast<std::size_t>(level - 2)];
}

}  // namespace kelvrin
