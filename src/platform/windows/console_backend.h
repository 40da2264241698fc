// The game in a Windows console. The game draws on a screen buffer of its
// own, made the console's active one while it runs (the console's
// counterpart of a terminal's alternate screen), so the console's own text
// comes back unchanged. Where the console understands the terminal's
// escape sequences (virtual-terminal processing, Windows 10 and later), the
// bytes are those the Linux terminal gets, scroll region included, written
// as UTF-16 with one WriteConsoleW per flush; where it does not, the model
// of the screen is copied to the buffer with one WriteConsoleOutputW per
// flush. Keys come from ReadConsoleInputW, one key press at a time.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <deque>

#include "platform/vt_backend.h"

namespace kelvrin {

// The console calls the backend makes, in one table, so that a test can
// put a console of its own in their place.
struct ConsoleCalls {
    decltype(&::GetConsoleMode) getMode = ::GetConsoleMode;
    decltype(&::SetConsoleMode) setMode = ::SetConsoleMode;
    decltype(&::GetConsoleScreenBufferInfo) getInfo = ::GetConsoleScreenBufferInfo;
    decltype(&::SetConsoleScreenBufferSize) setBufferSize = ::SetConsoleScreenBufferSize;
    decltype(&::SetConsoleTextAttribute) setAttribute = ::SetConsoleTextAttribute;
    decltype(&::GetConsoleCursorInfo) getCursor = ::GetConsoleCursorInfo;
    decltype(&::SetConsoleCursorInfo) setCursor = ::SetConsoleCursorInfo;
    decltype(&::SetConsoleCursorPosition) moveCursor = ::SetConsoleCursorPosition;
    decltype(&::GetConsoleCP) getInputCodePage = ::GetConsoleCP;
    decltype(&::SetConsoleCP) setInputCodePage = ::SetConsoleCP;
    decltype(&::GetConsoleOutputCP) getOutputCodePage = ::GetConsoleOutputCP;
    decltype(&::SetConsoleOutputCP) setOutputCodePage = ::SetConsoleOutputCP;
    decltype(&::CreateConsoleScreenBuffer) createBuffer = ::CreateConsoleScreenBuffer;
    decltype(&::SetConsoleActiveScreenBuffer) setActiveBuffer = ::SetConsoleActiveScreenBuffer;
    decltype(&::CloseHandle) closeHandle = ::CloseHandle;
    decltype(&::WriteConsoleW) writeText = ::WriteConsoleW;
    decltype(&::WriteConsoleOutputW) writeCells = ::WriteConsoleOutputW;
    decltype(&::ReadConsoleInputW) readInput = ::ReadConsoleInputW;
};

// The table in use: the system's own unless a test has changed it.
ConsoleCalls& consoleCalls();

class ConsoleBackend : public VtBackend {
public:
    enum class Drawing {
        Sequences,  // the terminal's escape sequences, through WriteConsoleW
        Cells,      // the screen's cells, through WriteConsoleOutputW
    };

    // Takes over the console: keys from `in`, the game's own screen buffer
    // made active in place of `out`. Throws std::runtime_error when either
    // is no console or the console refuses the game's input mode.
    // With `screenReader`: plain lines on `out` itself (no buffer of the
    // game's own), see VtBackend::setPlainOutput.
    ConsoleBackend(HANDLE in, HANDLE out, bool screenReader = false);
    ~ConsoleBackend() override;
    ConsoleBackend(const ConsoleBackend&) = delete;
    ConsoleBackend& operator=(const ConsoleBackend&) = delete;

    // Gives the console back as it was found and closes the game's screen
    // buffer. Called by the destructor; calling it again does nothing.
    void restore();

    // The crash path's way to give the console back, from any thread
    // (releaseConsole).
    void restoreAfterCrash() override;

    Drawing drawing() const { return drawing_; }

    int readKeyWithin(int milliseconds) override;
    bool interactive() const override { return true; }

    // One input record as ReadConsoleInputW delivers it: a key press
    // becomes a key for readKey (a key release none), a Ctrl-C ends the
    // game at the next key read (see platform/interrupt.h), a change of
    // the buffer's size is followed as on Linux (the notice of a small
    // window, the screen drawn again). Mouse, focus and menu events are
    // dropped.
    void takeRecord(const INPUT_RECORD& record);

protected:
    bool send(std::string_view bytes) override;
    int nextKey() override;

private:
    // Sets the console up for the game (input mode, the game's buffer
    // active) and registers it for releaseConsole.
    void take();
    // Reads the window's size; true when it changed.
    bool followConsoleSize();
    void takeKey(const KEY_EVENT_RECORD& key);
    void addCharacter(wchar_t ch, int count);
    void addKey(int key, int count);
    // Ctrl-C read as a key: the console goes back, the game ends as on an
    // interrupt; should the interrupt be ignored, the game goes on.
    void interrupt();
    bool sendSequences(std::string_view bytes);
    bool sendCells();

    HANDLE in_;
    HANDLE out_;
    HANDLE buffer_ = INVALID_HANDLE_VALUE;  // the game's screen buffer
    Drawing drawing_ = Drawing::Cells;
    COORD origin_{0, 0};  // the window's top left corner in the buffer
    std::deque<int> keys_;
    wchar_t highSurrogate_ = 0;
    bool interrupted_ = false;
    bool inputEnded_ = false;
    bool active_ = false;
};

// Gives the console back as the game found it: the active screen buffer,
// the input and output modes, the colours, the cursor and the code pages.
// For whatever ends the process (the console control handler, a fault, a
// normal exit): it may run on any thread, and does nothing when the
// console is not taken or was given back already. The game's screen
// buffer stays open until the backend is destroyed.
void releaseConsole();

}  // namespace kelvrin
