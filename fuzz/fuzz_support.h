// What the fuzz targets share: the failing disk, in memory and sound (a run
// never touches the real disk and costs no fsync), a fresh game on the
// scripted console for every input, the test hero, and a check that stops
// the run with a message when a reader breaks one of its promises.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "platform/scripted_backend.h"
#include "support/failing_disk.h"
#include "support/test_hero.h"

// Stops the run as a crash, so that libFuzzer keeps the input that did it.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

namespace kelvrin::fuzz {

using Disk = test::FailingDisk;

// A new game for one input: an empty disk in memory, the scripted console,
// the generator and the clock fixed. Keys come from the script first, then
// from `spare` (at most `spareCount` of them), then the input ends, so no
// reader can wait for ever.
class FuzzGame {
public:
    explicit FuzzGame(int spareCount = 0, std::function<int()> spare = [] { return ' '; })
        : disk_(test::Fault::None, true), spareLeft_(spareCount), spare_(std::move(spare)) {
        setBackend(&screen);
        seedRandom(20240601);
        setFixedClock(1300000000);
        resetForNewGame();
        screen.setKeySource([this] {
            if (spareLeft_ <= 0) return static_cast<int>(KeyEnd);
            --spareLeft_;
            return spare_();
        });
    }
    ~FuzzGame() {
        releaseHeroLock();
        setBackend(nullptr);
        setFixedClock(std::nullopt);
    }
    FuzzGame(const FuzzGame&) = delete;
    FuzzGame& operator=(const FuzzGame&) = delete;

    // Runs a screen until it returns (true) or the keys run out (false).
    static bool runUntilInputEnds(const std::function<void()>& screenLoop) {
        try {
            screenLoop();
        } catch (const EndOfInput&) {
            return false;
        }
        return true;
    }

    bool shows(const std::string& text) const { return screen.transcript().find(text) != std::string::npos; }

    ScriptedBackend screen;

private:
    Disk disk_;
    int spareLeft_;
    std::function<int()> spare_;
};

// The test hero under another name: a human fighter of the first level,
// armed, in the town.
inline void makeFuzzHero(const std::string& name) {
    test::makeTestHero();
    hero.name = name;
}

}  // namespace kelvrin::fuzz
