// The track generation of a level start: one level-6 track (1300 rows) per iteration.
#include <benchmark/benchmark.h>

#include "engine/random.h"
#include "game/level_tables.h"
#include "game/race_state.h"
#include "race/track_generator.h"

namespace {

void BM_GenerateTrack(benchmark::State& state) {
    vrumbal::RaceState race;
    race.Level = 6;
    race.TrackRows = vrumbal::TrackRowsForLevel(6);
    vrumbal::Random rng(1);
    for (auto _ : state) {
        vrumbal::GenerateTrack(race, rng);
        benchmark::DoNotOptimize(race.TrackMap.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GenerateTrack)->Unit(benchmark::kMillisecond);

}  // namespace
