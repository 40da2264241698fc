// Types keys at a game in a terminal, for recordings that need what only a terminal sends (the arrow keys):
//   kelvrin_pty_keys KEYS GAME [ARGUMENTS...]
// GAME runs on a new 80x25 pseudo-terminal that is not its controlling terminal, so that closing it is the end of
// its input (as a closed pipe is) and no hangup signal. The bytes of the file KEYS are typed; once the game has read
// them all and waits for more, the terminal is closed. What the game draws is read and thrown away. The exit status
// is the game's; 1 when it is not done a minute after the keys were typed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Reads what the game drew for up to `ms` milliseconds; false once the terminal has nothing more to give.
bool drain(int master, int ms) {
    pollfd fd{master, POLLIN, 0};
    char buffer[4096];
    while (poll(&fd, 1, ms) > 0) {
        if (read(master, buffer, sizeof buffer) <= 0) return false;
        ms = 0;
    }
    return true;
}

// The game has read every key typed and waits in a read (or a poll) of its terminal.
bool waitsForKeys(pid_t game, int slave) {
    int unread = 0;
    if (ioctl(slave, FIONREAD, &unread) != 0 || unread != 0) return false;
    std::ifstream stat("/proc/" + std::to_string(game) + "/stat");
    std::string pid, command, state;
    stat >> pid >> command >> state;
    std::ifstream call("/proc/" + std::to_string(game) + "/syscall");
    std::string number, fd;
    call >> number >> fd;
    return state == "S" && (number == "0" || number == "7") && fd == "0x0";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s KEYS GAME [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string keys((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    const int slave = master < 0 || grantpt(master) != 0 || unlockpt(master) != 0
                          ? -1
                          : open(ptsname(master), O_RDWR | O_NOCTTY);
    const winsize size{25, 80, 0, 0};
    if (slave < 0 || ioctl(slave, TIOCSWINSZ, &size) != 0) {
        std::perror("a pseudo-terminal");
        return 1;
    }
    const pid_t game = fork();
    if (game == 0) {
        setsid();  // no controlling terminal: the slave is opened without one
        dup2(slave, 0);
        dup2(slave, 1);
        close(slave);
        close(master);
        setenv("TERM", "xterm", 1);
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    for (std::size_t done = 0; done < keys.size();) {
        const ssize_t n = write(master, keys.data() + done, keys.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
        drain(master, 0);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int quiet = 0;
    int status = 0;
    pid_t ended = 0;
    // Idle three times in a row, 50 ms apart, with nothing drawn in between.
    while (quiet < 3 && ended == 0 && std::chrono::steady_clock::now() < deadline) {
        if (!drain(master, 50)) break;
        quiet = waitsForKeys(game, slave) ? quiet + 1 : 0;
        ended = waitpid(game, &status, WNOHANG);
    }
    close(slave);
    close(master);
    if (ended == 0 && std::chrono::steady_clock::now() >= deadline) kill(game, SIGKILL);
    if (ended == 0 && waitpid(game, &status, 0) != game) return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
