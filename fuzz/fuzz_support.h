// What the fuzz targets share: a fresh game for every input, on the scripted console and a sound disk in memory.
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
    explicit FuzzGame(int spareCount = 0, std::function<int()> spare = [] { return ' '; }) {
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

    ScriptedBackend screen;

private:
    Disk disk_{test::Fault::None, true};
};

inline bool within(long value, long low, long high) { return value >= low && value <= high; }
inline bool isCharacter(long cp) { return within(cp, 0, 0x10FFFF) && !within(cp, 0xD800, 0xDFFF); }
inline bool isC1(long cp) { return within(cp, 0x80, 0x9F); }
inline bool isArrow(int key) { return within(key, KeyUp, KeyLeft); }
// The letters of well-formed UTF-8 (each encodes back to its very bytes), or nothing.
inline std::optional<std::vector<char32_t>> wellFormedUtf8(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t start = 0, pos = 0; pos < text.size(); start = pos) {
        const char32_t cp = decodeUtf8(text, pos);
        if (encodeUtf8(cp) != text.substr(start, pos - start) || !isCharacter(cp)) return std::nullopt;
        out.push_back(cp);
    }
    return out;
}

}  // namespace kelvrin
