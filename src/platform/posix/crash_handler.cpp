// The crash handler on POSIX: the signal handlers (platform/posix/signals)
// give the terminal back and call saveGameAfterSignal on the game's own
// thread, stopped where the signal found it, so the live hero is written
// and no copy needs keeping. The message goes to the standard error with
// write(2), in the character set of the shell the terminal went back to.
#include "platform/crash_handler.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "platform/charset.h"
#include "platform/posix/signals.h"

namespace kelvrin {

namespace {

constexpr std::size_t MessageCapacity = 512;

char writtenMessage[MessageCapacity];
std::size_t writtenLength = 0;
char failedMessage[MessageCapacity];
std::size_t failedLength = 0;

CrashSaveOutcome (*volatile saveHook)(CrashSource) = nullptr;
void (*volatile leavePlayHook)() = nullptr;

// The text in the shell's character set, into a buffer of the crash path.
bool prepare(std::string_view utf8, char* buffer, std::size_t& length) {
    std::string text(utf8);
    if (const std::optional<ByteCharset> charset = localeCharset()) {
        std::string converted;
        charset->encode(text, converted);
        text = std::move(converted);
    }
    if (text.size() > MessageCapacity) return false;
    std::memcpy(buffer, text.data(), text.size());
    length = text.size();
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

void installCrashHandlers() { installSignalHandlers(); }

// The copy is never needed here: a signal runs on the game's own thread.
void setCrashHooks(const CrashHooks& hooks) {
    saveHook = hooks.save;
    leavePlayHook = hooks.leavePlay;
}

void setCrashConsole(Backend*) {}

void gameWaitsForInput() {}

bool prepareCrashReport(std::string_view written, std::string_view failed) {
    // The crash path only reads these while a game is armed, and the game
    // is not armed while they are rewritten.
    return prepare(written, writtenMessage, writtenLength) && prepare(failed, failedMessage, failedLength);
}

void reportCrashSave(bool written) {
    if (written) {
        writeToStandardError(writtenMessage, writtenLength);
    } else {
        writeToStandardError(failedMessage, failedLength);
    }
}

void saveGameAfterSignal() {
    if (const auto hook = saveHook) {
        const CrashSaveOutcome outcome = hook(CrashSource::LiveHero);
        if (outcome != CrashSaveOutcome::NoGame) reportCrashSave(outcome == CrashSaveOutcome::Written);
    }
    if (const auto leave = leavePlayHook) leave();
}

}  // namespace kelvrin
