// How many keys a second a scripted session goes through: the whole program
// (menus, town, world map) driven by a fixed key sequence.
#include <benchmark/benchmark.h>

#include <string>

#include "character/program.h"
#include "core/console.h"
#include "core/random.h"
#include "platform/scripted_backend.h"

namespace {

void ScriptedSessionKeys(benchmark::State& state) {
    // Into a game, round the world map, into the save prompt and back,
    // out to the menu, the information screen, and again.
    const std::string round = "1wmwmqaxqn3k";
    long keys = 0;
    for (auto _ : state) {
        kelvrin::ScriptedBackend screen;
        kelvrin::setBackend(&screen);
        kelvrin::seedRandom(1);
        for (int i = 0; i < 100; ++i) screen.type(round);
        screen.type("0");
        kelvrin::runProgram();
        keys += screen.keysRead();
    }
    state.counters["keys/s"] = benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsRate);
}
BENCHMARK(ScriptedSessionKeys);

}  // namespace
