#include "platform/vt_backend.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/utf8.h"

namespace kelvrin {

namespace {

// Windows colour bits (1 blue, 2 green, 4 red) as an ANSI colour number.
int ansiColour(int windowsColour) {
    return ((windowsColour & 1) ? 4 : 0) | (windowsColour & 2) | ((windowsColour & 4) ? 1 : 0);
}

std::string cursorTo(int row, int col) {
    return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(col + 1) + "H";
}

bool blank(const Cell& cell) { return cell.ch == U' ' && cell.attr == 7; }

}  // namespace

std::string colourSequence(int attr, ColourSupport support) {
    // Without colours, cells on a background (the fight's status bar, the
    // key hints) are drawn in reverse video, which is no colour.
    if (support == ColourSupport::None) return hasBackground(attr) ? "\x1b[7m" : "";
    if (attr == 7) return "\x1b[0m";
    // Grey on dark grey (the key hints) where there is no bright background:
    // grey on black in reverse video.
    if (support == ColourSupport::Basic && attr == 0x87) return "\x1b[0;7;37;40m";
    const int fg = attr & 0xF;
    const int bg = (attr >> 4) & 0xF;
    std::string seq = "\x1b[0;";
    if ((fg & 8) && support == ColourSupport::Basic) {
        seq += "1;" + std::to_string(30 + ansiColour(fg));  // bold is bright there
    } else {
        seq += std::to_string(((fg & 8) ? 90 : 30) + ansiColour(fg));
    }
    // Black is the terminal's own background, as it is the console's.
    if (bg != 0) {
        const bool bright = (bg & 8) && support == ColourSupport::Full;
        seq += ";" + std::to_string((bright ? 100 : 40) + ansiColour(bg));
    }
    return seq + "m";
}

ColourSupport colourSupportFromEnvironment() {
    const char* noColour = std::getenv("NO_COLOR");
    if (noColour && *noColour) return ColourSupport::None;
    const char* term = std::getenv("TERM");
    if (term && std::strncmp(term, "linux", 5) == 0) return ColourSupport::Basic;
    return ColourSupport::Full;
}

std::string withCarriageReturns(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (const char byte : bytes) {
        if (byte == '\n') out += '\r';
        out += byte;
    }
    return out;
}

void VtBackend::beginScreen(std::string_view enter) {
    if (plain_) return;
    out_ += enter;
    emitColour(7);
    out_ += "\x1b[H\x1b[2J";
    flush();
}

void VtBackend::emitColour(int attr) {
    if (colours_ != ColourSupport::None) {
        out_ += colourSequence(attr, colours_);
    } else if (hasBackground(attr) != hasBackground(emittedAttr_)) {
        out_ += hasBackground(attr) ? "\x1b[7m" : "\x1b[27m";  // only reverse video, on or off
    }
    emittedAttr_ = attr;
}

void VtBackend::applyColour() {
    if (screen_.colour() != emittedAttr_) emitColour(screen_.colour());
}

void VtBackend::appendChar(char32_t ch) {
    if (ch < 0x20 || ch == 0x7F) ch = U' ';  // a control character in a cell would move the cursor
    if (charset_) {
        charset_->encode(ch, out_);
    } else {
        appendUtf8(out_, ch);
    }
}

void VtBackend::appendText(std::string_view utf8) {
    if (charset_) {
        charset_->encode(utf8, out_);
    } else {
        out_ += utf8;
    }
}

void VtBackend::write(std::string_view utf8) {
    if (utf8.empty()) return;
    if (plain_ || plainCopy_) plainText_.write(utf8);
    if (plain_) return;
    applyColour();
    appendText(utf8);
    onScreens([&](VirtualScreen& screen) { screen.write(utf8); });
}

void VtBackend::setColour(int attr) {
    if (plain_) return;
    onScreens([&](VirtualScreen& screen) { screen.setColour(attr); });
}

void VtBackend::clear() {
    if (plain_ || plainCopy_) plainText_.newScreen();
    if (plain_) return;
    // The reset first, or the background of the colour in force would fill
    // the cleared screen.
    emitColour(7);
    out_ += "\x1b[H\x1b[2J";
    onScreens([](VirtualScreen& screen) { screen.clear(); });
}

void VtBackend::putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    // Plain text leaves out the map panels and the status bar: the screen
    // reader's own lines tell them.
    if (width <= 0 || cells.empty() || plain_) return;
    const int restoreAttr = emittedAttr_;
    out_ += "\x1b" "7";
    const int height = static_cast<int>((cells.size() + static_cast<std::size_t>(width) - 1) / static_cast<std::size_t>(width));
    for (int r = 0; r < height; ++r) {
        const int screenRow = row + r;
        if (screenRow < 0 || screenRow >= screen_.rows()) continue;
        bool placed = false;
        for (int c = 0; c < width; ++c) {
            const std::size_t index = static_cast<std::size_t>(r * width + c);
            const int screenCol = col + c;
            if (index >= cells.size()) break;
            if (screenCol < 0 || screenCol >= screen_.columns()) {
                placed = false;
                continue;
            }
            if (!placed) {
                out_ += cursorTo(screenRow, screenCol);
                placed = true;
            }
            if (cells[index].attr != emittedAttr_) emitColour(cells[index].attr);
            appendChar(cells[index].ch);
        }
    }
    if (emittedAttr_ != restoreAttr) emitColour(restoreAttr);
    out_ += "\x1b" "8";
    onScreens([&](VirtualScreen& screen) { screen.putCells(row, col, width, cells); });
}

