// A fuzz input as a short script for the console readers: which readers to
// call, in a loop, and the input they read. Layout: byte 0 gives the number
// of operations (1 + byte 0 % 8), the next bytes are the operations, and
// the rest is what the player types (keys for the scripted console, the
// standard input for the stream backend).
//
// An operation byte o calls reader o % 6 with parameter o / 6:
//   0 readLine, at most the parameter's characters (0: the default 200)
//   1 readNumber
//   2 askYesNo
//   3 askKey, "tna" for an even parameter, "1ąż" for an odd one
//   4 getKey
//   5 prints (the parameter % 10) lines of text (the pager may ask for
//     keys once the screen is full)
// The loop stops after 20 rounds, which keeps long inputs fast.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"

#include "core/utf8.h"

namespace kelvrin::fuzz {

struct ConsoleScript {
    std::vector<std::uint8_t> operations;
    std::string_view input;

    static ConsoleScript parse(const std::uint8_t* data, std::size_t size) {
        ConsoleScript script;
        if (size == 0) return script;
        const std::size_t count = std::min<std::size_t>(1 + data[0] % 8, size - 1);
        script.operations.assign(data + 1, data + 1 + count);
        script.input = std::string_view(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);
        return script;
    }
};

// A key any reader may return: a character, or an arrow.
inline bool isKey(int key) {
    return (key >= 0 && key < 0xD800) || (key > 0xDFFF && key <= 0x10FFFF) || key == KeyUp || key == KeyDown ||
           key == KeyLeft || key == KeyRight;
}

// A typed line as the game gets it: whole UTF-8 letters, at most maxChars
// of them, no line break and no C1 control. An edited line (terminal,
// scripted console) has no control characters at all; a line read from a
// pipe keeps the ASCII ones as they stand, for the game's own checks (the
// name refuses them).
inline void checkLine(const std::string& line, std::size_t maxChars, bool edited) {
    std::size_t pos = 0;
    std::size_t count = 0;
    while (pos < line.size()) {
        const std::size_t start = pos;
        const char32_t cp = decodeUtf8(line, pos);
        FUZZ_CHECK(encodeUtf8(cp) == line.substr(start, pos - start));  // well-formed
        FUZZ_CHECK(cp != '\n' && !(cp >= 0x80 && cp < 0xA0));
        if (edited) FUZZ_CHECK(cp >= 0x20 && cp != 0x7F);
        FUZZ_CHECK(cp < 0xD800 || (cp > 0xDFFF && cp <= 0x10FFFF));
        ++count;
    }
    FUZZ_CHECK(count <= maxChars);
}

// Runs the operations over and over until the input ends; `editedLines`
// as for checkLine.
inline void runConsoleScript(const ConsoleScript& script, bool editedLines) {
    if (script.operations.empty()) return;
    bool readsInput = false;
    for (const std::uint8_t op : script.operations) readsInput = readsInput || op % 6 != 5;
    try {
        int rounds = 0;
        do {
            for (const std::uint8_t op : script.operations) {
                const int parameter = op / 6;
                switch (op % 6) {
                    case 0: {
                        const std::size_t maxChars = parameter == 0 ? 200 : static_cast<std::size_t>(parameter);
                        checkLine(readLine(maxChars), maxChars, editedLines);
                        break;
                    }
                    case 1: {
                        int value = -12345;
                        if (!readNumber(value)) FUZZ_CHECK(value == -12345);
                        break;
                    }
                    case 2:
                        (void)askYesNo();
                        break;
                    case 3: {
                        const std::string keys = parameter % 2 == 0 ? "tna" : "1ąż";
                        const int key = askKey(keys);
                        FUZZ_CHECK(key == 't' || key == 'n' || key == 'a' || key == '1' || key == static_cast<int>(U'ą') || key == static_cast<int>(U'ż'));
                        FUZZ_CHECK((key < 0x80) == (parameter % 2 == 0) || key == '1');
                        break;
                    }
                    case 4:
                        FUZZ_CHECK(isKey(getKey()));
                        break;
                    case 5:
                        for (int line = 0; line < parameter % 10; ++line)
                            print("Wiersz %d: zażółć gęślą jaźń, a potem jeszcze trochę tekstu aż do końca.\n", line);
                        break;
                }
                FUZZ_CHECK(cursorRow() >= 0 && cursorRow() < backend().rows());
                FUZZ_CHECK(cursorColumn() >= 0 && cursorColumn() <= backend().columns());
            }
        } while (readsInput && ++rounds < 20);
    } catch (const EndOfInput&) {
    }
}

}  // namespace kelvrin::fuzz
