#include "platform/fd_io.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace kelvrin {

bool writeAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waitFor{fd, POLLOUT, 0};
            poll(&waitFor, 1, 1000);
        } else {
            return false;  // EIO after a hangup, EPIPE, ENOSPC ...
        }
    }
    return true;
}

std::size_t readSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n > 0) return static_cast<std::size_t>(n);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waitFor{fd, POLLIN, 0};
            poll(&waitFor, 1, -1);
            continue;
        }
        return 0;
    }
}

}  // namespace kelvrin
