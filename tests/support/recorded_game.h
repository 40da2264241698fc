// Whole games recorded and replayed inside a test's process, through the game's own wiring of the seams.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "character/program.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/random.h"
#include "core/recording/session.h"

namespace kelvrin::test {

// As in a new process: no hero in play from an earlier test, the real clock beneath.
inline void freshProcess() {
    endGameInProgress();
    setFixedClock(std::nullopt);
}

// The program played on `console` (its keys queued) in the game of `seed`, recorded in the new file `path`, with a
// key every 250 ms (the same file every run).
inline void recordGame(Backend& console, const std::string& path, std::uint32_t seed) {
    freshProcess();
    RecordingSession recording;
    std::string error;
    if (!recording.open(path, error)) throw std::runtime_error(error);
    setClockSource(recording.clock(seededClock(seed)));
    recording.wrapFiles(systemFileAnswers());
    setBackend(&recording.wrap(console, seed, [millis = std::int64_t{0}]() mutable { return millis += 250; }));
    try {
        seedRandom(static_cast<std::uint32_t>(nowSeconds()));
        runProgram();
    } catch (const EndOfInput&) {
    }
    recording.finish();
    setBackend(nullptr);
    setFileAnswers(nullptr);
    setClockSource({});
}

// A recording's text replayed at once onto `screen`: the exit status and the verdict (1 and the reason when it cannot
// be read). `prepare` sees the replay before the game starts.
inline std::pair<int, std::string> replayGame(const std::string& text, Backend& screen,
                                              const std::function<void(Replay&)>& prepare = {},
                                              bool compareChecks = true) {
    std::string error;
    std::optional<Recording> recording = parseRecording(text, error);
    if (!recording) return {1, error};
    freshProcess();
    RecordingSession none;
    ReplaySession session(std::move(*recording), {0.0, compareChecks}, screen, none);
    if (prepare) prepare(session.replay());
    setBackend(&session.console());
    session.play([] { runProgram(); });
    setBackend(nullptr);
    return {session.replay().exitStatus(), session.replay().verdict()};
}

}  // namespace kelvrin::test
