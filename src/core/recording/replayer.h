// Playing a recording back: the game runs as it always does, and every
// question it asks of the outside (a clock read, a key, a line, the window,
// a file) is answered from the recording, in order. What it draws goes to
// the real screen (or a cast), and at each key wait its check value is
// compared with the recorded one. Nothing reaches the folder: writes are
// kept in memory, no lock is taken.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "core/binary_file.h"
#include "core/recording/check_value.h"
#include "core/recording/recording_format.h"
#include "platform/backend.h"

namespace kelvrin {

struct ReplayOptions {
    // How much faster than recorded; 0: at once. A wait is never longer
    // than MaxWait, and there is none where the screen is no terminal.
    double speed = 1.0;
    // Compare the recorded check values (not when a replay is recorded
    // anew, which writes new ones).
    bool compareChecks = true;
};

constexpr std::chrono::milliseconds MaxReplayWait{2000};

// Why a replay stopped before the recording's end.
enum class ReplayStop {
    None,
    Differs,    // a check value differs
    OutOfStep,  // the game asked for something the recording does not hold next
    Quit,       // the player pressed q
};

class Replay {
public:
    // `screen`: where the game is shown, and whose keys pause or stop the
    // replay (when it is a terminal and the replay is paced).
    Replay(Recording recording, ReplayOptions options, Backend& screen);

    // The answers; each takes the next event. Every way out of step ends
    // the game as the end of the input does (EndOfInput).
    std::int64_t clock();
    bool exists(const std::string& path);
    FileContents read(const std::string& path, std::size_t maxSize);
    bool fileResult(EventKind kind, const std::string& path, const std::string& path2);
    // A file written: its bytes must be the recorded ones.
    bool write(const std::string& path, const std::vector<unsigned char>& bytes);
    LockOutcome lock(const std::string& path);
    bool takeNotice();
    // At a key wait: compares the check value, waits as recorded, and gives
    // the key (KeyEnd at the recorded end of the input, or to stop).
    int key(std::uint64_t check);
    std::optional<std::string> line(std::uint64_t check);
    // The game ended on its own: what is left must be the last check.
    void gameEnded(std::uint64_t check);

    const WindowState& window() const { return window_; }
    // The time of the last key given, in milliseconds since the start.
    std::int64_t millis() const { return millis_; }
    // Called with each input (a key, a line, the end of the input) before
    // it is given: a cast's frames, a transcript's screens.
    void setOnInput(std::function<void(const RecordingEvent&)> onInput) { onInput_ = std::move(onInput); }
    // Called when the window changed at a key wait.
    void setOnWindow(std::function<void(const WindowState&)> onWindow) { onWindow_ = std::move(onWindow); }

    // The verdict for the standard error, and the exit status (0: every
    // check matched, the game ended as recorded or where the recording was
    // cut short).
    std::string verdict() const;
    int exitStatus() const;
    // The replay ended before the game did (stopped, or cut short).
    bool stopped() const { return stop_ != ReplayStop::None || cutShort_; }
    const Recording& recording() const { return recording_; }

private:
    const RecordingEvent* next();
    [[noreturn]] void outOfStep(const std::string& asked);
    // The recorded check value against the one computed now.
    void compare(std::uint64_t recorded, std::uint64_t check, int lineNumber, const std::string& before);
    void pace(std::int64_t time);
    void afterInput(const RecordingEvent& input);

    Recording recording_;
    ReplayOptions options_;
    Backend& screen_;
    std::size_t position_ = 0;
    WindowState window_;
    std::int64_t millis_ = 0;
    int checks_ = 0;
    int inputs_ = 0;
    bool ended_ = false;     // the game ended on its own
    bool cutShort_ = false;  // the recording ran out before the game asked no more
    ReplayStop stop_ = ReplayStop::None;
    std::string stopReason_;
    std::function<void(const RecordingEvent&)> onInput_;
    std::function<void(const WindowState&)> onWindow_;
};

// The console the game sees in a replay: the recorded window, the recorded
// keys; what it draws goes on to `screen`.
class ReplayBackend final : public CheckedBackend {
public:
    ReplayBackend(Replay& replay, Backend& screen) : CheckedBackend(screen), replay_(replay) {}

    int readKey() override;
    std::optional<std::string> readLine(std::size_t maxChars) override;
    // A terminal's game stays one when it is recorded anew from its replay.
    bool interactive() const override { return replay_.recording().header.mode == "terminal"; }
    bool echoesLines() const override { return replay_.window().echoes; }
    bool pagesOutput() const override { return replay_.window().pages; }
    int rows() const override { return replay_.window().rows; }
    int columns() const override { return replay_.window().columns; }
    bool takeSmallWindowNotice() override { return replay_.takeNotice(); }

    // The game ended on its own.
    void gameEnded() { replay_.gameEnded(lastCheck()); }

private:
    Replay& replay_;
};

// The folder as the recording saw it. Writes are kept here, never on the
// disk.
class ReplayFiles final : public FileAnswers {
public:
    explicit ReplayFiles(Replay& replay) : replay_(replay) {}

    bool exists(const std::string& path) override { return replay_.exists(path); }
    FileContents read(const std::string& path, std::size_t maxSize) override { return replay_.read(path, maxSize); }
    bool write(const std::string& path, const std::vector<unsigned char>& bytes) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    LockOutcome lock(const std::string& path) override { return replay_.lock(path); }

    // The files the replayed game wrote, as they stand at its end.
    const std::map<std::string, std::vector<unsigned char>>& written() const { return written_; }

private:
    Replay& replay_;
    std::map<std::string, std::vector<unsigned char>> written_;
};

}  // namespace kelvrin
