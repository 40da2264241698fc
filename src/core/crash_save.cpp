#include "core/crash_save.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "core/binary_file.h"
#include "core/game_state.h"
#include "core/save_file.h"
#include "platform/charset.h"

namespace kelvrin {

namespace {

// Room for "error_save_", a name of 30 characters of up to 4 bytes each,
// the dots of the temporary name, with plenty to spare.
constexpr std::size_t PathCapacity = 256;
constexpr std::size_t MessageCapacity = 512;

char crashPath[PathCapacity];
char crashTemporaryPath[PathCapacity];
char crashMessage[MessageCapacity];
std::size_t crashMessageLength = 0;
SaveImage crashImage;

constexpr char FailureMessage[] = "Nie mozna zapisac gry!\n";

volatile sig_atomic_t armed = 0;

bool copyText(char* buffer, std::size_t capacity, const std::string& text) {
    if (text.size() + 1 > capacity) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

void writeToStandardError(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(STDERR_FILENO, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return;  // a closed terminal: nobody to tell
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
}

}  // namespace

void beginGameInProgress() {
    armed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const std::string path = crashSaveFileName(hero.name);
    std::string message =
        "Wystąpił błąd gry, została ona zapisana w pliku " + path + " jednak może nie działać poprawnie.\n";
    // The terminal is given back to the shell before the message is shown,
    // so it goes out in the shell's character set.
    if (const std::optional<ByteCharset> charset = localeCharset()) {
        std::string converted;
        charset->encode(message, converted);
        message = std::move(converted);
    }
    if (!copyText(crashPath, PathCapacity, path) ||
        !copyText(crashTemporaryPath, PathCapacity, temporaryNameFor(path)) ||
        !copyText(crashMessage, MessageCapacity, message))
        return;  // a name no file system could take anyway: no crash save
    crashMessageLength = message.size();
    std::atomic_signal_fence(std::memory_order_seq_cst);
    armed = 1;
}

void endGameInProgress() { armed = 0; }

bool gameInProgress() { return armed != 0; }

bool writeCrashSave() {
    if (!armed) return false;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    encodeSave(hero, world, true, crashImage);
    return writeFileAtomically(crashPath, crashTemporaryPath, crashImage.data(), crashImage.size());
}

void reportCrashSave(bool written) {
    if (written) {
        writeToStandardError(crashMessage, crashMessageLength);
    } else {
        writeToStandardError(FailureMessage, sizeof FailureMessage - 1);
    }
}

void crashSaveHook(int) {
    if (!armed) return;
    const bool written = writeCrashSave();
    armed = 0;
    reportCrashSave(written);
}

}  // namespace kelvrin
