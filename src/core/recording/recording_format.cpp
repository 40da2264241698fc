#include "core/recording/recording_format.h"

#include <charconv>

#include "core/utf8.h"
#include "platform/backend.h"

namespace kelvrin {

namespace {

constexpr std::string_view Magic = "kelvrin-recording";

struct KeyWord {
    int key;
    std::string_view name;
};
constexpr KeyWord KeyWords[] = {
    {KeyEnter, "enter"}, {KeyEscape, "escape"}, {KeyBackspace, "backspace"}, {' ', "space"},
    {KeyUp, "up"},       {KeyDown, "down"},     {KeyRight, "right"},         {KeyLeft, "left"},
};

// A value and its word in a recording.
template <typename T>
struct Named {
    T value;
    std::string_view name;
};

constexpr Named<LockOutcome> LockWords[] = {
    {LockOutcome::Taken, "taken"}, {LockOutcome::HeldElsewhere, "held"}, {LockOutcome::Impossible, "none"}};
constexpr Named<ReadStatus> StatusWords[] = {{ReadStatus::Ok, "ok"},
                                             {ReadStatus::Missing, "missing"},
                                             {ReadStatus::Unreadable, "unreadable"},
                                             {ReadStatus::TooLarge, "too-large"}};

template <typename T, std::size_t N>
bool fromName(const Named<T> (&table)[N], std::string_view word, T& value) {
    for (const Named<T>& entry : table) {
        if (entry.name == word) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

template <typename T, std::size_t N>
std::string_view nameOf(const Named<T> (&table)[N], T value) {
    for (const Named<T>& entry : table) {
        if (entry.value == value) return entry.name;
    }
    return "?";
}

constexpr char HexDigits[] = "0123456789abcdef";

// The value in `digits` lowercase hexadecimal digits, leading zeros kept
// (every key line has one: no formatting machinery here).
std::string hex(std::uint64_t value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = HexDigits[value & 15];
        value >>= 4;
    }
    return text;
}

const char* yesNo(bool ok, const char* yes, const char* no) { return ok ? yes : no; }

std::string windowWords(const WindowState& w) {
    return std::to_string(w.columns) + " " + std::to_string(w.rows) + " " + yesNo(w.pages, "pages", "no-pages") + " " +
           yesNo(w.echoes, "echoes", "no-echoes");
}

// The words of one line: bare words, and quoted texts unescaped.
class LineReader {
public:
    LineReader(std::string_view line) : line_(line) {}

    bool atEnd() {
        skipSpaces();
        return pos_ == line_.size();
    }
    // The next bare word; empty when there is none.
    std::string_view word() {
        skipSpaces();
        const std::size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
        return line_.substr(start, pos_ - start);
    }
    // The next quoted text; false when it is not one.
    bool text(std::string& out) {
        skipSpaces();
        if (pos_ >= line_.size() || line_[pos_] != '"') return false;
        ++pos_;
        out.clear();
        while (pos_ < line_.size()) {
            const char c = line_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= line_.size()) return false;
            const char e = line_[pos_++];
            if (e == '"' || e == '\\') {
                out += e;
            } else if (e == 'x' && pos_ + 2 <= line_.size()) {
                unsigned value = 0;
                const auto [end, ec] = std::from_chars(line_.data() + pos_, line_.data() + pos_ + 2, value, 16);
                if (ec != std::errc{} || end != line_.data() + pos_ + 2) return false;
                out += static_cast<char>(value);
                pos_ += 2;
            } else {
                return false;
            }
        }
        return false;
    }

private:
    void skipSpaces() {
        while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
    }
    std::string_view line_;
    std::size_t pos_ = 0;
};

template <typename Number>
bool number(std::string_view word, Number& out, Number low, Number high) {
    if (word.empty() || (word.size() > 1 && word[0] == '0')) return false;
    Number value{};
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || end != word.data() + word.size() || value < low || value > high) return false;
    out = value;
    return true;
}

bool parseKey(std::string_view word, std::int64_t& key) {
    for (const KeyWord& k : KeyWords) {
        if (word == k.name) {
            key = k.key;
            return true;
        }
    }
    if (word.size() > 2 && word.substr(0, 2) == "U+") {
        std::uint32_t value = 0;
        const auto [end, ec] = std::from_chars(word.data() + 2, word.data() + word.size(), value, 16);
        if (ec != std::errc{} || end != word.data() + word.size() || word.size() > 8 || value > 0x10FFFF) return false;
        key = value;
        return true;
    }
    std::size_t pos = 0;
    const char32_t cp = decodeUtf8(word, pos);
    if (pos != word.size() || cp < 0x21 || cp == 0x7F || (cp == U'\uFFFD' && word != "\uFFFD")) return false;
    key = cp;
    return true;
}

bool parseWindow(LineReader& words, WindowState& w) {
    if (!number(words.word(), w.columns, 1, MaxWindowSide) || !number(words.word(), w.rows, 1, MaxWindowSide))
        return false;
    const std::string_view pages = words.word();
    const std::string_view echoes = words.word();
    if (pages != "pages" && pages != "no-pages") return false;
    if (echoes != "echoes" && echoes != "no-echoes") return false;
    w.pages = pages == "pages";
    w.echoes = echoes == "echoes";
    return true;
}

bool parseHex(std::string_view word, std::vector<unsigned char>& bytes) {
    if (word.size() % 2 != 0) return false;
    bytes.resize(word.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto [end, ec] = std::from_chars(word.data() + 2 * i, word.data() + 2 * i + 2, bytes[i], 16);
        if (ec != std::errc{} || end != word.data() + 2 * i + 2) return false;
    }
    return true;
}

bool parseOk(std::string_view word, bool& ok) {
    if (word != "ok" && word != "failed") return false;
    ok = word == "ok";
    return true;
}

// Sixteen hexadecimal digits.
bool parseCheck(std::string_view word, std::uint64_t& check) {
    if (word.size() != 16) return false;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), check, 16);
    return ec == std::errc{} && end == word.data() + word.size();
}

