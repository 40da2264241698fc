#include "platform/windows/console_backend.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/utf8.h"
#include "platform/interrupt.h"

namespace kelvrin {

namespace {

// The modes the game's buffer draws with when it understands escape
// sequences. Without DISABLE_NEWLINE_AUTO_RETURN the console moves to the
// next line as soon as the last column is written (a terminal waits for the
// next character, and the game's screens rely on that); with it, a line
// feed no longer returns to the first column, so '\n' is sent as "\r\n".
constexpr DWORD SequenceMode =
    ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING | DISABLE_NEWLINE_AUTO_RETURN;
constexpr DWORD CellMode = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT;

// Keys one at a time without echo; Ctrl-C as a key (the game ends through
// interruptGame, on the game's own thread); changes of size reported. Line
// input, echo, mouse events and keys as escape sequences are off.
constexpr DWORD InputModeOff = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT | ENABLE_MOUSE_INPUT |
                               ENABLE_VIRTUAL_TERMINAL_INPUT;
constexpr DWORD InputModeOn = ENABLE_WINDOW_INPUT;

// Shows the cursor, which the console's own buffer may have hidden.
constexpr std::string_view EnterScreen = "\x1b[?25h";

// The console as the game found it, and whether the game holds it now.
// Guarded by the lock: the console control handler may give the console
// back on a thread of its own while the game thread writes. The lock is
// recursive, so that a fault in the middle of a write can still give it
// back on the same thread.
struct FoundConsole {
    HANDLE in = INVALID_HANDLE_VALUE;
    HANDLE out = INVALID_HANDLE_VALUE;
    DWORD inMode = 0;
    DWORD outMode = 0;
    bool haveOutMode = false;
    WORD attributes = 7;
    bool haveAttributes = false;
    CONSOLE_CURSOR_INFO cursor{};
    bool haveCursor = false;
    UINT inputCodePage = 0;
    UINT outputCodePage = 0;
};

std::recursive_mutex& consoleLock() {
    static std::recursive_mutex lock;
    return lock;
}

FoundConsole found;
bool taken = false;

// The window's size and top left corner from a buffer's information.
int windowRows(const CONSOLE_SCREEN_BUFFER_INFO& info) { return info.srWindow.Bottom - info.srWindow.Top + 1; }
int windowColumns(const CONSOLE_SCREEN_BUFFER_INFO& info) { return info.srWindow.Right - info.srWindow.Left + 1; }

// Whether the buffer really interprets escape sequences. Some consoles take
// the mode and still show the sequences as text (wine does), so one that
// moves nothing is written to the buffer, not yet shown, and the cursor
// must not have moved.
bool interpretsSequences(HANDLE buffer) {
    ConsoleCalls& calls = consoleCalls();
    if (!calls.setMode(buffer, SequenceMode)) return false;
    DWORD written = 0;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (calls.writeText(buffer, L"\x1b[m", 3, &written, nullptr) && calls.getInfo(buffer, &info) &&
        info.dwCursorPosition.X == 0 && info.dwCursorPosition.Y == 0)
        return true;
    calls.setMode(buffer, CellMode);
    return false;
}

// UTF-8 as the console's UTF-16, each '\n' as "\r\n".
std::wstring consoleText(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size() + utf8.size() / 8);
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = decodeUtf8(utf8, pos);
        if (cp == U'\n') {
            wide += L"\r\n";
        } else if (cp >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(cp);
        }
    }
    return wide;
}

}  // namespace

ConsoleCalls& consoleCalls() {
    static ConsoleCalls calls;
    return calls;
}

void ConsoleBackend::restoreAfterCrash() { releaseConsole(); }

void releaseConsole() {
    const std::lock_guard<std::recursive_mutex> hold(consoleLock());
    if (!taken) return;
    taken = false;
    ConsoleCalls& calls = consoleCalls();
    calls.setActiveBuffer(found.out);
    calls.setMode(found.in, found.inMode);
    if (found.haveOutMode) calls.setMode(found.out, found.outMode);
    if (found.haveAttributes) calls.setAttribute(found.out, found.attributes);
    if (found.haveCursor) calls.setCursor(found.out, &found.cursor);
    if (found.inputCodePage != 0) calls.setInputCodePage(found.inputCodePage);
    if (found.outputCodePage != 0) calls.setOutputCodePage(found.outputCodePage);
}

