// What the game writes to the standard error, for the tests of its messages there.
#include "support/game_test.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace kelvrin::test {

#ifdef __EMSCRIPTEN__
namespace {

// The web build writes its standard streams through the runtime, whose
// writes to descriptor 2 are kept here instead while `run` runs.
// clang-format off
EM_JS(void, keepStderr, (), {
    const runtime = Module.kelvrin;
    const write = runtime.writeStream;
    runtime.keptStderr = [];
    runtime.writeStream = (fd, bytes) => {
        if (fd !== 2) return write(fd, bytes);
        runtime.keptStderr.push(...bytes);
        return true;
    };
    runtime.stopKeepingStderr = () => { runtime.writeStream = write; };
});
EM_JS(int, stopKeepingStderr, (), {
    Module.kelvrin.stopKeepingStderr();
    return Module.kelvrin.keptStderr.length;
});
EM_JS(void, copyKeptStderr, (char* out), { HEAPU8.set(Module.kelvrin.keptStderr, out); });
// clang-format on

}  // namespace

std::string stderrOf(const std::function<void()>& run) {
    keepStderr();
    run();
    std::string text(static_cast<std::size_t>(stopKeepingStderr()), '\0');
    copyKeptStderr(text.data());
    return text;
}
#else
std::string stderrOf(const std::function<void()>& run) {
    testing::internal::CaptureStderr();
    run();
    return testing::internal::GetCapturedStderr();
}
#endif

}  // namespace kelvrin::test