constexpr std::int64_t MaxMillis = std::int64_t{1} << 50;
constexpr std::int64_t MaxSeconds = std::int64_t{1} << 62;

// One event line; false when it is not one.
bool parseEvent(std::string_view line, RecordingEvent& e) {
    LineReader words(line);
    const std::string_view kind = words.word();
    bool good = true;
    if (kind == "clock") {
        e.kind = EventKind::Clock;
        good = number(words.word(), e.value, -MaxSeconds, MaxSeconds);
    } else if (kind == "exists") {
        e.kind = EventKind::Exists;
        const bool named = words.text(e.path);
        const std::string_view answer = words.word();
        good = named && (answer == "yes" || answer == "no");
        e.ok = answer == "yes";
    } else if (kind == "read") {
        e.kind = EventKind::Read;
        good = words.text(e.path) && fromName(StatusWords, words.word(), e.status);
        good = good && (e.status != ReadStatus::Ok || parseHex(words.word(), e.bytes));
        good = good && e.bytes.size() <= LargestFileRead;
    } else if (kind == "write" || kind == "remove") {
        e.kind = kind == "write" ? EventKind::Write : EventKind::Remove;
        good = words.text(e.path) && parseOk(words.word(), e.ok);
        // What was written follows "ok" (recordings of 0.3.0 lack it).
        const std::string_view written = e.kind == EventKind::Write && e.ok ? words.word() : std::string_view();
        e.hasBytes = !written.empty();
        good = good && (!e.hasBytes || parseHex(written, e.bytes)) && e.bytes.size() <= LargestFileRead;
    } else if (kind == "rename") {
        e.kind = EventKind::Rename;
        good = words.text(e.path) && words.text(e.path2) && parseOk(words.word(), e.ok);
    } else if (kind == "lock") {
        e.kind = EventKind::Lock;
        good = words.text(e.path) && fromName(LockWords, words.word(), e.lock);
    } else if (kind == "notice") {
        e.kind = EventKind::Notice;
    } else if (kind == "end") {
        e.kind = EventKind::End;
        good = parseCheck(words.word(), e.check);
    } else if (kind == "key" || kind == "line" || kind == "eof") {
        e.kind = kind == "key" ? EventKind::Key : kind == "line" ? EventKind::Line : EventKind::Eof;
        good = number(words.word(), e.time, std::int64_t{0}, MaxMillis);
        if (e.kind == EventKind::Key) good = good && parseKey(words.word(), e.value);
        if (e.kind == EventKind::Line) good = good && words.text(e.path);
        good = good && parseCheck(words.word(), e.check);
    } else if (kind == "window") {
        e.kind = EventKind::Window;
        good = parseWindow(words, e.window);
    } else {
        return false;
    }
    return good && words.atEnd();
}

}  // namespace