ConsoleBackend::ConsoleBackend(HANDLE in, HANDLE out, bool screenReader) : in_(in), out_(out) {
    ConsoleCalls& calls = consoleCalls();
    DWORD mode = 0;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!calls.getMode(in_, &mode) || !calls.getMode(out_, &mode) || !calls.getInfo(out_, &info))
        throw std::runtime_error("not a console");
    if (screenReader) {
        // Plain lines on the console's own buffer, as a command's output:
        // text alone, which any console writes as it is.
        setPlainOutput();
        buffer_ = out_;
        drawing_ = Drawing::Sequences;
    } else {
        buffer_ = calls.createBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     CONSOLE_TEXTMODE_BUFFER, nullptr);
        if (buffer_ == INVALID_HANDLE_VALUE || buffer_ == nullptr) throw std::runtime_error("no screen buffer");
        // The game's buffer is as large as the window: nothing to scroll to.
        calls.setBufferSize(buffer_,
                            COORD{static_cast<SHORT>(windowColumns(info)), static_cast<SHORT>(windowRows(info))});
        drawing_ = interpretsSequences(buffer_) ? Drawing::Sequences : Drawing::Cells;
    }
    setColourSupport(colourSupportFromEnvironment());
    followConsoleSize();
    try {
        take();
    } catch (...) {
        if (buffer_ != out_) calls.closeHandle(buffer_);
        throw;
    }
    active_ = true;
    // A program that ends through exit() rather than by leaving main gives
    // the console back too.
    static const bool atExit = std::atexit(releaseConsole) == 0;
    (void)atExit;
    beginScreen(drawing_ == Drawing::Sequences ? EnterScreen : std::string_view());
}

ConsoleBackend::~ConsoleBackend() { restore(); }

void ConsoleBackend::restore() {
    if (!active_) return;
    active_ = false;
    flush();
    releaseConsole();
    if (buffer_ != out_) consoleCalls().closeHandle(buffer_);
}

void ConsoleBackend::take() {
    ConsoleCalls& calls = consoleCalls();
    const std::lock_guard<std::recursive_mutex> hold(consoleLock());
    FoundConsole now;
    now.in = in_;
    now.out = out_;
    if (!calls.getMode(in_, &now.inMode)) throw std::runtime_error("not a console");
    now.haveOutMode = calls.getMode(out_, &now.outMode) != 0;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (calls.getInfo(out_, &info)) {
        now.attributes = info.wAttributes;
        now.haveAttributes = true;
    }
    now.haveCursor = calls.getCursor(out_, &now.cursor) != 0;
    now.inputCodePage = calls.getInputCodePage();
    now.outputCodePage = calls.getOutputCodePage();
    if (!calls.setMode(in_, (now.inMode & ~InputModeOff) | InputModeOn))
        throw std::runtime_error("the console refused the game's input mode");
    if (buffer_ != out_ && !calls.setActiveBuffer(buffer_)) {
        calls.setMode(in_, now.inMode);
        throw std::runtime_error("the console refused the game's screen");
    }
    found = now;
    taken = true;
}

bool ConsoleBackend::followConsoleSize() {
    // Plain lines go on in the console's own buffer, whatever its size.
    if (plainOutput()) return false;
    ConsoleCalls& calls = consoleCalls();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!calls.getInfo(buffer_, &info)) return false;
    const int rows = windowRows(info);
    const int cols = windowColumns(info);
    if (info.dwSize.X != cols || info.dwSize.Y != rows) {
        // The window changed and the buffer did not follow: make them one
        // again, so the screen never scrolls inside the window.
        if (calls.setBufferSize(buffer_, COORD{static_cast<SHORT>(cols), static_cast<SHORT>(rows)}))
            calls.getInfo(buffer_, &info);
    }
    origin_ = COORD{info.srWindow.Left, info.srWindow.Top};
    return followWindowSize(rows, cols);
}

bool ConsoleBackend::send(std::string_view bytes) {
    const std::lock_guard<std::recursive_mutex> hold(consoleLock());
    // Given back (the game is ending on another thread): nothing to show.
    if (!taken) return true;
    return drawing_ == Drawing::Sequences ? sendSequences(bytes) : sendCells();
}

bool ConsoleBackend::sendSequences(std::string_view bytes) {
    const std::wstring text = consoleText(bytes);
    const wchar_t* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 20));
        if (!consoleCalls().writeText(buffer_, data, part, &written, nullptr) || written == 0) return false;
        data += written;
        left -= written;
    }
    return true;
}

