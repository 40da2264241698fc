// Turns the bytes a terminal (or a pipe) sends into key codes: a Polish
// letter is one key, an arrow is one key, and every other escape sequence
// (Home, End, the F-keys, PgUp ...) is read to its end and dropped, so no
// stray '[', '1' or '~' ever reaches a screen.
//
// The decoder is a plain state machine fed one byte at a time; it never
// looks at the clock. Whether an Escape byte is the Escape key or the start
// of a sequence depends on what follows within a short wait, so the backend
// waits (while waiting() is true) and calls timeout() when nothing came.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string_view>

namespace kelvrin {

// How long the rest of an escape sequence may take to arrive before a lone
// Escape byte counts as the Escape key.
constexpr int EscapeWaitMs = 50;

class KeyDecoder {
public:
    enum class Mode {
        // A terminal: escape sequences are parsed, '\r' is Enter, 0x08 and
        // 0x7F are Backspace.
        Terminal,
        // A pipe or a file: every character is a key as it stands, an Escape
        // byte is the Escape key at once, and '\r' is dropped (so a Windows
        // line end "\r\n" is one Enter).
        Stream,
    };

    // Code points of the bytes 0x80-0xFF in a single-byte character set;
    // 0 where the byte stands for no character.
    using ByteTable = std::array<char32_t, 128>;

    explicit KeyDecoder(Mode mode = Mode::Terminal) : mode_(mode) {}

    // Decodes bytes 0x80-0xFF through a single-byte character set instead of
    // UTF-8 (nullptr: UTF-8). The table must outlive the decoder.
    void setByteTable(const ByteTable* table) { table_ = table; }

    void feed(unsigned char byte);
    void feed(std::string_view bytes);
    // Nothing more arrived: a lone Escape becomes the Escape key, a cut
    // escape sequence or a cut UTF-8 letter is dropped.
    void timeout();
    // True in the middle of a sequence: more bytes are expected soon.
    bool waiting() const { return state_ != State::Ground; }

    bool hasKey() const { return !keys_.empty(); }
    int takeKey();

private:
    enum class State { Ground, Escape, Csi, LinuxFunction, Ss3, Utf8 };

    void ground(unsigned char byte);
    void emit(int key) { keys_.push_back(key); }

    Mode mode_;
    const ByteTable* table_ = nullptr;
    State state_ = State::Ground;
    // UTF-8 letter in progress: bytes still missing, the code point so far,
    // and the allowed range of the next byte (it excludes overlong forms,
    // surrogates and code points above U+10FFFF).
    int missing_ = 0;
    char32_t codePoint_ = 0;
    unsigned char nextLow_ = 0x80;
    unsigned char nextHigh_ = 0xBF;
    std::deque<int> keys_;
};

}  // namespace kelvrin
