#include "platform/posix/signals.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>

namespace kelvrin {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool UnderAddressSanitizer = true;
#else
constexpr bool UnderAddressSanitizer = false;
#endif
#else
constexpr bool UnderAddressSanitizer = false;
#endif

// Bytes that give the terminal back: attributes reset, the whole screen as
// the scroll region, the main screen, a visible cursor.
constexpr char LeaveBytes[] = "\x1b[0m\x1b[r\x1b[?1049l\x1b[?25h";
// And take it again: the alternate screen, a visible cursor.
constexpr char EnterBytes[] = "\x1b[?1049h\x1b[?25h";

constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// The registered terminal. Written with every handler blocked, read by
// the handlers.
int terminalIn = -1;
int terminalOut = -1;
termios savedModes;
termios gameModes;
volatile sig_atomic_t registered = 0;
volatile sig_atomic_t plainTerminal = 0;  // plain lines: no screen of our own to leave
volatile sig_atomic_t shown = 0;  // raw mode and alternate screen are on

volatile sig_atomic_t redrawRequest = 0;
volatile sig_atomic_t resizeNotice = 0;

alignas(16) char alternateStack[64 * 1024];

void writeAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, bytes, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            return;  // a closed terminal: nothing more to do
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
}

// Async-signal-safe: write(2) and tcsetattr only.
void leaveTerminal() {
    if (!registered || !shown) return;
    shown = 0;
    if (!plainTerminal) writeAll(terminalOut, LeaveBytes, sizeof LeaveBytes - 1);
    tcsetattr(terminalIn, TCSANOW, &savedModes);
}

void enterTerminal() {
    tcsetattr(terminalIn, TCSANOW, &gameModes);
    if (!shown && !plainTerminal) writeAll(terminalOut, EnterBytes, sizeof EnterBytes - 1);
    shown = 1;
    redrawRequest = 1;
}

// The set of every signal the handlers below deal with, blocked while one
// of them runs and while the terminal is registered or released.
sigset_t handledSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int sig : EndingSignals) sigaddset(&set, sig);
    for (const int sig : FaultSignals) sigaddset(&set, sig);
    sigaddset(&set, SIGTSTP);
    sigaddset(&set, SIGCONT);
    sigaddset(&set, SIGWINCH);
    return set;
}

void onEnd(int sig) {
    const int savedErrno = errno;
    leaveTerminal();
    saveGameAfterSignal();
    errno = savedErrno;
    // The handler was reset to the default on entry (SA_RESETHAND): the
    // signal, now pending, ends the process with its own status as soon as
    // this handler returns. A fault returns to the faulting instruction,
    // which faults again and ends the process the same way.
    raise(sig);
}

void onStop(int);

void installStop() {
    struct sigaction action {};
    action.sa_handler = onStop;
    action.sa_mask = handledSignals();
    sigdelset(&action.sa_mask, SIGCONT);  // the SIGCONT handler runs while we are stopped
    action.sa_flags = SA_ONSTACK;
    sigaction(SIGTSTP, &action, nullptr);
}

void onStop(int) {
    const int savedErrno = errno;
    leaveTerminal();
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigaction(SIGTSTP, &standard, nullptr);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigset_t previous;
    sigprocmask(SIG_UNBLOCK, &stop, &previous);
    raise(SIGTSTP);  // the process stops here until it is continued
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    installStop();
    errno = savedErrno;
}

void onContinue(int) {
    const int savedErrno = errno;
    // Set the terminal up again only when the game is in the foreground;
    // in the background (bg) it would draw over the shell. Its next read
    // stops it again (SIGTTIN), and fg continues it once more.
    if (registered && tcgetpgrp(terminalIn) == getpgrp()) enterTerminal();
    errno = savedErrno;
}

void onResize(int) { resizeNotice = 1; }

void install(int sig, void (*handler)(int), int flags, bool keepIgnored) {
    struct sigaction previous {};
    sigaction(sig, nullptr, &previous);
    // A signal ignored by whoever started us (nohup, a background job)
    // stays ignored.
    if (keepIgnored && previous.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = handledSignals();
    action.sa_flags = flags | SA_ONSTACK;
    sigaction(sig, &action, nullptr);
}

}  // namespace

void installSignalHandlers() {
    // Run the handlers on a stack of their own, so that a stack overflow
    // still restores the terminal; keep a stack someone (a sanitizer's
    // runtime) has set up already.
    stack_t current {};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        stack_t stack {};
        stack.ss_sp = alternateStack;
        stack.ss_size = sizeof alternateStack;
        sigaltstack(&stack, nullptr);
    }

    for (const int sig : EndingSignals) install(sig, onEnd, SA_RESETHAND, true);
    // Under AddressSanitizer its own report of a fault is worth more.
    if (!UnderAddressSanitizer) {
        for (const int sig : FaultSignals) install(sig, onEnd, SA_RESETHAND, false);
    }
    signal(SIGPIPE, SIG_IGN);  // a closed output is a write error, not death

    struct sigaction previous {};
    sigaction(SIGTSTP, nullptr, &previous);
    if (previous.sa_handler != SIG_IGN) installStop();
    // No SA_RESTART: a key read is interrupted, so the redraw happens at once.
    install(SIGCONT, onContinue, 0, false);
    install(SIGWINCH, onResize, 0, false);

    // A program that ends through exit() rather than by leaving main gives
    // the terminal back too.
    std::atexit(releaseTerminal);
}

HeldSignals::HeldSignals() {
    const sigset_t block = handledSignals();
    sigprocmask(SIG_BLOCK, &block, &previous_);
}

HeldSignals::~HeldSignals() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

void registerTerminal(int inFd, int outFd, const termios& saved, const termios& game, bool plain) {
    const HeldSignals held;
    plainTerminal = plain ? 1 : 0;
    terminalIn = inFd;
    terminalOut = outFd;
    savedModes = saved;
    gameModes = game;
    registered = 1;
    shown = 1;
}

void releaseTerminal() {
    const HeldSignals held;
    leaveTerminal();
    registered = 0;
}

bool takeRedrawRequest() {
    if (!redrawRequest) return false;
    redrawRequest = 0;
    return true;
}

bool takeResizeNotice() {
    if (!resizeNotice) return false;
    resizeNotice = 0;
    return true;
}

}  // namespace kelvrin
