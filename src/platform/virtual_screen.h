// A model of the terminal's screen: cells with their attributes, the
// cursor, automatic wrap at the right edge and scrolling inside the scroll
// region, exactly as a terminal does it. The scripted console shows it to
// the tests; the terminal backend keeps one to redraw the screen after the
// game was suspended (Ctrl-Z) or the window changed size.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/backend.h"

namespace kelvrin {

class VirtualScreen {
public:
    VirtualScreen(int rows = 25, int columns = 80);

    // Text in UTF-8 in the current colour; '\n' starts the next line,
    // '\r' goes back to the start of this one.
    void write(std::string_view utf8);
    void setColour(int attr) { attr_ = attr; }
    int colour() const { return attr_; }
    // Blank cells in the normal colour, cursor at the top left.
    void clear();
    void putCells(int row, int col, int width, const std::vector<Cell>& cells);
    void moveCursor(int row, int col);
    void setScrollRegion(int top, int bottom);
    // A new size: what fits stays in place, the cursor and the scroll region
    // are kept inside the screen.
    void resize(int rows, int columns);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // The cursor's column is `columns()` right after the last column was
    // written (the next character wraps first), as in a terminal.
    int cursorRow() const { return row_; }
    int cursorColumn() const { return col_; }
    int scrollTop() const { return top_; }
    int scrollBottom() const { return bottom_; }

    const Cell& cell(int row, int col) const { return cells_[static_cast<std::size_t>(row * columns_ + col)]; }
    // One row as text without trailing blanks; the whole screen as lines.
    std::string rowText(int row) const;
    std::string screenText() const;

private:
    void newline();
    void putChar(char32_t ch);

    int rows_;
    int columns_;
    std::vector<Cell> cells_;
    int row_ = 0;
    int col_ = 0;
    int top_ = 0;
    int bottom_;
    int attr_ = 7;
};

}  // namespace kelvrin
