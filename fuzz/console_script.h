// A fuzz input as a script for the console readers: byte 0 gives the count
// of operations (1 + byte 0 % 8), the next bytes are the operations, the
// rest is what the player types. Operation byte o calls reader o % 6 with
// p = o / 6: readLine of at most p letters (0: 200), readNumber, askYesNo,
// askKey of "tna" (even p) or "1ąż" (odd p), getKey, or prints p % 10 lines
// (the pager may ask for keys). At most 20 rounds keep long inputs fast.
#pragma once

#include <algorithm>

#include "fuzz_support.h"

namespace kelvrin::fuzz {

inline std::size_t scriptOperations(const std::uint8_t* data, std::size_t size) {
    return size < 2 ? 0 : std::min<std::size_t>(1 + data[0] % 8, size - 1);
}
inline std::string_view scriptInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t skip = std::min<std::size_t>(size, 1 + scriptOperations(data, size));
    return {reinterpret_cast<const char*>(data) + skip, size - skip};
}

// A line is whole letters, at most the bound, no line break or C1 control;
// an edited line (terminal, scripted console) has no control at all, one
// from a pipe keeps the ASCII ones for the game's own checks (the name
// refuses them). A key is a character or an arrow, askKey's one it asked
// for; the cursor stays on the screen; the end of input ends every reader.
inline void runConsoleScript(const std::uint8_t* data, std::size_t size, bool editedLines) {
    const std::size_t count = scriptOperations(data, size);
    if (count == 0) return;
    const std::vector<std::uint8_t> operations(data + 1, data + 1 + count);
    const bool readsInput = std::any_of(operations.begin(), operations.end(), [](auto op) { return op % 6 != 5; });
    try {
        for (int rounds = 0; rounds < 20 && (rounds == 0 || readsInput); ++rounds) {
            for (const std::uint8_t op : operations) {
                const int p = op / 6;
                const bool even = p % 2 == 0;
                int value = -12345, key = 0;
                switch (op % 6) {
                    case 0: {
                        const std::size_t maxChars = p == 0 ? 200 : static_cast<std::size_t>(p);
                        const auto letters = wellFormedUtf8(readLine(maxChars));
                        FUZZ_CHECK(letters && letters->size() <= maxChars);
                        for (const char32_t cp : *letters)
                            FUZZ_CHECK(cp != '\n' && !isC1(cp) && (!editedLines || (cp >= 0x20 && cp != 0x7F)));
                        break;
                    }
                    case 1: FUZZ_CHECK(readNumber(value) || value == -12345); break;
                    case 2: (void)askYesNo(); break;
                    case 3:
                        key = askKey(even ? "tna" : "1ąż");
                        FUZZ_CHECK(even ? key == 't' || key == 'n' || key == 'a'
                                        : key == '1' || key == static_cast<int>(U'ą') || key == static_cast<int>(U'ż'));
                        break;
                    case 4:
                        key = getKey();
                        FUZZ_CHECK(key == KeyUp || key == KeyDown || key == KeyLeft || key == KeyRight ||
                                   (key >= 0 && key <= 0x10FFFF && !(key >= 0xD800 && key <= 0xDFFF)));
                        break;
                    case 5:
                        for (int line = 0; line < p % 10; ++line)
                            print("Wiersz %d: zażółć gęślą jaźń, a potem jeszcze trochę tekstu aż do końca.\n", line);
                        break;
                }
                FUZZ_CHECK(cursorRow() >= 0 && cursorRow() < backend().rows());
                FUZZ_CHECK(cursorColumn() >= 0 && cursorColumn() <= backend().columns());
            }
        }
    } catch (const EndOfInput&) {
    }
}

}  // namespace kelvrin::fuzz
