#include "platform/posix/terminal_backend.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "platform/crash_handler.h"
#include "platform/posix/signals.h"

namespace kelvrin {
namespace {

// A pseudo-terminal: the backend gets the terminal side, the test plays the player on the other.
class TerminalBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        winsize size{30, 100, 0, 0};
        ASSERT_EQ(openpty(&master_, &terminal_, nullptr, nullptr, &size), 0);
        ASSERT_EQ(tcgetattr(terminal_, &original_), 0);
    }
    void TearDown() override {
        if (master_ >= 0) close(master_);
        close(terminal_);
    }
    void type(std::string_view bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything the backend has written so far.
    std::string shown() {
        std::string out;
        pollfd fd{master_, POLLIN, 0};
        char buffer[1024];
        for (ssize_t n; poll(&fd, 1, 100) > 0 && (n = ::read(master_, buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }
    termios modes() const {
        termios now{};
        tcgetattr(terminal_, &now);
        return now;
    }

    int master_ = -1;
    int terminal_ = -1;
    termios original_{};
};

// Raw mode clears only ICANON and ECHO, on the alternate screen; the modes, the main screen and the cursor come back.
TEST_F(TerminalBackendTest, TakesTheTerminalAndGivesItBack) {
    {
        TerminalBackend terminal(terminal_, terminal_);
        const termios game = modes();
        EXPECT_EQ(game.c_lflag & (ICANON | ECHO | ISIG), tcflag_t{ISIG});
        EXPECT_NE(game.c_oflag & OPOST, 0u);
        EXPECT_EQ(std::pair(terminal.rows(), terminal.columns()), std::pair(30, 100));
        EXPECT_EQ(shown().rfind("\x1b[?1049h", 0), 0u);
    }
    EXPECT_EQ(std::pair(modes().c_lflag, modes().c_iflag), std::pair(original_.c_lflag, original_.c_iflag));
    const std::string end = shown();
    EXPECT_NE(end.find("\x1b[?1049l"), std::string::npos) << end;
    EXPECT_NE(end.find("\x1b[?25h"), std::string::npos) << end;
}

// Keys and lines typed ahead are read in order: unused sequences dropped, lines edited by letter up to their limit.
TEST_F(TerminalBackendTest, TypedKeysAndLines) {
    TerminalBackend terminal(terminal_, terminal_);
    shown();
    type("1\x1b[A\x1b[1~\x1bOPł\rZażółć\x7f\x7fx\rabcdef\rq");
    for (const int key : {int{'1'}, int{KeyUp}, 0x142, int{KeyEnter}}) EXPECT_EQ(terminal.readKey(), key);
    const std::tuple read{terminal.readLine(30), terminal.readLine(3), terminal.readKey()};
    EXPECT_EQ(read, std::tuple("Zażóx", "abc", 'q'));
    type("\x1b");
    EXPECT_EQ(terminal.readKey(), KeyEscape);  // after a short wait
    const std::string echo = shown();  // characters past the limit are not shown
    EXPECT_NE(echo.find("Zażółć"), std::string::npos) << echo;
    EXPECT_NE(echo.find("abc"), std::string::npos) << echo;
    EXPECT_EQ(echo.find("abcd"), std::string::npos) << echo;
    close(std::exchange(master_, -1));
    const std::tuple after{terminal.readKey(), terminal.readKey(), terminal.readKey(), terminal.readLine(10)};
    EXPECT_EQ(after, std::tuple(KeyEnd, KeyEnd, KeyEnd, std::nullopt));
}

// The signal paths run in a child process: they end it, or change its signal handling for good.
class TerminalSignalsTest : public TerminalBackendTest {};

TEST_F(TerminalSignalsTest, EndingSignalRestoresTheTerminalFirst) {
    EXPECT_EXIT(
        {
            installSignalHandlers();
            const auto hook = [](CrashSource) {
                (void)!::write(STDERR_FILENO, "HOOK", 4);
                return CrashSaveOutcome::NoGame;
            };
            setCrashHooks({hook, nullptr});
            TerminalBackend terminal(terminal_, terminal_);
            terminal.write("w grze");
            terminal.flush();
            raise(SIGTERM);
        },
        ::testing::KilledBySignal(SIGTERM), "HOOK");
    EXPECT_EQ(modes().c_lflag, original_.c_lflag);
    EXPECT_NE(shown().find("w grze\x1b[0m\x1b[r\x1b[?1049l"), std::string::npos);
}

TEST_F(TerminalSignalsTest, StoppedGameGivesTheTerminalBackAndRedrawsOnContinue) {
    EXPECT_EXIT(
        {
            // The child leads a new session on the pseudo-terminal: its group is orphaned, the stop itself skipped.
            setsid();
            ioctl(terminal_, TIOCSCTTY, 0);
            installSignalHandlers();
            TerminalBackend terminal(terminal_, terminal_);
            terminal.setColour(12);
            terminal.write("Jesteś w mieście.");
            terminal.flush();
            shown();
            raise(SIGTSTP);
            const bool released = (modes().c_lflag & ICANON) && shown().find("\x1b[?1049l") != std::string::npos;
            raise(SIGCONT);
            const bool taken = !(modes().c_lflag & ICANON);
            type("k");
            const int key = terminal.readKey();
            const std::string redrawn = shown();
            const bool ok = released && taken && key == 'k' && redrawn.find("\x1b[?1049h") != std::string::npos &&
                            redrawn.find("\x1b[0;91mJesteś w mieście.") != std::string::npos;
            _exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A window below 80×25 is told of at start and after each change leaving it small; the screen is kept till it grows.
TEST_F(TerminalSignalsTest, ASmallWindowKeepsTheWholeScreenForLater) {
    const auto resize = [&](unsigned short rows, unsigned short columns) {
        const winsize size{rows, columns, 0, 0};
        ioctl(terminal_, TIOCSWINSZ, &size);
        raise(SIGWINCH);
        type("k");
    };
    const auto child = [&] {
        installSignalHandlers();
        resize(20, 60);
        TerminalBackend terminal(terminal_, terminal_);
        bool ok = terminal.rows() == 20 && terminal.columns() == 60 && terminal.takeSmallWindowNotice() &&
                  !terminal.takeSmallWindowNotice();
        const std::string keyLine = "Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście";
        terminal.moveCursor(24, 0);  // the dungeon's key line, below the window and wider
        terminal.write(keyLine);
        terminal.readKey();
        resize(18, 70);
        terminal.readKey();
        ok = ok && terminal.takeSmallWindowNotice() && terminal.rows() == 18;
        shown();
        resize(25, 80);
        terminal.readKey();
        ok = ok && !terminal.takeSmallWindowNotice() && terminal.rows() == 25 &&
             shown().find("\x1b[25;1H" + keyLine) != std::string::npos;
        _exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvrin
