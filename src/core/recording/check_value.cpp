#include "core/recording/check_value.h"

#include "core/crash_save.h"
#include "core/game_state.h"
#include "core/save_file.h"

namespace kelvrin {

namespace {

constexpr std::uint64_t Prime = 0x100000001b3ull;
constexpr unsigned char Escape = 0x1B;

// A zero byte leaves FNV-1a's xor as it was: n zero bytes in a row only
// multiply by the prime n times, which one multiplication by its n-th
// power does at once. Most numbers here are small and the save image is
// mostly zeros, so the same value comes in far fewer steps.
constexpr std::uint64_t primePower(int n) {
    std::uint64_t power = 1;
    for (int i = 0; i < n; ++i) power *= Prime;
    return power;
}
constexpr std::uint64_t Prime3 = primePower(3);
constexpr std::uint64_t Prime4 = primePower(4);
constexpr std::uint64_t Prime8 = primePower(8);

}  // namespace

void CheckValue::byte(unsigned char b) { hash_ = (hash_ ^ b) * Prime; }

void CheckValue::bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) byte(p[i]);
}

// Four bytes, little-endian (every value here fits in 32 bits); the zero
// bytes at the top of a value below 2^8 or 2^16 taken together.
void CheckValue::word(std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    if (v < 0x100) {
        hash_ = (hash_ ^ v) * Prime4;
    } else if (v < 0x10000) {
        hash_ = ((hash_ ^ (v & 0xFF)) * Prime ^ (v >> 8)) * Prime3;
    } else {
        for (int shift = 0; shift < 32; shift += 8) byte(static_cast<unsigned char>(v >> shift));
    }
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

void CheckValue::readerText(std::string_view utf8) {
    byte(Escape);
    byte('r');
    word(static_cast<std::int64_t>(utf8.size()));
    bytes(utf8.data(), utf8.size());
}

std::uint64_t CheckValue::take() {
    if (gameInProgress()) {
        SaveImage image;
        encodeSave(hero, world, false, image);
        // Eight bytes at once where only the first may be other than zero,
        // else as two words.
        static_assert(std::tuple_size_v<SaveImage> % 8 == 0);
        for (std::size_t i = 0; i < image.size(); i += 8) {
            std::uint64_t eight = 0;
            for (std::size_t k = 8; k-- > 0;) eight = eight << 8 | image[i + k];
            if (eight < 0x100) {
                hash_ = (hash_ ^ eight) * Prime8;
            } else {
                word(static_cast<std::int64_t>(eight & 0xFFFFFFFF));
                word(static_cast<std::int64_t>(eight >> 32));
            }
        }
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

void CheckedBackend::readerText(std::string_view utf8) {
    check_.readerText(utf8);
    screen_.readerText(utf8);
}

}  // namespace kelvrin
