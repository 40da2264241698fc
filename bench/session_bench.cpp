// How many keys a second a scripted session goes through: the whole program
// (menus, character creation, the town and the world map) driven by a fixed
// key sequence.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "character/program.h"
#include "core/console.h"
#include "core/random.h"
#include "platform/scripted_backend.h"

namespace {

// A game keeps a lock file beside its saves: keep it out of the source tree.
void workInTemporaryFolder() {
    static bool moved = false;
    if (moved) return;
    char folder[] = "/tmp/kelvrin-bench-XXXXXX";
    if (mkdtemp(folder) != nullptr && chdir(folder) == 0) moved = true;
}

void ScriptedSessionKeys(benchmark::State& state) {
    workInTemporaryFolder();
    // A new human fighter, a hundred times out to the world map and back,
    // out to the menu without saving, the information screen, the end.
    std::string session = "1Ala\nt1t2\nt5\nw5\nw5\nw3\nx";
    for (int i = 0; i < 100; ++i) session += "wm";
    session += "qn3k0";
    long keys = 0;
    for (auto _ : state) {
        kelvrin::ScriptedBackend screen;
        kelvrin::setBackend(&screen);
        kelvrin::seedRandom(1);
        screen.type(session);
        kelvrin::runProgram();
        keys += screen.keysRead();
    }
    state.counters["keys/s"] = benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsRate);
}
BENCHMARK(ScriptedSessionKeys);

}  // namespace
