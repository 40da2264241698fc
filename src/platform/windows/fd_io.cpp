#include "platform/fd_io.h"

#include <io.h>

#include <algorithm>
#include <climits>

namespace kelvrin {

namespace {

// The C library counts in unsigned int.
constexpr std::size_t MostAtOnce = INT_MAX;

}  // namespace

bool writeAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const int n = _write(fd, data + done, static_cast<unsigned>(std::min(size - done, MostAtOnce)));
        if (n <= 0) return false;  // a closed pipe, a full disk ...
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::size_t readSome(int fd, char* buffer, std::size_t size) {
    // A pipe whose writer is gone reads as its end.
    const int n = _read(fd, buffer, static_cast<unsigned>(std::min(size, MostAtOnce)));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace kelvrin
