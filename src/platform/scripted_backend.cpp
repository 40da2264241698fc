#include "platform/scripted_backend.h"

#include <algorithm>

#include "core/utf8.h"

namespace kelvrin {

ScriptedBackend::ScriptedBackend(int rows, int columns)
    : rows_(rows), columns_(columns), screen_(static_cast<std::size_t>(rows * columns)), bottom_(rows - 1) {}

void ScriptedBackend::type(std::string_view keys) {
    for (std::size_t pos = 0; pos < keys.size();) queue_.push_back(static_cast<int>(decodeUtf8(keys, pos)));
}

void ScriptedBackend::press(int key) { queue_.push_back(key); }

std::string ScriptedBackend::rowText(int row) const {
    std::string out;
    for (int c = 0; c < columns_; ++c) appendUtf8(out, screen_[static_cast<std::size_t>(row * columns_ + c)].ch);
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
}

std::string ScriptedBackend::screenText() const {
    std::string out;
    for (int r = 0; r < rows_; ++r) out += rowText(r) + "\n";
    return out;
}

int ScriptedBackend::attrAt(int row, int col) const { return screen_[static_cast<std::size_t>(row * columns_ + col)].attr; }

char32_t ScriptedBackend::charAt(int row, int col) const {
    return screen_[static_cast<std::size_t>(row * columns_ + col)].ch;
}

void ScriptedBackend::newline() {
    col_ = 0;
    if (row_ == bottom_) {
        // Scroll the region up by one row.
        const auto first = screen_.begin() + top_ * columns_;
        const auto last = screen_.begin() + (bottom_ + 1) * columns_;
        std::rotate(first, first + columns_, last);
        std::fill(last - columns_, last, Cell{U' ', 7});
    } else if (row_ < rows_ - 1) {
        ++row_;
    }
}

void ScriptedBackend::putChar(char32_t ch) {
    if (col_ >= columns_) newline();  // automatic wrap, as a terminal does
    screen_[static_cast<std::size_t>(row_ * columns_ + col_)] = Cell{ch, static_cast<std::uint8_t>(attr_)};
    ++col_;
}

void ScriptedBackend::write(std::string_view utf8) {
    if (attr_ != transcriptAttr_) {
        transcript_ += "{" + std::to_string(attr_) + "}";
        transcriptAttr_ = attr_;
    }
    transcript_ += utf8;
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

void ScriptedBackend::setColour(int attr) { attr_ = attr; }

void ScriptedBackend::clear() {
    std::fill(screen_.begin(), screen_.end(), Cell{U' ', 7});
    row_ = col_ = 0;
    ++clears_;
    transcript_ += "{clear}";
}

void ScriptedBackend::putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int r = row + static_cast<int>(i) / width;
        const int c = col + static_cast<int>(i) % width;
        if (r >= 0 && r < rows_ && c >= 0 && c < columns_) screen_[static_cast<std::size_t>(r * columns_ + c)] = cells[i];
    }
}

void ScriptedBackend::moveCursor(int row, int col) {
    row_ = std::clamp(row, 0, rows_ - 1);
    col_ = std::clamp(col, 0, columns_ - 1);
}

void ScriptedBackend::setScrollRegion(int top, int bottom) {
    top_ = std::clamp(top, 0, rows_ - 1);
    bottom_ = std::clamp(bottom, top_, rows_ - 1);
}

int ScriptedBackend::nextKey() {
    if (beforeKey_) beforeKey_();
    int key = KeyEnd;
    if (!queue_.empty()) {
        key = queue_.front();
        queue_.pop_front();
    } else if (source_) {
        key = source_();
    }
    if (key != KeyEnd) ++keysRead_;
    return key;
}

int ScriptedBackend::readKey() { return nextKey(); }

std::optional<std::string> ScriptedBackend::readLine(std::size_t maxChars) {
    std::u32string typed;
    for (;;) {
        const int key = nextKey();
        if (key == KeyEnd) return std::nullopt;
        if (key == '\n' || key == '\r') break;
        if (key == KeyBackspace || key == 8) {
            if (!typed.empty()) typed.pop_back();
        } else if (key >= 32 && key < 0x110000) {
            typed.push_back(static_cast<char32_t>(key));
        }
    }
    std::string line;
    for (char32_t ch : typed) appendUtf8(line, ch);
    write(line);  // the terminal echoes what was typed
    write("\n");
    return utf8Prefix(line, maxChars);
}

}  // namespace kelvrin
