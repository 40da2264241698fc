#include "platform/scripted_backend.h"

#include "core/utf8.h"

namespace kelvrin {

ScriptedBackend::ScriptedBackend(int rows, int columns) : screen_(rows, columns) {}

void ScriptedBackend::type(std::string_view keys) {
    for (std::size_t pos = 0; pos < keys.size();) queue_.push_back(static_cast<int>(decodeUtf8(keys, pos)));
}

void ScriptedBackend::press(int key) { queue_.push_back(key); }

std::string ScriptedBackend::rowText(int row) const { return screen_.rowText(row); }

std::string ScriptedBackend::screenText() const { return screen_.screenText(); }

int ScriptedBackend::attrAt(int row, int col) const { return screen_.cell(row, col).attr; }

char32_t ScriptedBackend::charAt(int row, int col) const { return screen_.cell(row, col).ch; }

void ScriptedBackend::write(std::string_view utf8) {
    const int attr = screen_.colour();
    if (attr != transcriptAttr_) {
        transcript_ += "{" + std::to_string(attr) + "}";
        transcriptAttr_ = attr;
    }
    transcript_ += utf8;
    screen_.write(utf8);
}

void ScriptedBackend::setColour(int attr) { screen_.setColour(attr); }

void ScriptedBackend::clear() {
    screen_.clear();
    ++clears_;
    transcript_ += "{clear}";
}

void ScriptedBackend::putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    screen_.putCells(row, col, width, cells);
}

void ScriptedBackend::moveCursor(int row, int col) { screen_.moveCursor(row, col); }

void ScriptedBackend::setScrollRegion(int top, int bottom) { screen_.setScrollRegion(top, bottom); }

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
        readingLine_ = true;
        const int key = nextKey();
        readingLine_ = false;
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
