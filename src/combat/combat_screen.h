// What the player sees of a fight apart from its messages: the status bar
// on the top row, the target list and the help; and the character sheet
// with its key-hint box, which the location loops open.
#pragma once

#include <string>
#include <vector>

#include "combat/combatant.h"
#include "core/console.h"

namespace kelvrin {

// Width of the status bar and of the hint box's lines, in characters.
constexpr int StatusBarWidth = 80;
constexpr int HintBoxWidth = 22;
constexpr int HintBoxColumn = 58;

// The status bar's text for the hero and the round now: the commands show
// "p", "w", "s" and "d" only when the hero can use them. At most 80
// characters: a text too long loses its five closing blanks, then the end
// of the hero's name, and only then its own end.
std::string statusBarText();
// Writes the status bar over the whole top row (blanks after the text)
// without moving the cursor; in the screen-reader mode, a bar other than
// the one the reader last heard is told.
void drawStatusBar();

// For a fight's length, the screen reader's status key says the bar, and
// the fight's first bar is told whatever the last fight's said.
class StatusBarForReader {
public:
    StatusBarForReader();

private:
    ReaderTellerScope scope_;
};

// Clears the screen during a fight: the top row stays the status bar's
// and the cursor starts on the row below it.
void clearFightScreen();

// The target list: the opponents, numbered from 1, until the player types
// 0 (cancel: NoCombatant) or a listed number (that opponent's index).
int chooseTarget(const FightState& fight, const std::vector<int>& opponents);

// The list of the fight's commands; waits for a key.
void showHelp();

// The character sheet with the box of its keys: "p" and "w" open the feat
// settings (then the sheet again), "e" the inventory. Returns the key the
// player pressed, for the caller to take as its next command ('e' after
// the inventory).
int characterSheetWithHints();

}  // namespace kelvrin