std::string keyName(int key) {
    for (const KeyWord& k : KeyWords) {
        if (key == k.key) return std::string(k.name);
    }
    // A surrogate has no UTF-8 form: written as itself it would make a line no reader takes back.
    const bool surrogate = key >= 0xD800 && key <= 0xDFFF;
    if (key > 0x20 && key < 0x110000 && key != 0x7F && !(key >= 0x80 && key < 0xA0) && key != 0xFFFD && !surrogate)
        return encodeUtf8(static_cast<char32_t>(key));
    return "U+" + hex(static_cast<std::uint64_t>(key), 4);
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = decodeUtf8(text, pos);
        const bool broken = cp == U'\uFFFD' && pos - start == 1;
        if (cp == U'"' || cp == U'\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (broken || cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
            for (std::size_t i = start; i < pos; ++i) out += "\\x" + hex(static_cast<unsigned char>(text[i]), 2);
        } else {
            out.append(text.substr(start, pos - start));
        }
    }
    out += '"';
    return out;
}

std::string quotedShort(std::string_view text) {
    constexpr std::size_t Shown = 80;
    if (utf8Length(text) <= Shown) return quoted(text);
    return quoted(utf8Prefix(text, Shown)) + "...";
}

std::string formatHeader(const RecordingHeader& header) {
    std::string out = std::string(Magic) + " " + std::to_string(header.format) + "\n";
    out += "game " + header.gameVersion + "\n";
    out += "mode " + header.mode + "\n";
    if (header.seed) out += "seed " + std::to_string(*header.seed) + "\n";
    if (header.screenReader) out += "screen-reader\n";
    out += "window " + windowWords(header.window) + "\n";
    return out;
}

namespace {

// A space, then the bytes in hexadecimal, two digits each.
void appendBytes(std::string& out, const std::vector<unsigned char>& bytes) {
    out.reserve(out.size() + 2 * bytes.size() + 2);
    out += ' ';
    for (const unsigned char b : bytes) {
        out += HexDigits[b >> 4];
        out += HexDigits[b & 15];
    }
}

}  // namespace

std::string formatEvent(const RecordingEvent& e) {
    std::string out;
    switch (e.kind) {
        case EventKind::Clock: out = "clock " + std::to_string(e.value); break;
        case EventKind::Exists: out = "exists " + quoted(e.path) + yesNo(e.ok, " yes", " no"); break;
        case EventKind::Read:
            out = "read " + quoted(e.path) + " " + std::string(nameOf(StatusWords, e.status));
            if (e.status == ReadStatus::Ok) appendBytes(out, e.bytes);
            break;
        case EventKind::Write:
            out = "write " + quoted(e.path) + yesNo(e.ok, " ok", " failed");
            if (e.hasBytes) appendBytes(out, e.bytes);
            break;
        case EventKind::Rename:
            out = "rename " + quoted(e.path) + " " + quoted(e.path2) + yesNo(e.ok, " ok", " failed");
            break;
        case EventKind::Remove: out = "remove " + quoted(e.path) + yesNo(e.ok, " ok", " failed"); break;
        case EventKind::Lock:
            out = "lock " + quoted(e.path) + " " + std::string(nameOf(LockWords, e.lock));
            break;
        case EventKind::Notice: out = "notice"; break;
        case EventKind::Key:
            out = "key " + std::to_string(e.time) + " " + keyName(static_cast<int>(e.value)) + " " + hex(e.check, 16);
            break;
        case EventKind::Line:
            out = "line " + std::to_string(e.time) + " " + quoted(e.path) + " " + hex(e.check, 16);
            break;
        case EventKind::Eof: out = "eof " + std::to_string(e.time) + " " + hex(e.check, 16); break;
        case EventKind::Window: out = "window " + windowWords(e.window); break;
        case EventKind::End: out = "end " + hex(e.check, 16); break;
    }
    out += '\n';
    return out;
}

