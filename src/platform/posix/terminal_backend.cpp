#include "platform/posix/terminal_backend.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/fd_io.h"
#include "platform/posix/signals.h"

namespace kelvrin {

namespace {

constexpr std::string_view EnterScreen = "\x1b[?1049h\x1b[?25h";

}  // namespace

TerminalBackend::TerminalBackend(int inFd, int outFd, bool screenReader) : inFd_(inFd), outFd_(outFd) {
    if (tcgetattr(inFd_, &saved_) != 0) throw std::runtime_error("not a terminal");
    if (screenReader) setPlainOutput();
    setColourSupport(colourSupportFromEnvironment());
    setCharset(localeCharset());
    if (charset()) decoder_.setByteTable(&charset()->table());

    followTerminalSize();

    // Single keys without echo; Ctrl-C (ISIG), output processing (OPOST:
    // '\n' is a new line) and the rest stay as the user had them.
    termios game = saved_;
    game.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    game.c_cc[VMIN] = 1;
    game.c_cc[VTIME] = 0;
#ifdef IUTF8
    if (charset()) {
        game.c_iflag &= ~static_cast<tcflag_t>(IUTF8);
    } else {
        game.c_iflag |= IUTF8;
    }
#endif
    const HeldSignals held;
    // TCSANOW: keys typed before the game started are kept.
    tcsetattr(inFd_, TCSANOW, &game);
    beginScreen(EnterScreen);
    registerTerminal(inFd_, outFd_, saved_, game, screenReader);
    active_ = true;
}

TerminalBackend::~TerminalBackend() { restore(); }

void TerminalBackend::restore() {
    if (!active_) return;
    const HeldSignals held;
    active_ = false;
    flush();
    releaseTerminal();
}

bool TerminalBackend::send(std::string_view bytes) {
    // EIO after a hangup, EPIPE ...: the player is gone.
    return writeAll(outFd_, bytes.data(), bytes.size());
}

bool TerminalBackend::followTerminalSize() {
    // 25 × 80 when the terminal does not say.
    winsize size{};
    if (ioctl(outFd_, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
        return followWindowSize(size.ws_row, size.ws_col);
    }
    return followWindowSize(25, 80);
}

void TerminalBackend::handleSignals() {
    bool again = takeRedrawRequest();
    if (takeResizeNotice() && followTerminalSize()) again = true;
    if (again && !outputDead()) redraw();
}

int TerminalBackend::waitForInput(int timeoutMs) {
    pollfd fd{inFd_, POLLIN, 0};
    return poll(&fd, 1, timeoutMs);
}

int TerminalBackend::readKeyWithin(int milliseconds) {
    flush();
    if (decoder_.hasKey()) return decoder_.takeKey();
    if (outputDead() || inputEnded_) return KeyEnd;
    handleSignals();
    // Bytes that are there make a key at once (a sequence cut short ends
    // after the decoder's short wait).
    if (waitForInput(milliseconds) > 0) return nextKey();
    return KeyNone;
}

int TerminalBackend::nextKey() {
    for (;;) {
        if (decoder_.hasKey()) return decoder_.takeKey();
        if (outputDead() || inputEnded_) return KeyEnd;
        handleSignals();
        if (decoder_.waiting()) {
            const int ready = waitForInput(EscapeWaitMs);
            if (ready == 0) decoder_.timeout();
            if (ready <= 0) continue;  // timed out, or a signal came (handled above)
        }
        char bytes[256];
        const ssize_t n = ::read(inFd_, bytes, sizeof bytes);
        if (n > 0) {
            decoder_.feed(std::string_view(bytes, static_cast<std::size_t>(n)));
        } else if (n == 0) {
            inputEnded_ = true;  // hangup
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waitForInput(-1);
        } else if (errno != EINTR) {
            inputEnded_ = true;  // EIO: the terminal is gone
        }
    }
}

}  // namespace kelvrin