bool ConsoleBackend::sendCells() {
    // The escape sequences are not needed here: the model they were made
    // from holds the screen they draw.
    const VirtualScreen& shown = screen();
    const int rows = shown.rows();
    const int cols = shown.columns();
    const bool colours = colourSupport() != ColourSupport::None;
    std::vector<CHAR_INFO> cells(static_cast<std::size_t>(rows * cols));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const Cell& cell = shown.cell(r, c);
            CHAR_INFO& out = cells[static_cast<std::size_t>(r * cols + c)];
            char32_t ch = cell.ch;
            if (ch < 0x20 || ch == 0x7F) ch = U' ';
            if (ch > 0xFFFF) ch = U'?';  // one cell holds one UTF-16 unit
            out.Char.UnicodeChar = static_cast<wchar_t>(ch);
            // Without colours, cells on a background in the console's reverse video.
            const int plain = hasBackground(cell.attr) ? 7 | COMMON_LVB_REVERSE_VIDEO : 7;
            out.Attributes = static_cast<WORD>(colours ? cell.attr : plain);
        }
    }
    SMALL_RECT region{origin_.X, origin_.Y, static_cast<SHORT>(origin_.X + cols - 1),
                      static_cast<SHORT>(origin_.Y + rows - 1)};
    ConsoleCalls& calls = consoleCalls();
    if (!calls.writeCells(buffer_, cells.data(), COORD{static_cast<SHORT>(cols), static_cast<SHORT>(rows)}, COORD{0, 0},
                          &region))
        return false;
    // Right after the last column the cursor waits on that column.
    const int col = std::min(shown.cursorColumn(), cols - 1);
    calls.moveCursor(buffer_, COORD{static_cast<SHORT>(origin_.X + col), static_cast<SHORT>(origin_.Y + shown.cursorRow())});
    return true;
}

void ConsoleBackend::takeRecord(const INPUT_RECORD& record) {
    if (record.EventType == KEY_EVENT) {
        takeKey(record.Event.KeyEvent);
    } else if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) {
        if (followConsoleSize() && !outputDead()) redraw();
    }
}

void ConsoleBackend::takeKey(const KEY_EVENT_RECORD& key) {
    const wchar_t ch = key.uChar.UnicodeChar;
    if (!key.bKeyDown) {
        // A character typed as Alt and digits on the keypad comes with the
        // release of Alt; every other release is no key.
        if (key.wVirtualKeyCode == VK_MENU && ch != 0) addCharacter(ch, 1);
        return;
    }
    const int count = std::max<int>(key.wRepeatCount, 1);
    if (ch == 0) {
        switch (key.wVirtualKeyCode) {
            case VK_UP: return addKey(KeyUp, count);
            case VK_DOWN: return addKey(KeyDown, count);
            case VK_RIGHT: return addKey(KeyRight, count);
            case VK_LEFT: return addKey(KeyLeft, count);
            default: return;  // Shift, Ctrl, the F-keys, Home, PgUp ...: no keys
        }
    }
    if (ch == 3) {  // Ctrl-C (or Ctrl-Break)
        interrupted_ = true;
        return;
    }
    addCharacter(ch, count);
}

void ConsoleBackend::addCharacter(wchar_t ch, int count) {
    // A letter beyond U+FFFF comes as two key presses, one per half.
    if (ch >= 0xD800 && ch <= 0xDBFF) {
        highSurrogate_ = ch;
        return;
    }
    const wchar_t high = std::exchange(highSurrogate_, 0);
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        if (high != 0) addKey(0x10000 + ((high - 0xD800) << 10) + (ch - 0xDC00), count);
        return;
    }
    if (ch == L'\r' || ch == L'\n') {
        addKey(KeyEnter, count);
    } else if (ch == 0x08 || ch == 0x7F) {
        addKey(KeyBackspace, count);
    } else if (ch < 0x80 || ch >= 0xA0) {  // the C1 controls are no keys
        addKey(ch, count);
    }
}

void ConsoleBackend::addKey(int key, int count) {
    for (int i = 0; i < count; ++i) keys_.push_back(key);
}

void ConsoleBackend::interrupt() {
    releaseConsole();
    interruptGame();
    // Still here: the interrupt is ignored. Back to the game, as it was.
    try {
        take();
    } catch (const std::runtime_error&) {
        inputEnded_ = true;  // the console will not have the game back
        return;
    }
    redraw();
}

int ConsoleBackend::readKeyWithin(int milliseconds) {
    flush();
    if (interrupted_ || !keys_.empty()) return nextKey();
    if (outputDead() || inputEnded_) return KeyEnd;
    if (WaitForSingleObject(in_, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) return KeyNone;
    // Something is there, so this read does not wait; it may hold no key
    // (a key release, a change of size).
    INPUT_RECORD records[64];
    DWORD count = 0;
    if (!consoleCalls().readInput(in_, records, 64, &count)) {
        inputEnded_ = true;
        return KeyEnd;
    }
    for (DWORD i = 0; i < count; ++i) takeRecord(records[i]);
    return interrupted_ || !keys_.empty() ? nextKey() : KeyNone;
}

int ConsoleBackend::nextKey() {
    for (;;) {
        if (interrupted_) {
            interrupted_ = false;
            interrupt();
            continue;
        }
        if (!keys_.empty()) {
            const int key = keys_.front();
            keys_.pop_front();
            return key;
        }
        if (outputDead() || inputEnded_) return KeyEnd;
        INPUT_RECORD records[64];
        DWORD count = 0;
        if (!consoleCalls().readInput(in_, records, 64, &count)) {
            inputEnded_ = true;  // the console is gone
            continue;
        }
        for (DWORD i = 0; i < count; ++i) takeRecord(records[i]);
    }
}

}  // namespace kelvrin
