#include "core/console.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "core/utf8.h"
#include "platform/crash_handler.h"

namespace kelvrin {

namespace {

Backend* current = nullptr;

// The prompt shown when a burst of output would scroll unread text away.
constexpr std::string_view MorePrompt = "-- dalej --";

constexpr std::string_view SmallWindowNotice =
    "Okno terminala ma mniej niż 80×25 znaków; część ekranu gry może być niewidoczna.\n\n(ok)";

// Follows the cursor through everything written, as the terminal moves it
// (automatic wrap at the last column, scrolling at the bottom), so the
// console knows when unread text is about to leave the top of the screen.
struct CursorTracker {
    int row = 0;
    int col = 0;
    int scrollTop = 0;
    int firstUnread = 0;   // the highest row holding text not yet seen
    bool morePending = false;  // the screen is full of unread text

    void newline(int rows) {
        col = 0;
        if (row < rows - 1) {
            ++row;
        } else {
            --firstUnread;
        }
        // Every row of the scrolling area above the cursor holds unread
        // text: whatever comes next must wait for the player first.
        if (row == rows - 1 && firstUnread <= scrollTop) morePending = true;
    }
};

CursorTracker tracker;

bool readerMode = false;
ReaderTeller statusTeller;
ReaderTeller lookTeller;

ReaderTeller* tellerOf(char32_t key) {
    if (key == ReaderStatusKey) return &statusTeller;
    if (key == ReaderLookKey) return &lookTeller;
    return nullptr;
}

// A reader's key, in the screen-reader mode: its teller speaks, and the
// key is the reader's, not the game's.
bool answeredForReader(int key) {
    if (!readerMode || key < 0) return false;
    const ReaderTeller* teller = tellerOf(static_cast<char32_t>(key));
    if (teller == nullptr) return false;
    if (*teller) tellReader((*teller)());
    current->flush();
    return true;
}

std::string vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) return {};
    if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, needed);
    std::string out(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

// The window may have changed size while the game waited for input: the
// terminal keeps its cursor inside the new size, and so does the tracker.
void followWindowSize() {
    tracker.row = std::min(tracker.row, current->rows() - 1);
    tracker.col = std::min(tracker.col, current->columns());
}

// Every key the game reads passes here (and every line through readLine):
// the hero is whole while the game waits, so a crash handler on another
// thread gets its copy of him here.
int readRawKey(const InputOffer& offer) {
    for (;;) {
        gameWaitsForInput();
        current->offerInput(offer);
        const int key = current->readKey();
        followWindowSize();
        if (key == KeyEnd) throw EndOfInput{};
        if (!answeredForReader(key)) return key;
    }
}

void pauseForMore() {
    current->setColour(ColourNormal);
    current->write(MorePrompt);
    current->flush();
    readRawKey(InputOffer{});
    current->write("\r" + std::string(MorePrompt.size(), ' ') + "\r");
    tracker.firstUnread = tracker.row;
    tracker.morePending = false;
}

// Writes text to the backend. When the screen is full of text the player
// has not seen, the next character waits behind a "-- dalej --" prompt on
// the bottom row, like `more`.
void emit(std::string_view text) {
    const bool paging = current->pagesOutput();
    const int rows = current->rows();
    const int cols = current->columns();
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t charStart = pos;
        const char32_t cp = decodeUtf8(text, pos);
        if (cp == U'\r') {
            tracker.col = 0;
            continue;
        }
        // The terminal wraps just before it writes a character past the end.
        if (cp != U'\n' && tracker.col >= cols) tracker.newline(rows);
        if (tracker.morePending) {
            tracker.morePending = false;
            if (paging) {
                current->write(text.substr(start, charStart - start));
                start = charStart;
                pauseForMore();
            }
        }
        if (cp == U'\n') {
            tracker.newline(rows);
        } else {
            ++tracker.col;
        }
    }
    current->write(text.substr(start));
}

}  // namespace

void setBackend(Backend* backend) {
    current = backend;
    setCrashConsole(backend);
    tracker = CursorTracker{};
}

Backend& backend() { return *current; }

void printText(std::string_view text) { emit(text); }

void print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = vformat(format, args);
    va_end(args);
    emit(text);
}

