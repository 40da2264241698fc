// The console conventions every screen of the game follows: clear, print
// Polish text with a few coloured numbers, wait for one key (or read a
// number or a line), act, redraw. Game code uses only these functions; the
// backend behind them (terminal, stream or scripted) is chosen at start-up.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend.h"

namespace kelvrin {

// Thrown by the readers when the input is closed (a closed pipe or
// terminal, or the end of a test script). The program unwinds to its
// entry point and ends cleanly; it is never a game event.
struct EndOfInput {};

// Colours of the game (console attributes).
enum Colour : int {
    ColourNormal = 7,
    ColourGrey = 8,
    ColourGreen = 10,
    ColourRed = 12,
    ColourYellow = 14,
    ColourHint = 0x87,  // light grey on dark grey
};

// Installs the backend every console operation uses (not owned).
void setBackend(Backend* backend);
Backend& backend();

// Formatted output, printf-style, in UTF-8.
[[gnu::format(printf, 1, 2)]] void print(const char* format, ...);
void printText(std::string_view text);
// Prints in one colour and switches back to normal grey afterwards.
[[gnu::format(printf, 2, 3)]] void printColoured(int colour, const char* format, ...);
// Builds a text, printf-style (file names such as "save_%s").
[[gnu::format(printf, 1, 2)]] std::string formatText(const char* format, ...);

void clearScreen();
void setColour(int colour);

// One key press, whatever key it is. `keys` (UTF-8) are the keys the
// screen acts on, and `arrows` whether the arrows move: a page offers them
// on the screen (none: any key goes on); any other key is returned all the
// same.
int getKey(std::string_view keys, bool arrows = false);
// Waits for 't' or 'n'; true for 't'. Every other key (capitals too) is ignored.
bool askYesNo();
// Waits until one of the keys in `keys` (UTF-8) is pressed and returns it.
int askKey(std::string_view keys);
// Waits for any key after a message ending in "(ok)".
void pauseOk();

// Reads a typed number ("%d" followed by discarding the rest of the line).
// Leading blank lines are skipped, as scanf skips white space. When the line
// does not start with a number, or the number is beyond the int range, the
// value is left unchanged and false is returned.
bool readNumber(int& value);
// Reads one typed line, cut to maxChars characters. `commands`: the keys
// the line may start with, offered as getKey offers them; a line of the
// kind InputOffer::Name is the hero's name.
std::string readLine(std::size_t maxChars = 200, std::string_view commands = {},
                     InputOffer::Kind kind = InputOffer::Line);

// Draws a block of cells at a fixed screen position without moving the
// cursor (dungeon panels, the fight's status bar, key-hint boxes).
void putCells(int row, int col, int width, const std::vector<Cell>& cells);
void moveCursor(int row, int col);
// Keeps rows above `top` fixed while the rest scrolls (fights); 0 restores.
void setScrollTop(int top);

// The screen-reader mode, chosen at start (--screen-reader, the page's
// switch, or a replayed recording made in it). Every screen stays as it is;
// the console's plain text goes to the reader, with what tellReader adds.
void setScreenReader(bool on);
bool screenReader();
// In the screen-reader mode, a text for the reader alone (a line of its
// own; never on the drawn screen). Nothing in the other modes.
void tellReader(std::string_view text);

// The screen reader's own keys, which the game uses nowhere else: at any
// key wait in the screen-reader mode they say something and the wait goes
// on. Both lie on the home row, where a blind player's fingers rest.
constexpr char32_t ReaderStatusKey = U'j';  // the hero's state (in a fight, its status bar)
constexpr char32_t ReaderLookKey = U'h';    // the surroundings, in the dungeon
// What one of those keys says now; empty: nothing to say there.
using ReaderTeller = std::function<std::string()>;
// Gives a reader's key what it says while the scope lasts (the fight's
// status bar, the dungeon's surroundings); the one before comes back at its
// end. Nothing in the other modes.
class ReaderTellerScope {
public:
    ReaderTellerScope(char32_t key, ReaderTeller teller);
    ~ReaderTellerScope();
    ReaderTellerScope(const ReaderTellerScope&) = delete;
    ReaderTellerScope& operator=(const ReaderTellerScope&) = delete;

private:
    char32_t key_;
    ReaderTeller previous_;
};

// Where the console believes the cursor is (for tests and the pager).
int cursorRow();
int cursorColumn();

}  // namespace kelvrin
