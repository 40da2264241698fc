// Signals: whatever ends the game (Ctrl-C, a closed terminal, kill, a
// crash) first gives the terminal back as it was, then lets the game write
// its crash save, then ends the process with the signal's own status.
// Ctrl-Z gives the terminal back before the game stops, and taking the game
// up again (fg) sets the terminal up again and asks for a redraw.
#pragma once

#include <signal.h>
#include <termios.h>

namespace kelvrin {

// Installs the handlers (once, at start-up, before the backend is made);
// installCrashHandlers does it.
void installSignalHandlers();
// Called by an ending signal's handler once the terminal is given back:
// the game's crash save and its message (platform/posix/crash_handler.cpp).
// Async-signal-safe.
void saveGameAfterSignal();

// The terminal the game has taken over: its descriptors, the settings to
// put back and the settings the game runs with. Called by the terminal
// backend with the terminal already set up (raw mode, alternate screen;
// a `plain` terminal, a screen reader's, has no alternate screen and gets
// no escape sequence when it is given back or taken again).
void registerTerminal(int inFd, int outFd, const termios& saved, const termios& game, bool plain = false);
// Gives the terminal back now (main screen, attributes, cursor, the saved
// settings) and forgets it. Safe to call when nothing is registered.
void releaseTerminal();

// Holds back the signals above for a scope (while the terminal is being
// set up or given back, so no handler sees it half done).
class HeldSignals {
public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t previous_;
};

// True once after the game was taken up again (the screen must be drawn
// anew); clears the request.
bool takeRedrawRequest();
// True once after the window changed size; clears the notice.
bool takeResizeNotice();

}  // namespace kelvrin
