// The small interface between the game's console conventions and whatever
// shows the screen: a real terminal, a plain stream (pipes, files) or the
// scripted console used by the tests. Game code never sees a backend; it
// talks to core/console.h, which talks to exactly one of these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvrin {

// Key codes returned by readKey. A printable key is its Unicode code point
// (a Polish letter is one key); the arrows get codes outside Unicode so
// that no letter or digit can ever be mistaken for them.
enum Key : int {
    KeyEnd = -1,          // end of input: not a key, the program ends
    KeyNone = -2,         // readKeyWithin: no key came in time
    KeyEnter = '\n',
    KeyEscape = 27,
    KeyBackspace = 127,
    KeyUp = 0x110001,
    KeyDown = 0x110002,
    KeyRight = 0x110003,
    KeyLeft = 0x110004,
};

// One screen cell of a block drawn with putCells: a character (a Unicode
// code point) and its console attribute (foreground in the low 4 bits,
// background in the next 4, as the console colours of the game).
struct Cell {
    char32_t ch = U' ';
    std::uint8_t attr = 7;
};

// What the game waits for, told to the backend just before each wait so
// that a page can offer those keys on the screen (phones have no keys).
// It changes nothing in how keys are read: unlisted keys are read and
// ignored as ever.
struct InputOffer {
    enum Kind : std::uint8_t {
        Keys,    // one key: those of `keys`, and the arrows when `arrows`
        AnyKey,  // a pause: any key goes on
        Line,    // a typed line; `keys`: the commands it may start with
        Number,  // a typed number
        Name,    // the hero's name
    };
    Kind kind = AnyKey;
    std::string_view keys;  // UTF-8
    bool arrows = false;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Text in UTF-8; '\n' moves to the start of the next line.
    virtual void write(std::string_view utf8) = 0;
    // Console attribute (7 normal grey, 8, 10, 12, 14, 0x87 ...).
    virtual void setColour(int attr) = 0;
    // Clears the whole screen with the normal colour, cursor at the top left.
    virtual void clear() = 0;
    // Draws a block of cells (width × rows, row by row) with its top left
    // corner at (row, col) without moving the cursor or changing the colour.
    virtual void putCells(int row, int col, int width, const std::vector<Cell>& cells) = 0;
    // Moves the cursor to (row, col), counted from 0.
    virtual void moveCursor(int row, int col) = 0;
    // Rows [top, bottom] scroll; the rows outside stay fixed. (0, rows-1)
    // restores the whole screen.
    virtual void setScrollRegion(int top, int bottom) = 0;
    // Sends everything written so far to the screen.
    virtual void flush() = 0;
    // Text for a screen reader alone, in the screen-reader mode (the
    // dungeon told in words, the fight's status): a console that gives the
    // game as plain text says it as lines of their own; the drawn screen
    // never shows it.
    virtual void readerText(std::string_view utf8) { (void)utf8; }
    // The wait that comes next (see InputOffer); nothing for most consoles.
    virtual void offerInput(const InputOffer& offer) { (void)offer; }
    // One key press, or KeyEnd when the input is closed.
    virtual int readKey() = 0;
    // One typed line (without its end), at most maxChars characters kept;
    // nullopt when the input is closed before a line ends.
    virtual std::optional<std::string> readLine(std::size_t maxChars) = 0;
    // A key if one comes within the time given, else KeyNone; KeyEnd when
    // the input is closed. A replay watches the player's keys with it.
    // Consoles that cannot wait for a key give KeyNone at once.
    virtual int readKeyWithin(int milliseconds) {
        (void)milliseconds;
        return KeyNone;
    }
    // Whether a player sits at it (a terminal, a console window, the page),
    // as opposed to plain streams.
    virtual bool interactive() const { return false; }
    // Whether a typed line appears on the screen followed by a line break.
    virtual bool echoesLines() const = 0;
    // Whether the console should pause ("-- dalej --") before output
    // scrolls unread text off the top of the screen.
    virtual bool pagesOutput() const = 0;
    virtual int rows() const = 0;
    virtual int columns() const = 0;
    // True once after the window was found smaller than the game's 80×25
    // screen (at start, or by a change of size); the console then shows a
    // notice before the next screen. Clears the notice.
    virtual bool takeSmallWindowNotice() { return false; }
    // Gives the console back as it was found (modes, colours, cursor, code
    // page) on a way out that skips the destructor: a fault, Ctrl-C, a
    // closed console window. The crash handler calls it, possibly on a
    // thread of its own while the game's thread still runs, possibly more
    // than once, so it must not wait for the game's thread. Nothing for a
    // backend that changes nothing, or whose terminal the system's own
    // handling gives back (the POSIX terminal's signal handlers).
    virtual void restoreAfterCrash() {}
};

}  // namespace kelvrin
