// The wiring of a recording and of a replay around the game: which seam
// gets which wrapper, in which order. The game's start-up and the tests
// share it, so that a test records and replays exactly as the game does.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/recording/recorder.h"
#include "core/recording/replayer.h"

namespace kelvrin {

// A recording made as the game is played: the file first (refused before
// anything is shown), then the wrappers around the clock, the folder and
// the console. Without a file it wraps nothing and passes everything on.
class RecordingSession {
public:
    // Makes the new file; false with the reason when it cannot be.
    bool open(const std::string& path, std::string& error);
    bool active() const { return recorder_ != nullptr; }

    // `source`, each read recorded.
    std::function<std::int64_t()> clock(std::function<std::int64_t()> source);
    // Puts the recorded folder in use, passing each question on to `inner`.
    void wrapFiles(FileAnswers& inner);
    // Writes the header (the console's mode and window, the seed) and gives
    // the console the game is to use. Key times come from `millis` when
    // given (a replay's), else from the real time.
    Backend& wrap(Backend& inner, std::optional<std::uint32_t> seed, std::function<std::int64_t()> millis = {});
    // The game ended on its own: the last check and "end".
    void finish();
    // The console wrapper goes, before the console it wraps.
    void releaseConsole() { console_.reset(); }
    // Where the recording stopped when the disk refused it; empty if not.
    std::string failure() const { return recorder_ ? recorder_->failure() : std::string(); }

private:
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<RecordingFiles> files_;
    std::unique_ptr<RecordingBackend> console_;
};

// A replay's parts, put in place of the folder and the clock while it
// lives (through `anew` when the replayed game is recorded again).
class ReplaySession {
public:
    ReplaySession(Recording recording, ReplayOptions options, Backend& screen, RecordingSession& anew);
    ~ReplaySession();
    ReplaySession(const ReplaySession&) = delete;
    ReplaySession& operator=(const ReplaySession&) = delete;

    // The console the game is to use.
    Backend& console() { return *console_; }
    Replay& replay() { return replay_; }
    // Runs `program` (the game from its start-up seed on) to its end, or to
    // where the replay stops.
    void play(const std::function<void()>& program);

private:
    Replay replay_;
    ReplayFiles files_;
    ReplayBackend replayConsole_;
    RecordingSession& anew_;
    Backend* console_ = nullptr;
};

}  // namespace kelvrin
