// The part of a terminal backend that every system shares: the screen is
// driven with the escape sequences of a VT100/xterm terminal (cursor moves,
// SGR colours, the scroll region), output is gathered in memory and sent in
// one piece per flush, so a screen never flickers, and a model of the
// screen is kept to redraw it after a change of the window's size. Typed
// lines go through the game's own line editor. What differs between
// systems (how the bytes reach the screen, where keys come from) is left to
// the class deriving from this one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/backend.h"
#include "platform/charset.h"
#include "platform/plain_text.h"
#include "platform/virtual_screen.h"

namespace kelvrin {

// The screen every screen of the game is laid out for.
constexpr int ScreenRows = 25;
constexpr int ScreenColumns = 80;

// How colours reach the terminal.
enum class ColourSupport {
    None,    // NO_COLOR: no colour sequences; cells on a background in reverse video
    Full,    // bright foregrounds and backgrounds (90-97, 100-107)
    Basic,   // the Linux console: no bright background
};

// Whether a console attribute has a background (the fight's status bar, the
// key hints): without colours such cells are drawn in reverse video.
inline bool hasBackground(int attr) { return (attr & 0xF0) != 0; }

// What a terminal's line discipline (ONLCR) does to output: each '\n'
// becomes "\r\n". The drawing writes bare '\n'; a terminal that has no
// line discipline of its own (the web page's) needs it done at its edge.
std::string withCarriageReturns(std::string_view bytes);

// The SGR sequence for a console attribute (7: a reset; without colours,
// reverse video for an attribute with a background, else nothing).
std::string colourSequence(int attr, ColourSupport support);

// Full colours unless NO_COLOR is set to something (None) or TERM names the
// Linux console (Basic).
ColourSupport colourSupportFromEnvironment();

class VtBackend : public Backend {
public:
    void write(std::string_view utf8) override;
    void setColour(int attr) override;
    void clear() override;
    void putCells(int row, int col, int width, const std::vector<Cell>& cells) override;
    void moveCursor(int row, int col) override;
    void setScrollRegion(int top, int bottom) override;
    void readerText(std::string_view utf8) override;
    void flush() override;
    int readKey() override;
    std::optional<std::string> readLine(std::size_t maxChars) override;
    bool echoesLines() const override { return true; }
    // Plain lines are read as they come: nothing waits before a scroll.
    bool pagesOutput() const override { return !plain_; }
    // The window's size.
    int rows() const override { return screen_.rows(); }
    int columns() const override { return screen_.columns(); }
    bool takeSmallWindowNotice() override;

protected:
    VtBackend() = default;

    // Sends bytes to the screen; false when the output is gone for good
    // (nothing more is sent then).
    virtual bool send(std::string_view bytes) = 0;
    // The next key, waiting for it; KeyEnd when the input is gone.
    virtual int nextKey() = 0;

    // For a screen reader: the game's plain text (as a pipe gets it, in the
    // terminal's character set, the reader's own lines with it) instead of
    // the drawn screen; no escape sequence is ever sent, and the window's
    // size does not matter. Set before the screen begins.
    void setPlainOutput() { plain_ = true; }
    bool plainOutput() const { return plain_; }
    // The screen drawn as ever, and that same plain text kept beside it,
    // for the class deriving from this one to take (the page's screen
    // reader gets it at each key wait).
    void keepPlainCopy() { plainCopy_ = true; }
    std::string takePlainCopy() { return plainText_.take(); }

    void setColourSupport(ColourSupport colours) { colours_ = colours; }
    ColourSupport colourSupport() const { return colours_; }
    // Output in a single-byte character set instead of UTF-8 (nullopt:
    // UTF-8).
    void setCharset(std::optional<ByteCharset> charset) { charset_ = std::move(charset); }
    const std::optional<ByteCharset>& charset() const { return charset_; }

    // Starts the game's screen: `enter` (the system's own opening bytes),
    // then the normal colour and a cleared screen, sent at once.
    void beginScreen(std::string_view enter);
    // Takes the window's size (at start or after a change); true when it
    // changed. A window below 80×25 gets the notice and the whole screen is
    // kept apart until it is large enough again.
    bool followWindowSize(int rows, int columns);
    // Draws the whole screen again from the model and sends it.
    void redraw();
    // What the window shows, as the escape sequences sent so far left it.
    const VirtualScreen& screen() const { return screen_; }
    bool outputDead() const { return outputDead_; }

private:
    // Applies one change to the screen the window shows and to the whole
    // screen kept while the window is too small.
    template <typename Change>
    void onScreens(Change&& change) {
        change(screen_);
        if (whole_) change(*whole_);
    }
    void applyColour();
    void emitColour(int attr);
    void appendText(std::string_view utf8);
    void appendChar(char32_t ch);
    void eraseLastChar();

    ColourSupport colours_ = ColourSupport::Full;
    std::optional<ByteCharset> charset_;
    VirtualScreen screen_;  // what the window shows, at its size
    // While the window is smaller than 80×25: the game's whole screen, at
    // least 80×25, written as the game writes it, so that it comes back in
    // full when the window is large enough again.
    std::optional<VirtualScreen> whole_;
    bool smallWindowNotice_ = false;
    std::string out_;
    int emittedAttr_ = 7;  // the colour the terminal is set to
    bool outputDead_ = false;
    bool plain_ = false;
    bool plainCopy_ = false;
    PlainText plainText_;
};

}  // namespace kelvrin
