// What the graveyard says killed a hero when it was not a monster: the
// negative codes of Hero::lastHarm.
#pragma once

#include <array>

#include "core/game_state.h"
#include "items/potions.h"

namespace kelvrin {

struct HarmText {
    int code;
    const char* text;
};

inline constexpr std::array<HarmText, 6> harmTexts{{
    {HarmPoison, "Trucizna"},
    {HarmSpoiledFullHeal, "Miksura uzdrowienia"},
    {HarmHealthElixir, "Mikstura zdrowia"},
    {HarmBurningHealing, "Mikstura lecznicza"},
    {HarmSpoiledAntidote, "Antidotum"},
    {HarmNothingYet, "nieznana siła"},
}};

// Shown for a race, class, killer or place the game does not know (a
// graveyard written by another version, or a damaged record).
inline constexpr const char* UnknownWord = "?";

}  // namespace kelvrin
