// The feat screens: the feat choice of creation and level-ups, the weapon
// list of the per-weapon feats, and the two settings that move base attack
// into damage (Potężny atak) or into KP (Wyspecjalizowanie).
#pragma once

#include <string_view>

#include "data/feats.h"

namespace kelvrin {

// Whether the feat choice also lists the feats the hero cannot take now
// (in dark grey). "p" on the choice screen flips it; it lasts for the whole
// run and is never saved.
extern bool showAllFeats;

// The feat choice: FeatGeneral offers every feat, FeatFighter only the
// fighter feats. Returns once one feat was taken; it cannot be left
// without taking one.
void chooseFeat(int kind);

// The weapon list of the per-weapon feats. With smallSizeFilter a small
// hero is not offered large weapons; skipFists leaves out row 0.
// Returns the chosen weapon row, or -1 when the player went back.
int chooseWeapon(bool smallSizeFilter, bool skipFists);

// The settings screens. Both draw on Hero::attackPool, so that
// attackPool + powerAttack + expertise stays equal to baseAttack.
void powerAttackSettings();
void expertiseSettings();

// A typed choice line as the class, feat and weapon lists read it: its
// first byte (none for an empty line) and, separately, the number it starts
// with (white space skipped, an optional sign, digits; a number beyond the
// int range counts as none).
struct ChoiceLine {
    bool hasFirst = false;
    char first = 0;
    bool hasNumber = false;
    int number = 0;
};
ChoiceLine parseChoiceLine(std::string_view line);
// Reads one line from the player and parses it; `keys` are the digits and
// commands the screen lists (offered on a page's key bar).
ChoiceLine readChoiceLine(std::string_view keys);

}  // namespace kelvrin
