// The crash save in a web page. Nothing can stop the game's code in the
// middle: it runs between key waits, and the page can only go away (a
// closed or reloaded tab) while the game waits for a key. So the page's
// `pagehide` calls kelvrinPageGone, which writes the copy kept at that
// wait through the same path as the other systems. A trap in the game's
// code can run none of it afterwards: the page keeps the crash save's
// bytes, taken at each wait, and writes them itself (site/page.js).
#include "platform/crash_handler.h"

#include <emscripten.h>

namespace kelvrin {

namespace {

CrashHooks hooks;

// clang-format off
EM_JS(void, webKeepCrashSave, (const char* path, const char* temporaryPath, const unsigned char* bytes,
                               std::size_t size), {
    const crash = Module.kelvrin.crash;
    crash.copy = path ? HEAPU8.slice(bytes, bytes + size) : null;
    crash.path = path ? UTF8ToString(path) : null;
    crash.temporaryPath = path ? UTF8ToString(temporaryPath) : null;
});
EM_JS(void, webPrepareCrashReport, (const char* written, std::size_t writtenSize, const char* failed,
                                    std::size_t failedSize), {
    const crash = Module.kelvrin.crash;
    crash.written = UTF8ToString(written, writtenSize);
    crash.failed = UTF8ToString(failed, failedSize);
});
EM_JS(void, webReportCrashSave, (bool written), {
    const crash = Module.kelvrin.crash;
    const text = new TextEncoder().encode(written ? crash.written : crash.failed);
    Module.kelvrin.writeStream(2, text);
});
// clang-format on

}  // namespace

void installCrashHandlers() {}

void setCrashHooks(const CrashHooks& newHooks) { hooks = newHooks; }

void setCrashConsole(Backend*) {}

void gameWaitsForInput() {
    if (hooks.keepCopy) hooks.keepCopy();
    KeptCrashSave kept;
    if (hooks.keptSave && hooks.keptSave(kept)) {
        webKeepCrashSave(kept.path, kept.temporaryPath, kept.bytes, kept.size);
    } else {
        webKeepCrashSave(nullptr, nullptr, nullptr, 0);
    }
}

bool prepareCrashReport(std::string_view written, std::string_view failed) {
    webPrepareCrashReport(written.data(), written.size(), failed.data(), failed.size());
    return true;
}

void reportCrashSave(bool written) { webReportCrashSave(written); }

}  // namespace kelvrin

// The page is going away for good (closed, reloaded, left without being
// kept in the back/forward cache) while the game waits for a key: the
// game in progress goes to its crash save, and the hero leaves play.
extern "C" EMSCRIPTEN_KEEPALIVE void kelvrinPageGone() {
    using namespace kelvrin;
    if (hooks.save) {
        const CrashSaveOutcome outcome = hooks.save(CrashSource::KeptCopy);
        if (outcome != CrashSaveOutcome::NoGame) reportCrashSave(outcome == CrashSaveOutcome::Written);
    }
    if (hooks.leavePlay) hooks.leavePlay();
}
