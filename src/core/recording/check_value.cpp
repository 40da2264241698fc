#include "core/recording/check_value.h"

#include "core/crash_save.h"
#include "core/game_state.h"
#include "core/save_file.h"

namespace kelvrin {

namespace {
constexpr std::uint64_t Prime = 0x100000001b3ull;
constexpr unsigned char Escape = 0x1B;
}  // namespace

void CheckValue::byte(unsigned char b) { hash_ = (hash_ ^ b) * Prime; }

void CheckValue::bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) byte(p[i]);
}

// Four bytes, little-endian (every value here fits in 32 bits).
void CheckValue::word(std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) byte(static_cast<unsigned char>(v >> shift));
}

void CheckValue::write(std::string_view utf8) { bytes(utf8.data(), utf8.size()); }

void CheckValue::setColour(int attr) {
    byte(Escape);
    byte('c');
    word(attr);
}

void CheckValue::clear() {
    byte(Escape);
    byte('C');
}

void CheckValue::putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    byte(Escape);
    byte('p');
    word(row);
    word(col);
    word(width);
    word(static_cast<std::int64_t>(cells.size()));
    for (const Cell& cell : cells) {
        word(static_cast<std::int64_t>(cell.ch));
        byte(cell.attr);
    }
}

void CheckValue::moveCursor(int row, int col) {
    byte(Escape);
    byte('m');
    word(row);
    word(col);
}

void CheckValue::setScrollRegion(int top, int bottom) {
    byte(Escape);
    byte('s');
    word(top);
    word(bottom);
}

std::uint64_t CheckValue::take() {
    if (gameInProgress()) {
        SaveImage image;
        encodeSave(hero, world, false, image);
        bytes(image.data(), image.size());
    }
    const std::uint64_t value = hash_;
    hash_ = Offset;
    return value;
}

void CheckedBackend::write(std::string_view utf8) {
    check_.write(utf8);
    screen_.write(utf8);
}

void CheckedBackend::setColour(int attr) {
    check_.setColour(attr);
    screen_.setColour(attr);
}

void CheckedBackend::clear() {
    check_.clear();
    screen_.clear();
}

void CheckedBackend::putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    check_.putCells(row, col, width, cells);
    screen_.putCells(row, col, width, cells);
}

void CheckedBackend::moveCursor(int row, int col) {
    check_.moveCursor(row, col);
    screen_.moveCursor(row, col);
}

void CheckedBackend::setScrollRegion(int top, int bottom) {
    check_.setScrollRegion(top, bottom);
    screen_.setScrollRegion(top, bottom);
}

}  // namespace kelvrin
