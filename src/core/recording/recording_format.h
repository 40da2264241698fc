// A recorded game as text: a header, then one event a line, each an answer
// the game got from outside (a clock read, a key, a line, the end of the
// input, the window, a file's answer) or a check value of what it showed.
// docs/recording.md describes every line. Reading checks everything before
// the first event is played: a replay never meets a line it cannot use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/binary_file.h"

namespace kelvrin {

// The format's version, the first line's number.
constexpr int RecordingFormatVersion = 1;

// Bounds on what a recording may hold.
constexpr std::size_t MaxRecordingBytes = std::size_t{256} << 20;
constexpr std::size_t MaxRecordingLine = 2 * LargestFileRead + 4096;
constexpr int MaxWindowSide = 1000;

// The console as the game saw it at a key wait.
struct WindowState {
    int columns = 80;
    int rows = 25;
    bool pages = false;
    bool echoes = false;
    bool operator==(const WindowState&) const = default;
};

struct RecordingHeader {
    int format = RecordingFormatVersion;
    std::string gameVersion;
    // "terminal" or "stream": what the console did with the game's output.
    std::string mode = "stream";
    std::optional<std::uint32_t> seed;
    bool screenReader = false;  // played in the screen-reader mode
    WindowState window;  // at the start
};

enum class EventKind {
    Clock,   // a clock read: `value` seconds
    Exists,  // whether `path` is there: `ok`
    Read,    // a whole file: `status`, `bytes`
    Write,   // a file written whole: `ok`, and `bytes` when written
    Rename,  // `path` to `path2`: `ok`
    Remove,  // `ok`
    Lock,    // a hero's lock file: `lock`
    Notice,  // the notice of a small window was taken
    Key,     // `value` the key code, at `time`, typed at a screen of `check`
    Line,    // `path` the text, at `time`, typed at a screen of `check`
    Eof,     // the end of the input, at `time`, met at a screen of `check`
    Window,  // the console after a key wait, when it changed: `window`
    End,     // the game ended on its own, after drawing `check`: the last line
};

struct RecordingEvent {
    EventKind kind = EventKind::End;
    int lineNumber = 0;      // in the recording's text, from 1
    std::int64_t value = 0;  // seconds, or a key code
    std::int64_t time = 0;   // milliseconds since the start
    std::uint64_t check = 0;
    bool ok = false;
    ReadStatus status = ReadStatus::Missing;
    LockOutcome lock = LockOutcome::Taken;
    std::string path;   // or a line's text
    std::string path2;  // a rename's target
    std::vector<unsigned char> bytes;  // a file read, or written
    bool hasBytes = false;             // a write whose bytes are recorded
    WindowState window;
};

struct Recording {
    RecordingHeader header;
    std::vector<RecordingEvent> events;
    // The last line is "end": the game was not cut short.
    bool complete = false;
    // The check value on that line: what the game drew after its last key.
    std::uint64_t endCheck = 0;
    int endLine = 0;
};

// The lines of a recording, each ending in '\n'.
std::string formatHeader(const RecordingHeader& header);
std::string formatEvent(const RecordingEvent& event);

// Reads a whole recording; nullopt with a one-line reason ("line 12: ...",
// with control characters escaped) when it cannot be played.
std::optional<Recording> parseRecording(std::string_view text, std::string& error);

// A key as a recording names it ("t", "enter", "up", "U+0009" ...).
std::string keyName(int key);
// Text in double quotes with every control character, quote, backslash
// and byte of no UTF-8 character escaped: safe to show on a terminal.
std::string quoted(std::string_view text);
// The same, cut after 80 characters ("..." then): for a message, which a
// damaged recording could otherwise fill with a line of megabytes.
std::string quotedShort(std::string_view text);

}  // namespace kelvrin
