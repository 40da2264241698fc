// Ctrl-C read as a key. A terminal turns Ctrl-C into the interrupt signal
// before the game sees it; a console that hands it over as a key (the
// Windows console with its processed input off) makes the backend call
// interruptGame, so that the game ends the same way: the console given
// back, the crash save written, the process ended.
#pragma once

namespace kelvrin {

using InterruptHandler = void (*)();

// What ends the game on Ctrl-C: the code that handles the system's own
// interrupt (the console control handler on Windows) sets it once at
// start-up. nullptr: none.
void setInterruptHandler(InterruptHandler handler);

// Ends the game as an interrupt does: runs the handler, or without one
// raises SIGINT (whose handlers restore the terminal and write the crash
// save). Returns only when the interrupt is ignored.
void interruptGame();

}  // namespace kelvrin
