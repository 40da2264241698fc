// The fixture of the rules and scenario tests: a scripted console in place
// of the terminal, a seeded game generator, a fixed clock and a fresh game.
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

class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every test plays in a folder of its own, so saves, crash saves and
        // the graveyard never land in the source tree or meet another test's.
        playFolder_.emplace();
        setBackend(&screen);
        seedRandom(12345);
        setFixedClock(FixedTime);
        // A fresh program: a new game keeps a few things of the last one
        // (where the hero was underground), which no test may inherit from
        // the test before it when all run in one process.
        world = WorldState{};
        resetForNewGame();
    }
    void TearDown() override {
        setFixedClock(std::nullopt);
        releaseHeroLock();  // a test that ended in the middle of a game
        playFolder_.reset();
    }

    // Runs a screen until the scripted keys run out; returns true when it
    // stopped for that reason (false: it returned on its own).
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
