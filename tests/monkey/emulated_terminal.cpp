#include "monkey/emulated_terminal.h"

#include <vterm.h>

#include "core/utf8.h"

namespace kelvrin::test {

namespace {

// How a cell should look in a terminal: colour indices (-1: the terminal's
// own colour), bold and reverse video.
struct Look {
    int fg = -1, bg = -1;
    bool bold = false, reverse = false;
    bool operator==(const Look&) const = default;
};

// A console colour (1 blue, 2 green, 4 red, 8 bright) as a terminal's
// palette index (1 red, 2 green, 4 blue, 8 bright).
int paletteIndex(int colour, bool brightShown) {
    const int rgb = ((colour & 4) ? 1 : 0) | (colour & 2) | ((colour & 1) ? 4 : 0);
    return rgb + ((colour & 8) && brightShown ? 8 : 0);
}

// The grey of the normal text on black is the terminal's own pair. The Linux
// console has no bright background and shows bright text as bold; it draws
// the key hints as grey on black reversed. Without colours, only reverse
// video, for the cells on a background.
Look expectedLook(int attr, ColourSupport colours) {
    const int fg = attr & 0xF, bg = (attr >> 4) & 0xF;
    if (colours == ColourSupport::None) return {-1, -1, false, bg != 0};
    if (attr == 7) return {};
    if (colours == ColourSupport::Basic && attr == 0x87) return {7, 0, false, true};
    const bool full = colours == ColourSupport::Full;
    return {paletteIndex(fg, full), bg == 0 ? -1 : paletteIndex(bg, full), !full && (fg & 8) != 0, false};
}

int shownIndex(const VTermColor& colour, bool isDefault) {
    if (isDefault) return -1;
    return VTERM_COLOR_IS_INDEXED(&colour) ? colour.indexed.idx : -2;  // -2: a colour the game never sends
}

std::string describe(char32_t ch, const Look& look) {
    return "'" + encodeUtf8(ch) + "' fg " + std::to_string(look.fg) + " bg " + std::to_string(look.bg) +
           (look.bold ? " bold" : "") + (look.reverse ? " reverse" : "");
}

}  // namespace

EmulatedTerminal::EmulatedTerminal(ColourSupport colours) : vt_(vterm_new(25, 80), vterm_free) {
    vterm_set_utf8(vt_.get(), 1);
    vterm_screen_enable_altscreen(vterm_obtain_screen(vt_.get()), 1);
    vterm_screen_reset(vterm_obtain_screen(vt_.get()), 1);
    setColourSupport(colours);
    beginScreen("\x1b[?1049h\x1b[?25h");  // what the POSIX terminal sends first
}

bool EmulatedTerminal::send(std::string_view bytes) {
    const std::string onTheLine = withCarriageReturns(bytes);
    sent_ += bytes;
    vterm_input_write(vt_.get(), onTheLine.data(), onTheLine.size());
    return true;
}

bool EmulatedTerminal::changeWindow() {
    // The game's own size, or larger. (Smaller windows are the tmux test's:
    // there the game still places its screens on an 80×25 layout, which the
    // window shows only in part.)
    constexpr int sizes[][2] = {{25, 80}, {30, 100}, {26, 81}};
    const unsigned roll = (*windowChanges_)() % 64;
    if (roll == 0) {
        redraw();
    } else if (roll == 1) {
        const auto [rows, columns] = sizes[(*windowChanges_)() % std::size(sizes)];
        vterm_set_size(vt_.get(), rows, columns);
        if (followWindowSize(rows, columns)) redraw();
    }
    return roll <= 1;
}

int EmulatedTerminal::nextKey() {
    if (beforeKey_) beforeKey_();
    // While the game waits for the key: the screen drawn again is compared
    // at once, before what the key brings covers it.
    if (windowChanges_ && changeWindow() && afterChange_.empty()) afterChange_ = difference();
    const int key = source_ ? source_() : KeyEnd;
    if (key != KeyEnd) ++keysRead_;
    return key;
}

std::optional<std::string> EmulatedTerminal::readLine(std::size_t maxChars) {
    readingLine_ = true;
    std::optional<std::string> line = VtBackend::readLine(maxChars);
    readingLine_ = false;
    return line;
}

std::string EmulatedTerminal::difference() const {
    if (!afterChange_.empty()) return "after the window changed, " + afterChange_;
    const VirtualScreen& model = screen();
    std::string found;
    std::string shown;
    const int rows = model.rows(), columns = model.columns();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            VTermScreenCell cell{};
            vterm_screen_get_cell(vterm_obtain_screen(vt_.get()), VTermPos{r, c}, &cell);
            const char32_t ch = cell.chars[0] == 0 ? U' ' : static_cast<char32_t>(cell.chars[0]);
            appendUtf8(shown, ch);
            const Look look{shownIndex(cell.fg, VTERM_COLOR_IS_DEFAULT_FG(&cell.fg)),
                            shownIndex(cell.bg, VTERM_COLOR_IS_DEFAULT_BG(&cell.bg)), cell.attrs.bold != 0,
                            cell.attrs.reverse != 0};
            const Cell& wanted = model.cell(r, c);
            const Look wantedLook = expectedLook(wanted.attr, colourSupport());
            if (found.empty() && (ch != wanted.ch || look != wantedLook))
                found = "row " + std::to_string(r) + " column " + std::to_string(c) + ": the game drew " +
                        describe(wanted.ch, wantedLook) + ", the terminal shows " + describe(ch, look);
        }
        shown += '\n';
    }
    // Right after the last column the terminal's cursor stays on it.
    VTermPos cursor{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_.get()), &cursor);
    const int wantedColumn = std::min(model.cursorColumn(), columns - 1);
    if (found.empty() && (cursor.row != model.cursorRow() || cursor.col != wantedColumn))
        found = "the cursor: the game has it at " + std::to_string(model.cursorRow()) + "," +
                std::to_string(wantedColumn) + ", the terminal at " + std::to_string(cursor.row) + "," +
                std::to_string(cursor.col);
    if (found.empty()) return {};
    return found + "\n--- the game's screen ---\n" + model.screenText() + "\n--- the terminal's ---\n" + shown;
}

}  // namespace kelvrin::test
