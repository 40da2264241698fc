// The check value of a recording: FNV-1a 64 over what the game drew since
// the last key wait (every call to the console, in a fixed byte form) and
// the save image of the hero in play. A replay computes it again at each
// key wait; a different value means a different screen or a different
// hero. The same on every system and word size: fixed-width integers, in
// little-endian order, never a hash of the library or a struct's bytes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/backend.h"

namespace kelvrin {

class CheckValue {
public:
    // One console call each; docs/recording.md gives their byte form.
    void write(std::string_view utf8);
    void setColour(int attr);
    void clear();
    void putCells(int row, int col, int width, const std::vector<Cell>& cells);
    void moveCursor(int row, int col);
    void setScrollRegion(int top, int bottom);
    void readerText(std::string_view utf8);

    // The value at a key wait, with the hero in play, if any; starts the
    // next stretch of output.
    std::uint64_t take();

private:
    void bytes(const void* data, std::size_t size);
    void byte(unsigned char b);
    void word(std::int64_t value);

    static constexpr std::uint64_t Offset = 0xcbf29ce484222325ull;
    std::uint64_t hash_ = Offset;
};

// A console that draws on another and takes every drawing call into a
// check value on the way: the recording's and the replay's consoles, which
// differ only in where keys and the window come from.
class CheckedBackend : public Backend {
public:
    explicit CheckedBackend(Backend& screen) : screen_(screen) {}

    void write(std::string_view utf8) override;
    void setColour(int attr) override;
    void clear() override;
    void putCells(int row, int col, int width, const std::vector<Cell>& cells) override;
    void moveCursor(int row, int col) override;
    void setScrollRegion(int top, int bottom) override;
    void flush() override { screen_.flush(); }
    void offerInput(const InputOffer& offer) override { screen_.offerInput(offer); }
    void readerText(std::string_view utf8) override;
    void restoreAfterCrash() override { screen_.restoreAfterCrash(); }

    // The check value of what was drawn since the last key wait (taken at
    // each wait, and at the game's end).
    std::uint64_t lastCheck() { return check_.take(); }

protected:
    Backend& screen_;

private:
    CheckValue check_;
};

}  // namespace kelvrin
