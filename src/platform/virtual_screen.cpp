#include "platform/virtual_screen.h"

#include <algorithm>

#include "core/utf8.h"

namespace kelvrin {

VirtualScreen::VirtualScreen(int rows, int columns)
    : rows_(rows), columns_(columns), cells_(static_cast<std::size_t>(rows * columns)), bottom_(rows - 1) {}

std::string VirtualScreen::rowText(int row) const {
    std::string out;
    for (int c = 0; c < columns_; ++c) appendUtf8(out, cell(row, c).ch);
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
}

std::string VirtualScreen::screenText() const {
    std::string out;
    for (int r = 0; r < rows_; ++r) out += rowText(r) + "\n";
    return out;
}

void VirtualScreen::newline() {
    col_ = 0;
    if (row_ == bottom_) {
        // Scroll the region up by one row.
        const auto first = cells_.begin() + top_ * columns_;
        const auto last = cells_.begin() + (bottom_ + 1) * columns_;
        std::rotate(first, first + columns_, last);
        std::fill(last - columns_, last, Cell{U' ', 7});
    } else if (row_ < rows_ - 1) {
        ++row_;
    }
}

void VirtualScreen::putChar(char32_t ch) {
    if (col_ >= columns_) newline();  // automatic wrap, as a terminal does
    cells_[static_cast<std::size_t>(row_ * columns_ + col_)] = Cell{ch, static_cast<std::uint8_t>(attr_)};
    ++col_;
}

void VirtualScreen::write(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t ch = decodeUtf8(utf8, pos);
        if (ch == U'\n') {
            newline();
        } else if (ch == U'\r') {
            col_ = 0;
        } else {
            putChar(ch);
        }
    }
}

void VirtualScreen::clear() {
    std::fill(cells_.begin(), cells_.end(), Cell{U' ', 7});
    row_ = col_ = 0;
}

void VirtualScreen::putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    if (width <= 0) return;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int r = row + static_cast<int>(i) / width;
        const int c = col + static_cast<int>(i) % width;
        if (r >= 0 && r < rows_ && c >= 0 && c < columns_) cells_[static_cast<std::size_t>(r * columns_ + c)] = cells[i];
    }
}

void VirtualScreen::moveCursor(int row, int col) {
    row_ = std::clamp(row, 0, rows_ - 1);
    col_ = std::clamp(col, 0, columns_ - 1);
}

void VirtualScreen::setScrollRegion(int top, int bottom) {
    top_ = std::clamp(top, 0, rows_ - 1);
    bottom_ = std::clamp(bottom, top_, rows_ - 1);
}

void VirtualScreen::resize(int rows, int columns) {
    rows = std::max(rows, 1);
    columns = std::max(columns, 1);
    std::vector<Cell> cells(static_cast<std::size_t>(rows * columns));
    for (int r = 0; r < std::min(rows, rows_); ++r) {
        for (int c = 0; c < std::min(columns, columns_); ++c) cells[static_cast<std::size_t>(r * columns + c)] = cell(r, c);
    }
    cells_ = std::move(cells);
    rows_ = rows;
    columns_ = columns;
    row_ = std::min(row_, rows_ - 1);
    col_ = std::min(col_, columns_);
    top_ = 0;
    bottom_ = rows_ - 1;
}

}  // namespace kelvrin
