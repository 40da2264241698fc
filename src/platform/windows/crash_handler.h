// The Windows crash handler's answer to a console control event, open to
// the console backend and to the tests. (The rest of its interface is the
// portable platform/crash_handler.h.)
#pragma once

namespace kelvrin {

// What the handler installed with SetConsoleCtrlHandler does for an event
// (an event number as Windows gives it: Ctrl-C, Ctrl-Break, the console
// window closed, log-off, shutdown), short of ending the process: gives the
// console back, writes the crash save of a game in progress from the copy
// of the hero kept at the game's last wait for input, and prints the crash
// message (or "Nie mozna zapisac gry!"). False for an event it leaves to
// the system. Safe on any thread. A test calls it with CTRL_CLOSE_EVENT,
// which no console under wine ever sends.
bool answerConsoleControl(unsigned long event);

// The same, then the process ends as Windows ends it on Ctrl-C (with
// STATUS_CONTROL_C_EXIT). For a console that hands Ctrl-C to the game as a
// key instead of an event.
[[noreturn]] void endByConsoleControl(unsigned long event);

}  // namespace kelvrin
