// The seven races: name, modifiers added to the rolled attributes (in
// attribute order), description and trait bits. `Hero::race` is a row
// number here, and the row's `id` is what the save file stores.
#pragma once

#include <array>
#include <cstdint>

#include "core/game_state.h"

namespace kelvrin {

enum RaceTrait : std::uint32_t {
    TraitSmall = 0x1,             // +1 attack and KP, slower, carries less, small gear
    TraitLowLightVision = 0x2,
    TraitDarkvision = 0x4,
    TraitExtraFeat = 0x8,         // one more general feat at creation
    TraitSlow = 0x10,             // base speed 4; heavy armour slows no further
    TraitPoisonResistance = 0x20, // +2 to resistance to poison
};

enum RaceRow : int {
    RaceHuman = 0,
    RaceElf = 1,
    RaceDwarf = 2,
    RaceHalfling = 3,
    RaceGnome = 4,
    RaceHalfElf = 5,
    RaceHalfOrc = 6,
};

struct RaceDef {
    std::int32_t id;
    const char* name;
    std::array<int, AttributeCount> modifiers;  // SIŁ, ZRĘ, KON, INT, MĄD, CHA
    const char* description;
    std::uint32_t traits;
};

// id, name, {SIŁ, ZRĘ, KON, INT, MĄD, CHA}, description, traits
inline constexpr std::array<RaceDef, 7> raceTable{{
    {0, "Człowiek", {0, 0, 0, 0, 0, 0}, "Ludzie są najbardziej powszechną rasą w krainach. Szybko się uczą, otrzymują dodatkowy atut na pierwszym poziomie.", TraitExtraFeat},
    {1, "Elf", {0, +2, -2, 0, 0, 0}, "Elfy są niczym drzewa pośród ludzi. Są zręczniejsi niż ludzie, ale mniej wytzymali.", TraitLowLightVision},
    {2, "Krasnolud", {0, 0, +2, 0, 0, -2}, "Krasnoludy są dziećmi gór. Są wytrzymalsi niż ludzie ale niezbyt cierpliwi. Mają odporność na trucizny.", TraitDarkvision | TraitSlow | TraitPoisonResistance},
    {3, "Niziołek", {-2, +2, 0, 0, 0, 0}, "Niziołki są niczym niscy ludzie. Mają wysoką zręczność ale nie mają wysokiej siły.", TraitSmall},
    {4, "Gnom", {-2, 0, +2, 0, 0, 0}, "Gnomy są małego wzrostu ale są wyjątkowo wytrzymałe. Z powodu wzrostu nie są zbyt silne.", TraitSmall | TraitLowLightVision},
    {5, "Półelf", {0, 0, 0, 0, 0, 0}, "Półelfy często nie potrafią połączyć natury ludzi i elfów, wędrują samotnie szukając swojego miejsca.", TraitLowLightVision},
    {6, "Półork", {+2, 0, 0, -2, 0, -2}, "Półorkowie zazwyczaj są dzikim ludem żyjącym w górach wraz z plemieniem orków. Są wyjątkowo silni.", TraitDarkvision},
}};

// How each trait is shown: the line of the race screen and the word of the
// character sheet. Rows are in the order both screens list them.
struct RaceTraitText {
    std::uint32_t bit;
    const char* screenLine;
    const char* sheetWord;
};

inline constexpr std::array<RaceTraitText, 6> raceTraitTexts{{
    {TraitSmall, "* mały (+1 atak, +1 kp, zmniejszona szybkość)\n", "mały, "},
    {TraitLowLightVision, "* widzenie w słabym świetle\n", "widzenie w słabym świetle, "},
    {TraitDarkvision, "* widzenie w ciemnościach\n", "widzenie w ciemnościach, "},
    {TraitPoisonResistance, "* odporność na trucizny\n", "odporność na trucizny, "},
    {TraitExtraFeat, "* dodatkowy atut\n", "szybkie uczenie, "},
    {TraitSlow, "* powolny\n", "powolny, "},
}};

// True when the race row has the trait; false for a row outside the table.
constexpr bool raceHasTrait(int race, RaceTrait trait) {
    if (race < 0 || race >= static_cast<int>(raceTable.size())) return false;
    return (raceTable[static_cast<std::size_t>(race)].traits & trait) != 0;
}

}  // namespace kelvrin
