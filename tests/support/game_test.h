// The fixture of the rules and scenario tests: a scripted console, a seeded generator, a fixed clock, a fresh game.
#pragma once

#include <gtest/gtest.h>

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
#include "support/temp_folder.h"

namespace kelvrin::test {

constexpr std::int64_t FixedTime = 1300000000;  // a March 2011 evening

// How many times a part stands in a text (not overlapping).
inline int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
    return n;
}
inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
// Seeds the generator with the first seed whose draws `wanted` accepts, and returns it.
inline std::uint32_t seedSuchThat(const std::function<bool()>& wanted) {
    std::uint32_t seed = 1;
    while (seedRandom(seed), !wanted()) ++seed;
    seedRandom(seed);
    return seed;
}

// What `run` writes to the standard error. (Emscripten's runtime cannot redirect a descriptor over Node's files: its
// dup2 closes the process's own stderr. The web build's writes to it are taken in its runtime instead.)
std::string stderrOf(const std::function<void()>& run);

class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of its own: saves and the graveyard never land in the source tree or meet another test's.
        playFolder_.emplace();
        setBackend(&screen);
        seedRandom(12345);
        setFixedClock(FixedTime);
        // A fresh program: a new game keeps where the last hero was underground, which no test may inherit.
        world = WorldState{};
        resetForNewGame();
    }
    void TearDown() override {
        setFixedClock(std::nullopt);
        releaseHeroLock();  // a test that ended in the middle of a game
        playFolder_.reset();
    }

    // Runs a screen until the scripted keys run out; true when it stopped for that reason (false: it returned).
    bool runUntilInputEnds(const std::function<void()>& screenLoop) {
        try {
            screenLoop();
        } catch (const EndOfInput&) {
            return true;
        }
        return false;
    }

    // True when the virtual screen shows the text somewhere.
    bool shows(const std::string& text) const { return screen.screenText().find(text) != std::string::npos; }

    // The files in the folder the test plays in.
    std::vector<std::string> files() const { return playFolder_->files(); }

    ScriptedBackend screen;

private:
    std::optional<TempFolder> playFolder_;
};

}  // namespace kelvrin::test
