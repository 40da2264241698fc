// The game in a real terminal: raw mode for single keys (Ctrl-C still
// stops the game), the alternate screen so the shell's screen comes back
// unchanged, SGR colours, and output gathered in memory and written with
// one write(2) per flush, so a screen never flickers.
#pragma once

#include <termios.h>

#include "platform/key_decoder.h"
#include "platform/vt_backend.h"

namespace kelvrin {

class TerminalBackend : public VtBackend {
public:
    // Takes over the terminal on inFd (keys, termios) and outFd (output).
    // Throws std::runtime_error when inFd is no terminal.
    // With `screenReader`, plain lines (see VtBackend::setPlainOutput).
    TerminalBackend(int inFd = 0, int outFd = 1, bool screenReader = false);
    ~TerminalBackend() override;
    TerminalBackend(const TerminalBackend&) = delete;
    TerminalBackend& operator=(const TerminalBackend&) = delete;

    // Gives the terminal back as it was: settings, main screen, attributes,
    // cursor. Called by the destructor; calling it again does nothing.
    void restore();

    int readKeyWithin(int milliseconds) override;
    bool interactive() const override { return true; }

protected:
    bool send(std::string_view bytes) override;
    // Reads bytes until the decoder has a key; KeyEnd when the input or the
    // output is gone.
    int nextKey() override;

private:
    // Waits for input as poll(2) does: > 0 ready, 0 nothing within
    // timeoutMs (-1: no limit), < 0 interrupted by a signal.
    int waitForInput(int timeoutMs);
    void handleSignals();
    // Takes the window's size now; true when it changed.
    bool followTerminalSize();

    int inFd_;
    int outFd_;
    termios saved_{};
    bool active_ = false;
    KeyDecoder decoder_;
    bool inputEnded_ = false;
};

}  // namespace kelvrin