void VtBackend::moveCursor(int row, int col) {
    if (plain_) return;
    onScreens([&](VirtualScreen& screen) { screen.moveCursor(row, col); });
    out_ += cursorTo(screen_.cursorRow(), screen_.cursorColumn());
}

void VtBackend::setScrollRegion(int top, int bottom) {
    if (plain_) return;
    // A region down to the window's last row goes down to the whole
    // screen's last row there.
    if (whole_) whole_->setScrollRegion(top, bottom == screen_.rows() - 1 ? whole_->rows() - 1 : bottom);
    screen_.setScrollRegion(top, bottom);
    // Setting the region homes the cursor: keep it where it was.
    out_ += "\x1b" "7\x1b[" + std::to_string(screen_.scrollTop() + 1) + ";" +
            std::to_string(screen_.scrollBottom() + 1) + "r\x1b" "8";
}

void VtBackend::readerText(std::string_view utf8) {
    if (plain_ || plainCopy_) plainText_.line(utf8);
}

void VtBackend::flush() {
    if (plain_) appendText(plainText_.take());
    // A hangup, a closed pipe, a console gone: the player is gone.
    if (!outputDead_ && !out_.empty() && !send(out_)) outputDead_ = true;
    out_.clear();
}

bool VtBackend::takeSmallWindowNotice() {
    if (plain_) return false;
    return std::exchange(smallWindowNotice_, false);
}

bool VtBackend::followWindowSize(int rows, int cols) {
    if (plain_) return false;
    if (rows == screen_.rows() && cols == screen_.columns()) return false;
    if (rows < ScreenRows || cols < ScreenColumns) {
        // Too small: the window shows what fits, the whole screen is kept
        // apart, and the player is told before the next screen.
        if (!whole_) whole_ = screen_;
        const int wholeRows = std::max(rows, ScreenRows);
        const int wholeCols = std::max(cols, ScreenColumns);
        if (wholeRows != whole_->rows() || wholeCols != whole_->columns()) whole_->resize(wholeRows, wholeCols);
        smallWindowNotice_ = true;
    } else if (whole_) {
        // Large enough again: the whole screen is what the window shows.
        screen_ = std::move(*whole_);
        whole_.reset();
        if (rows == screen_.rows() && cols == screen_.columns()) return true;
    }
    screen_.resize(rows, cols);
    return true;
}

void VtBackend::redraw() {
    if (plain_) return;
    out_.clear();  // the model already holds whatever was not sent yet
    emitColour(7);
    out_ += "\x1b[r\x1b[H\x1b[2J";
    const int rows = screen_.rows();
    const int cols = screen_.columns();
    for (int r = 0; r < rows; ++r) {
        int end = cols;
        while (end > 0 && blank(screen_.cell(r, end - 1))) --end;
        if (end == 0) continue;
        out_ += cursorTo(r, 0);
        for (int c = 0; c < end; ++c) {
            const Cell& cell = screen_.cell(r, c);
            if (cell.attr != emittedAttr_) emitColour(cell.attr);
            appendChar(cell.ch);
        }
    }
    if (screen_.scrollTop() != 0 || screen_.scrollBottom() != rows - 1) {
        out_ += "\x1b[" + std::to_string(screen_.scrollTop() + 1) + ";" + std::to_string(screen_.scrollBottom() + 1) + "r";
    }
    const int row = screen_.cursorRow();
    const int col = screen_.cursorColumn();
    if (col < cols) {
        out_ += cursorTo(row, col);
    } else {
        // Right after the last column: write that cell again, so the next
        // character wraps as it would have.
        out_ += cursorTo(row, cols - 1);
        const Cell& cell = screen_.cell(row, cols - 1);
        if (cell.attr != emittedAttr_) emitColour(cell.attr);
        appendChar(cell.ch);
    }
    flush();
}

int VtBackend::readKey() {
    flush();
    return nextKey();
}

void VtBackend::eraseLastChar() {
    if (plain_) {
        plainText_.write("\b \b");
        return;
    }
    // The cell of the last echoed character: just left of the cursor, or
    // at the end of the row above when the echo had wrapped.
    int row = screen_.cursorRow();
    int col = screen_.cursorColumn();
    if (col > 0) {
        --col;
    } else if (row > 0) {
        --row;
        col = screen_.columns() - 1;
    } else {
        return;
    }
    moveCursor(row, col);
    write(" ");
    moveCursor(row, col);
}

std::optional<std::string> VtBackend::readLine(std::size_t maxChars) {
    // A small line editor on single keys: the typed characters are echoed,
    // Backspace takes back a whole letter (Polish ones too), Enter ends the
    // line. Characters past maxChars are read and dropped, not shown.
    std::u32string typed;
    for (;;) {
        flush();
        const int key = nextKey();
        if (key == KeyEnd) return std::nullopt;
        if (key == KeyEnter) break;
        if (key == KeyBackspace) {
            if (!typed.empty()) {
                typed.pop_back();
                eraseLastChar();
            }
        } else if (key == 0x15) {  // Ctrl-U: the whole line
            while (!typed.empty()) {
                typed.pop_back();
                eraseLastChar();
            }
        } else if (key >= 0x20 && key < 0x110000 && typed.size() < maxChars) {
            typed.push_back(static_cast<char32_t>(key));
            write(encodeUtf8(static_cast<char32_t>(key)));
        }
    }
    write("\n");
    flush();
    std::string line;
    for (const char32_t ch : typed) appendUtf8(line, ch);
    return line;
}

}  // namespace kelvrin
