// How long one level takes to build: every generated slot in turn, each
// from a stored seed, so the work is that of a return visit.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "data/level_slots.h"
#include "dungeon/level_generator.h"

namespace {

void GenerateLevel(benchmark::State& state) {
    std::uint32_t seed = 1300000000;
    long built = 0;
    for (auto _ : state) {
        for (const kelvrin::LevelSlotDef& slot : kelvrin::levelSlotTable) {
            if (slot.source != kelvrin::MapSource::Generated) continue;
            kelvrin::LevelRecord record{seed++, 0};
            const int result = kelvrin::generateLevel(record, slot.maxChests, slot.withCryptEntrance,
                                                      slot.withSpecialPlace);
            benchmark::DoNotOptimize(result);
            ++built;
        }
    }
    state.counters["levels/s"] = benchmark::Counter(static_cast<double>(built), benchmark::Counter::kIsRate);
}
BENCHMARK(GenerateLevel);

}  // namespace