std::optional<Recording> parseRecording(std::string_view text, std::string& error) {
    if (text.size() > MaxRecordingBytes) {
        error = "the file is larger than any recording (" + std::to_string(MaxRecordingBytes >> 20) + " MiB)";
        return std::nullopt;
    }
    Recording rec;
    std::int64_t lastTime = 0;
    int lineNumber = 0;
    // The header's lines, in their order, then the events.
    enum class Expect { Magic, Game, Mode, SeedOrWindow, Events, Nothing } expect = Expect::Magic;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        const bool cutLine = end == std::string_view::npos;
        if (cutLine) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        const auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        };
        if (line.size() > MaxRecordingLine) return fail("longer than any line of a recording");
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (expect == Expect::Magic) {
            LineReader words(line);
            int format = 0;
            if (words.word() != Magic) {
                error = "not a recording of the game (its first line is not \"kelvrin-recording\")";
                return std::nullopt;
            }
            if (!number(words.word(), format, 0, 1000000) || !words.atEnd()) return fail("no format version");
            if (format != RecordingFormatVersion)
                return fail("a recording of format " + std::to_string(format) + "; this game plays format " +
                            std::to_string(RecordingFormatVersion));
            expect = Expect::Game;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;  // room for a person's notes
        if (cutLine && expect == Expect::Events) break;  // a write cut short by a kill: played up to here
        LineReader words(line);
        if (expect == Expect::Game || expect == Expect::Mode) {
            const std::string_view want = expect == Expect::Game ? "game" : "mode";
            const std::string_view value = words.word();
            const std::string_view argument = words.word();
            if (value != want || argument.empty() || argument.size() > 40 || !words.atEnd())
                return fail("expected \"" + std::string(want) + "\", found " + quotedShort(line));
            for (const char c : argument) {
                if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                    return fail("expected \"" + std::string(want) + "\", found " + quotedShort(line));
            }
            if (expect == Expect::Mode && argument != "terminal" && argument != "stream")
                return fail("a mode this game does not know: " + quotedShort(argument));
            (expect == Expect::Game ? rec.header.gameVersion : rec.header.mode) = std::string(argument);
            expect = expect == Expect::Game ? Expect::Mode : Expect::SeedOrWindow;
            continue;
        }
        if (expect == Expect::SeedOrWindow) {
            const std::string_view kind = words.word();
            if (kind == "seed" && !rec.header.seed) {
                std::uint32_t seed = 0;
                if (!number(words.word(), seed, 0u, 0xFFFFFFFFu) || !words.atEnd()) return fail("a bad seed");
                rec.header.seed = seed;
                continue;
            }
            if (kind == "screen-reader" && words.atEnd() && !rec.header.screenReader) {
                rec.header.screenReader = true;
                continue;
            }
            if (kind != "window" || !parseWindow(words, rec.header.window) || !words.atEnd())
                return fail("expected the starting window (at most 1000×1000), found " + quotedShort(line));
            expect = Expect::Events;
            continue;
        }
        if (expect == Expect::Nothing) return fail("an event after \"end\"");
        RecordingEvent event;
        event.lineNumber = lineNumber;
        if (!parseEvent(line, event)) return fail("not an event: " + quotedShort(line));
        if (event.kind == EventKind::Key || event.kind == EventKind::Line || event.kind == EventKind::Eof) {
            if (event.time < lastTime) return fail("a time before the one of the event before it");
            lastTime = event.time;
        }
        if (event.kind == EventKind::End) {
            rec.complete = true;
            rec.endCheck = event.check;
            rec.endLine = lineNumber;
            expect = Expect::Nothing;
            continue;
        }
        rec.events.push_back(std::move(event));
    }
    if (expect == Expect::Magic) {
        error = "not a recording of the game (it is empty)";
        return std::nullopt;
    }
    if (expect != Expect::Events && expect != Expect::Nothing) {
        error = "the header ends before the starting window";
        return std::nullopt;
    }
    return rec;
}

}  // namespace kelvrin