void printColoured(int colour, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = vformat(format, args);
    va_end(args);
    setColour(colour);
    emit(text);
    setColour(ColourNormal);
}

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    return text;
}

namespace {

void clearWholeScreen() {
    current->setColour(ColourNormal);
    current->clear();
    // The scrolling area stays as it was: a fight keeps its status bar row
    // fixed through the screens it clears.
    tracker.row = tracker.col = tracker.firstUnread = 0;
    tracker.morePending = false;
}

}  // namespace

void clearScreen() {
    // A window smaller than the game's screen, at start or after a change
    // of size, is told of before the next screen; the game goes on
    // whatever the size.
    while (current->takeSmallWindowNotice()) {
        clearWholeScreen();
        emit(SmallWindowNotice);
        pauseOk();
    }
    clearWholeScreen();
}

void setColour(int colour) { current->setColour(colour); }

namespace {

int waitForKey(const InputOffer& offer) {
    current->flush();
    tracker.firstUnread = tracker.row;
    tracker.morePending = false;
    return readRawKey(offer);
}

}  // namespace

int getKey(std::string_view keys, bool arrows) {
    return waitForKey({keys.empty() && !arrows ? InputOffer::AnyKey : InputOffer::Keys, keys, arrows});
}

bool askYesNo() {
    for (;;) {
        const int key = getKey("tn");
        if (key == 't') return true;
        if (key == 'n') return false;
    }
}

int askKey(std::string_view keys) {
    std::vector<char32_t> allowed;
    for (std::size_t pos = 0; pos < keys.size();) allowed.push_back(decodeUtf8(keys, pos));
    for (;;) {
        const int key = getKey(keys);
        if (key >= 0 && std::find(allowed.begin(), allowed.end(), static_cast<char32_t>(key)) != allowed.end())
            return key;
    }
}

void pauseOk() { waitForKey(InputOffer{}); }

std::string readLine(std::size_t maxChars, std::string_view commands, InputOffer::Kind kind) {
    current->flush();
    gameWaitsForInput();
    current->offerInput({kind, commands, false});
    std::optional<std::string> line = current->readLine(maxChars);
    followWindowSize();
    if (!line) throw EndOfInput{};
    if (current->echoesLines()) {
        // The typed line is on the screen already; only follow the cursor.
        std::size_t pos = 0;
        while (pos < line->size()) {
            decodeUtf8(*line, pos);
            if (tracker.col >= current->columns()) tracker.newline(current->rows());
            ++tracker.col;
        }
        tracker.newline(current->rows());
    }
    tracker.firstUnread = tracker.row;
    tracker.morePending = false;
    return *line;
}

bool readNumber(int& value) {
    for (;;) {
        const std::string line = readLine(200, {}, InputOffer::Number);
        std::size_t pos = line.find_first_not_of(" \t\r\v\f");
        if (pos == std::string::npos) continue;  // scanf skips blank lines
        const char* begin = line.c_str() + pos;
        char* end = nullptr;
        errno = 0;
        const long number = std::strtol(begin, &end, 10);
        if (end == begin) return false;
        // A sign alone ("-x") parses as nothing; strtol reports that too.
        if (errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
        value = static_cast<int>(number);
        return true;
    }
}

void putCells(int row, int col, int width, const std::vector<Cell>& cells) {
    current->putCells(row, col, width, cells);
}

void moveCursor(int row, int col) {
    current->moveCursor(row, col);
    tracker.row = row;
    tracker.col = col;
    tracker.firstUnread = std::min(tracker.firstUnread, row);
    tracker.morePending = false;
}

void setScrollTop(int top) {
    current->setScrollRegion(top, current->rows() - 1);
    tracker.scrollTop = top;
}

void setScreenReader(bool on) { readerMode = on; }
bool screenReader() { return readerMode; }

void tellReader(std::string_view text) {
    if (readerMode && !text.empty()) current->readerText(text);
}

ReaderTellerScope::ReaderTellerScope(char32_t key, ReaderTeller teller) : key_(key) {
    ReaderTeller* slot = tellerOf(key);
    previous_ = std::move(*slot);
    *slot = std::move(teller);
}

ReaderTellerScope::~ReaderTellerScope() { *tellerOf(key_) = std::move(previous_); }

int cursorRow() { return tracker.row; }
int cursorColumn() { return tracker.col; }

}  // namespace kelvrin
