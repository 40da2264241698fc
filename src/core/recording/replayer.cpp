#include "core/recording/replayer.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "core/console.h"
#include "core/utf8.h"

namespace kelvrin {

namespace {

std::string hex16(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// What an event answers, for a message.
std::string described(const RecordingEvent& e) {
    switch (e.kind) {
        case EventKind::Clock: return "a clock read";
        case EventKind::Exists: return "whether " + quotedShort(e.path) + " is there";
        case EventKind::Read: return "a read of " + quotedShort(e.path);
        case EventKind::Write: return "a write of " + quotedShort(e.path);
        case EventKind::Rename: return "a rename of " + quotedShort(e.path) + " to " + quotedShort(e.path2);
        case EventKind::Remove: return "a removal of " + quotedShort(e.path);
        case EventKind::Lock: return "a lock of " + quotedShort(e.path);
        case EventKind::Notice: return "the small window's notice";
        case EventKind::Key: return "a key";
        case EventKind::Line: return "a typed line";
        case EventKind::Eof: return "the end of the input";
        case EventKind::Window: return "a change of the window";
        case EventKind::End: return "the end";
    }
    return "?";
}

}  // namespace

Replay::Replay(Recording recording, ReplayOptions options, Backend& screen)
    : recording_(std::move(recording)), options_(options), screen_(screen), window_(recording_.header.window) {}

const RecordingEvent* Replay::next() {
    if (position_ >= recording_.events.size()) return nullptr;
    return &recording_.events[position_];
}

void Replay::outOfStep(const std::string& asked) {
    const RecordingEvent* e = next();
    if (e == nullptr) {
        // Whatever the game asks after the last whole event of a recording
        // that was cut short: the replay ends there.
        cutShort_ = true;
    } else if (stop_ == ReplayStop::None) {
        stop_ = ReplayStop::OutOfStep;
        stopReason_ = "out of step at line " + std::to_string(e->lineNumber) + ": the game asked for " + asked +
                      ", the recording holds " + described(*e);
    }
    throw EndOfInput{};
}

std::int64_t Replay::clock() {
    const RecordingEvent* e = next();
    if (e == nullptr || e->kind != EventKind::Clock) outOfStep("a clock read");
    ++position_;
    return e->value;
}

bool Replay::exists(const std::string& path) {
    const RecordingEvent* e = next();
    if (e == nullptr || e->kind != EventKind::Exists || e->path != path)
        outOfStep("whether " + quotedShort(path) + " is there");
    ++position_;
    return e->ok;
}

FileContents Replay::read(const std::string& path, std::size_t maxSize) {
    const RecordingEvent* e = next();
    if (e == nullptr || e->kind != EventKind::Read || e->path != path || e->bytes.size() > maxSize)
        outOfStep("a read of " + quotedShort(path) + " of at most " + std::to_string(maxSize) + " bytes");
    ++position_;
    return FileContents{e->status, e->bytes};
}

bool Replay::fileResult(EventKind kind, const std::string& path, const std::string& path2) {
    RecordingEvent asked;
    asked.kind = kind;
    asked.path = path;
    asked.path2 = path2;
    const RecordingEvent* e = next();
    if (e == nullptr || e->kind != kind || e->path != path || e->path2 != path2) outOfStep(described(asked));
    ++position_;
    return e->ok;
}

bool Replay::write(const std::string& path, const std::vector<unsigned char>& bytes) {
    const RecordingEvent* e = next();
    const bool ok = fileResult(EventKind::Write, path, "");
    // Recordings of version 0.3.0 hold no bytes of what was written.
    if (!ok || !e->hasBytes || !options_.compareChecks || e->bytes == bytes) return ok;
    const auto [recorded, now] = std::mismatch(e->bytes.begin(), e->bytes.end(), bytes.begin(), bytes.end());
    stop_ = ReplayStop::Differs;
    stopReason_ = "the file " + quotedShort(path) + " written at line " + std::to_string(e->lineNumber) +
                  " differs from the recorded one at byte " + std::to_string(recorded - e->bytes.begin()) + " (from 0; " +
                  std::to_string(e->bytes.size()) + " bytes recorded, " + std::to_string(bytes.size()) + " now)";
    throw EndOfInput{};
}

LockOutcome Replay::lock(const std::string& path) {
    const RecordingEvent* e = next();
    if (e == nullptr || e->kind != EventKind::Lock || e->path != path) outOfStep("a lock of " + quotedShort(path));
    ++position_;
    return e->lock;
}

bool Replay::takeNotice() {
    const RecordingEvent* e = next();
    if (e == nullptr || e->kind != EventKind::Notice) return false;
    ++position_;
    return true;
}

void Replay::compare(std::uint64_t recorded, std::uint64_t check, int lineNumber, const std::string& before) {
    ++checks_;
    if (!options_.compareChecks || recorded == check) return;
    stop_ = ReplayStop::Differs;
    stopReason_ = "the screen differs at line " + std::to_string(lineNumber) + " (input " +
                  std::to_string(inputs_ + 1) + ", " + before + "): check " + hex16(recorded) + " recorded, " +
                  hex16(check) + " now";
    throw EndOfInput{};
}

// Waits as long as the recording did before this input (faster with the
// speed, never more than MaxReplayWait), watching the player's keys: space
// pauses until the next space, q stops.
void Replay::pace(std::int64_t time) {
    if (options_.speed <= 0 || !screen_.interactive()) return;
    using Clock = std::chrono::steady_clock;
    const double wanted = static_cast<double>(time - millis_) / options_.speed;
    const auto wait = std::chrono::milliseconds(
        static_cast<std::int64_t>(std::min(wanted, static_cast<double>(MaxReplayWait.count()))));
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return;
        int key = screen_.readKeyWithin(static_cast<int>(left));
        if (key == ' ') {
            do key = screen_.readKeyWithin(-1);
            while (key != ' ' && key != 'q' && key != KeyEnd);
        }
        if (key == 'q' || key == KeyEnd) {
            stop_ = ReplayStop::Quit;
            throw EndOfInput{};
        }
    }
}

void Replay::afterInput(const RecordingEvent& input) {
    if (onInput_) onInput_(input);
    millis_ = input.time;
    ++inputs_;
    ++position_;
    const RecordingEvent* e = next();
    if (e != nullptr && e->kind == EventKind::Window) {
        window_ = e->window;
        ++position_;
        if (onWindow_) onWindow_(window_);
    }
}

int Replay::key(std::uint64_t check) {
    const RecordingEvent* e = next();
    if (e == nullptr || (e->kind != EventKind::Key && e->kind != EventKind::Eof)) outOfStep("a key");
    compare(e->check, check, e->lineNumber,
            e->kind == EventKind::Key ? "before the key " + keyName(static_cast<int>(e->value)) : described(*e));
    pace(e->time);
    const int key = e->kind == EventKind::Key ? static_cast<int>(e->value) : KeyEnd;
    afterInput(*e);
    return key;
}

std::optional<std::string> Replay::line(std::uint64_t check) {
    const RecordingEvent* e = next();
    if (e == nullptr || (e->kind != EventKind::Line && e->kind != EventKind::Eof)) outOfStep("a typed line");
    compare(e->check, check, e->lineNumber,
            e->kind == EventKind::Line ? "before the line " + quotedShort(e->path) : described(*e));
    pace(e->time);
    std::optional<std::string> line;
    if (e->kind == EventKind::Line) line = e->path;
    afterInput(*e);
    return line;
}

void Replay::gameEnded(std::uint64_t check) {
    ended_ = true;
    try {
        if (next() != nullptr) outOfStep("nothing more (the game has ended)");
        if (!recording_.complete) {
            cutShort_ = true;  // cut just before its last line
            return;
        }
        compare(recording_.endCheck, check, recording_.endLine, "after the last input");
    } catch (const EndOfInput&) {
        // The verdict says what differs.
    }
}

std::string Replay::verdict() const {
    const std::string counts = std::to_string(checks_) + " checks, " + std::to_string(inputs_) + " keys and lines";
    switch (stop_) {
        case ReplayStop::Differs:
        case ReplayStop::OutOfStep: return stopReason_ + ".";
        case ReplayStop::Quit: return "stopped by the player after " + counts + ", every check matching.";
        case ReplayStop::None: break;
    }
    if (!options_.compareChecks) return "played " + counts + " without comparing the checks.";
    if (cutShort_)
        return "the recording was cut short (a game killed or crashed): played to its last whole event; " + counts +
               ", every check matching.";
    return "every check matched: " + counts + ".";
}

int Replay::exitStatus() const { return stop_ == ReplayStop::None && (ended_ || cutShort_) ? 0 : 1; }

int ReplayBackend::readKey() {
    screen_.flush();
    return replay_.key(lastCheck());
}

std::optional<std::string> ReplayBackend::readLine(std::size_t maxChars) {
    screen_.flush();
    std::optional<std::string> line = replay_.line(lastCheck());
    if (!line) return line;
    // A backend never gives more; a longer line is cut as it would be.
    if (utf8Length(*line) > maxChars) *line = utf8Prefix(*line, maxChars);
    // The player saw the line as typed: so does the replay's viewer.
    if (replay_.window().echoes) {
        screen_.write(*line);
        screen_.write("\n");
    }
    return line;
}

bool ReplayFiles::write(const std::string& path, const std::vector<unsigned char>& bytes) {
    const bool ok = replay_.write(path, bytes);
    if (ok) written_[path] = bytes;
    return ok;
}

bool ReplayFiles::rename(const std::string& from, const std::string& to) {
    const bool ok = replay_.fileResult(EventKind::Rename, from, to);
    if (ok) {
        const auto found = written_.find(from);
        if (found != written_.end()) {
            written_[to] = std::move(found->second);
            written_.erase(from);
        }
    }
    return ok;
}

bool ReplayFiles::remove(const std::string& path) {
    const bool ok = replay_.fileResult(EventKind::Remove, path, "");
    if (ok) written_.erase(path);
    return ok;
}

}  // namespace kelvrin
