// What the fuzz targets share: a fresh game for every input on the scripted console and the failing disk kept
// sound and in memory, and a check that stops the run as a crash.
#pragma once

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

    ScriptedBackend screen;

private:
    Disk disk_;
};

inline bool isCharacter(long cp) { return cp >= 0 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF); }
inline bool isC1(long cp) { return cp >= 0x80 && cp < 0xA0; }
inline bool isArrow(int key) { return key >= KeyUp && key <= KeyLeft; }
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

}  // namespace kelvrin
