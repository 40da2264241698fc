// Whole games recorded and replayed inside a test's process, wired as the game's main does it: the recorder's
// wrappers around the console, the folder's answers and the clock, or the replay's answers in their place.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "character/program.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/random.h"
#include "core/recording/recorder.h"
#include "core/recording/replayer.h"

namespace kelvrin::test {

// The program on these seams, seeded from the clock, to its end or the end of its input, with no hero in play at its
// start, as in a new process; then the seams go back.
inline void runGameOn(Backend& console, FileAnswers& files, std::function<std::int64_t()> clock) {
    struct Restore {
        ~Restore() {
            setBackend(nullptr);
            setFileAnswers(nullptr);
            setClockSource({});
        }
    } const restore;
    setBackend(&console);
    setFileAnswers(&files);
    setFixedClock(std::nullopt);
    setClockSource(std::move(clock));
    endGameInProgress();
    try {
        seedRandom(static_cast<std::uint32_t>(nowSeconds()));
        runProgram();
    } catch (const EndOfInput&) {
    }
}

// The program played on `console` (its keys queued) in the game of `seed`, recorded in the new file `path`.
inline void recordGame(Backend& console, const std::string& path, std::uint32_t seed) {
    std::string error;
    const std::unique_ptr<Recorder> recorder = Recorder::create(path, error);
    if (!recorder) throw std::runtime_error(error);
    recorder->start({RecordingFormatVersion, KELVRIN_VERSION, "stream", seed, windowOf(console)});
    recorder->setClock([millis = std::int64_t{0}]() mutable { return millis += 250; });  // the same file every run
    RecordingFiles files(systemFileAnswers(), *recorder);
    RecordingBackend recorded(console, *recorder);
    runGameOn(recorded, files, recordedClock(*recorder, seededClock(seed)));
    recorder->finish(recorded.lastCheck());
}

// A recording's text replayed at once onto `screen`: the exit status and the verdict (1 and the reason when it cannot
// be read). `prepare` sees the replay before the game starts.
inline std::pair<int, std::string> replayGame(const std::string& text, Backend& screen,
                                              const std::function<void(Replay&)>& prepare = {},
                                              bool compareChecks = true) {
    std::string error;
    std::optional<Recording> recording = parseRecording(text, error);
    if (!recording) return {1, error};
    Replay replay(std::move(*recording), {0.0, compareChecks}, screen);
    if (prepare) prepare(replay);
    ReplayFiles files(replay);
    ReplayBackend console(replay, screen);
    runGameOn(console, files, [&replay] { return replay.clock(); });
    if (!replay.stopped()) console.gameEnded();
    return {replay.exitStatus(), replay.verdict()};
}

}  // namespace kelvrin::test
