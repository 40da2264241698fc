#include "platform/key_decoder.h"

#include "platform/backend.h"

namespace kelvrin {

namespace {

constexpr unsigned char Esc = 0x1B;

// The key of an arrow's final byte (CSI or SS3), or 0.
int arrowKey(unsigned char final) {
    switch (final) {
        case 'A': return KeyUp;
        case 'B': return KeyDown;
        case 'C': return KeyRight;
        case 'D': return KeyLeft;
        default: return 0;
    }
}

}  // namespace

int KeyDecoder::takeKey() {
    const int key = keys_.front();
    keys_.pop_front();
    return key;
}

void KeyDecoder::feed(std::string_view bytes) {
    for (const char byte : bytes) feed(static_cast<unsigned char>(byte));
}

void KeyDecoder::feed(unsigned char byte) {
    switch (state_) {
        case State::Ground:
            ground(byte);
            return;

        case State::Escape:
            if (byte == '[') {
                state_ = State::Csi;
            } else if (byte == 'O') {
                state_ = State::Ss3;
            } else {
                // Escape followed by anything else (a key typed quickly
                // after it, or Alt with a key): Escape, then that key.
                state_ = State::Ground;
                emit(KeyEscape);
                ground(byte);
            }
            return;

        case State::Csi:
            if (byte >= 0x20 && byte <= 0x3F) return;  // parameters and intermediates
            if (byte == '[') {
                // The Linux console's F1-F5: ESC [ [ and one more byte.
                state_ = State::LinuxFunction;
                return;
            }
            if (byte >= 0x40 && byte <= 0x7E) {
                state_ = State::Ground;
                if (const int key = arrowKey(byte)) emit(key);
                return;
            }
            // A control or non-ASCII byte cannot be part of the sequence:
            // the sequence was cut short; drop it and take the byte afresh.
            state_ = State::Ground;
            ground(byte);
            return;

        case State::LinuxFunction:
        case State::Ss3:
            if (byte >= 0x20 && byte <= 0x7E) {
                const bool arrow = state_ == State::Ss3;
                state_ = State::Ground;
                if (arrow) {
                    if (const int key = arrowKey(byte)) emit(key);
                }
                return;
            }
            state_ = State::Ground;
            ground(byte);
            return;

        case State::Utf8:
            if (byte < nextLow_ || byte > nextHigh_) {
                // Not a continuation byte: the letter is invalid and dropped.
                state_ = State::Ground;
                ground(byte);
                return;
            }
            codePoint_ = (codePoint_ << 6) | (byte & 0x3F);
            nextLow_ = 0x80;
            nextHigh_ = 0xBF;
            if (--missing_ == 0) {
                state_ = State::Ground;
                if (codePoint_ >= 0xA0) emit(static_cast<int>(codePoint_));  // C1 controls are no keys
            }
            return;
    }
}

void KeyDecoder::ground(unsigned char byte) {
    if (byte < 0x80) {
        if (byte == Esc && mode_ == Mode::Terminal) {
            state_ = State::Escape;
        } else if (byte == '\r') {
            if (mode_ == Mode::Terminal) emit(KeyEnter);
        } else if (byte == 0x08 && mode_ == Mode::Terminal) {
            emit(KeyBackspace);
        } else {
            emit(byte);  // 0x7F is KeyBackspace as it stands
        }
        return;
    }
    if (table_) {
        // ISO-8859-2 and its kin put the C1 controls at 0x80-0x9F: no keys,
        // as in UTF-8 (0x9B would start a sequence when echoed).
        const char32_t cp = (*table_)[byte - 0x80];
        if (cp >= 0xA0) emit(static_cast<int>(cp));
        return;
    }
    // The lead byte of a UTF-8 letter; bytes that cannot start one are dropped.
    nextLow_ = 0x80;
    nextHigh_ = 0xBF;
    if (byte >= 0xC2 && byte <= 0xDF) {
        missing_ = 1;
        codePoint_ = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        missing_ = 2;
        codePoint_ = byte & 0x0F;
        if (byte == 0xE0) nextLow_ = 0xA0;   // overlong
        if (byte == 0xED) nextHigh_ = 0x9F;  // surrogates
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        missing_ = 3;
        codePoint_ = byte & 0x07;
        if (byte == 0xF0) nextLow_ = 0x90;   // overlong
        if (byte == 0xF4) nextHigh_ = 0x8F;  // above U+10FFFF
    } else {
        return;
    }
    state_ = State::Utf8;
}

void KeyDecoder::timeout() {
    if (state_ == State::Escape) emit(KeyEscape);
    state_ = State::Ground;
}

}  // namespace kelvrin
