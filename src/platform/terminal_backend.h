// The game in a real terminal: raw mode for single keys (Ctrl-C still
// stops the game), the alternate screen so the shell's screen comes back
// unchanged, SGR colours, and output gathered in memory and written with
// one write(2) per flush, so a screen never flickers.
#pragma once

#include <termios.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/backend.h"
#include "platform/charset.h"
#include "platform/key_decoder.h"
#include "platform/virtual_screen.h"

namespace kelvrin {

// How colours reach the terminal.
enum class ColourSupport {
    None,    // NO_COLOR: no colour sequences at all
    Full,    // bright foregrounds and backgrounds (90-97, 100-107)
    Basic,   // the Linux console: no bright background
};

// The SGR sequence for a console attribute (7: a reset).
std::string colourSequence(int attr, ColourSupport support);

class TerminalBackend : public Backend {
public:
    // Takes over the terminal on inFd (keys, termios) and outFd (output).
    // Throws std::runtime_error when inFd is no terminal.
    TerminalBackend(int inFd = 0, int outFd = 1);
    ~TerminalBackend() override;
    TerminalBackend(const TerminalBackend&) = delete;
    TerminalBackend& operator=(const TerminalBackend&) = delete;

    // Gives the terminal back as it was: settings, main screen, attributes,
    // cursor. Called by the destructor; calling it again does nothing.
    void restore();

    void write(std::string_view utf8) override;
    void setColour(int attr) override;
    void clear() override;
    void putCells(int row, int col, int width, const std::vector<Cell>& cells) override;
    void moveCursor(int row, int col) override;
    void setScrollRegion(int top, int bottom) override;
    void flush() override;
    int readKey() override;
    std::optional<std::string> readLine(std::size_t maxChars) override;
    bool echoesLines() const override { return true; }
    bool pagesOutput() const override { return true; }
    // The window's size.
    int rows() const override { return screen_.rows(); }
    int columns() const override { return screen_.columns(); }
    bool takeSmallWindowNotice() override;

private:
    // Reads bytes until the decoder has a key; KeyEnd when the input or the
    // output is gone.
    int nextKey();
    // Waits for input as poll(2) does: > 0 ready, 0 nothing within
    // timeoutMs (-1: no limit), < 0 interrupted by a signal.
    int waitForInput(int timeoutMs);
    void handleSignals();
    // Takes the window's size now; true when it changed.
    bool followWindowSize();
    // Applies one change to the screen the window shows and to the whole
    // screen kept while the window is too small.
    template <typename Change>
    void onScreens(Change&& change) {
        change(screen_);
        if (whole_) change(*whole_);
    }
    void redraw();
    void applyColour();
    void emitColour(int attr);
    void appendText(std::string_view utf8);
    void appendChar(char32_t ch);
    void eraseLastChar();

    int inFd_;
    int outFd_;
    termios saved_{};
    bool active_ = false;
    ColourSupport colours_ = ColourSupport::Full;
    std::optional<ByteCharset> charset_;
    KeyDecoder decoder_;
    VirtualScreen screen_;  // what the window shows, at its size
    // While the window is smaller than 80×25: the game's whole screen, at
    // least 80×25, written as the game writes it, so that it comes back in
    // full when the window is large enough again.
    std::optional<VirtualScreen> whole_;
    bool smallWindowNotice_ = false;
    std::string out_;
    int emittedAttr_ = 7;  // the colour the terminal is set to
    bool inputEnded_ = false;
    bool outputDead_ = false;
};

}  // namespace kelvrin
