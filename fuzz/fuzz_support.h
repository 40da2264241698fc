// What the fuzz targets share: a fresh game for every input on the scripted console and the failing disk
// kept sound and in memory, a check that stops the run as a crash, and the console readers' script.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

#include "core/clock.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "core/utf8.h"
#include "platform/scripted_backend.h"
#include "support/failing_disk.h"
#include "support/test_hero.h"

// An abort, so that libFuzzer keeps the input that did it.
#define FUZZ_CHECK(c) \
    ((c) ? void() : (std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #c, __FILE__, __LINE__), std::abort()))

namespace kelvrin {

using Disk = test::FailingDisk;
// Set by fuzz/run.sh for the seed corpus, whose every file has to be accepted.
inline const bool SeedsMustLoad = std::getenv("KELVRIN_FUZZ_SEEDS") != nullptr;

// Keys come from the script, then at most `spareCount` from `spare`, then the input ends: no reader waits for ever.
class FuzzGame {
public:
    explicit FuzzGame(int spareCount = 0, std::function<int()> spare = [] { return ' '; })
        : disk_(test::Fault::None, true) {
        setBackend(&screen);
        seedRandom(20240601);
        setFixedClock(1300000000);
        resetForNewGame();
        screen.setKeySource([=]() mutable { return spareCount-- > 0 ? spare() : static_cast<int>(KeyEnd); });
    }
    ~FuzzGame() {
        releaseHeroLock();
        setBackend(nullptr);
        setFixedClock(std::nullopt);
    }
    // Runs a screen until it returns (true) or the keys run out (false).
    static bool runUntilInputEnds(const std::function<void()>& screenLoop) try {
        screenLoop();
        return true;
    } catch (const EndOfInput&) {
        return false;
    }
    bool shows(const std::string& text) const { return screen.transcript().find(text) != std::string::npos; }
    // The test hero (a human fighter of the first level, armed, in the town).
    static void makeHero(const std::string& name) {
        test::makeTestHero();
        hero.name = name;
    }

    ScriptedBackend screen;

private:
    Disk disk_;
};

inline bool isCharacter(long cp) { return cp >= 0 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF); }
inline bool isC1(long cp) { return cp >= 0x80 && cp < 0xA0; }
inline bool isArrow(int key) { return key == KeyUp || key == KeyDown || key == KeyLeft || key == KeyRight; }
// The letters of well-formed UTF-8 (each encodes back to its very bytes), or nothing.
inline std::optional<std::vector<char32_t>> wellFormedUtf8(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t cp = decodeUtf8(text, pos);
        if (encodeUtf8(cp) != text.substr(start, pos - start) || !isCharacter(cp)) return std::nullopt;
        out.push_back(cp);
    }
    return out;
}

// A fuzz input as a script for the console readers: byte 0 gives the count of operations (1 + byte 0 % 8),
// the next bytes are the operations, the rest is what the player types. Operation o calls reader o % 6 with
// p = o / 6: readLine of at most p letters (0: 200), readNumber, askYesNo, askKey of "tna" (even p) or "1ąż",
// getKey, or prints p % 10 lines (the pager may ask for keys). At most 20 rounds keep long inputs fast.
struct ConsoleScript {
    std::vector<std::uint8_t> operations;
    std::string_view input;
};
inline ConsoleScript consoleScript(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return {};
    const std::size_t count = std::min<std::size_t>(1 + data[0] % 8, size - 1);
    return {{data + 1, data + 1 + count}, {reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count}};
}
// A line is whole letters, at most the bound, no line break or C1 control; an edited line (terminal, scripted
// console) has no control at all, one from a pipe keeps the ASCII ones for the game's own checks. A key is a
// character or an arrow, askKey's one it asked for; the cursor stays on the screen; the end of input ends all.
inline void runConsoleScript(const std::vector<std::uint8_t>& operations, bool editedLines) try {
    const bool readsInput = std::any_of(operations.begin(), operations.end(), [](auto op) { return op % 6 != 5; });
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
                    FUZZ_CHECK(std::u32string_view(even ? U"tna" : U"1ąż").find(char32_t(key)) < 3);
                    break;
                case 4: FUZZ_CHECK(isArrow(key = getKey()) || isCharacter(key)); break;
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

}  // namespace kelvrin
