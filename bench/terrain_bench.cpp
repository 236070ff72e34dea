// terrain_bench.cpp -- the cost of a fresh battlefield: an emptied grid, the grown terrain and
// both armies, as every battle builds it.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "battle/state.h"
#include "battle/terrain.h"
#include "bench_support.h"

static void bm_new_battlefield(benchmark::State& state)
{
    std::srand(1);
    for (auto _ : state) {
        clear_unit_grid();
        generate_terrain();  // ends with place_armies
        benchmark::DoNotOptimize(unit_grid);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bm_new_battlefield)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench_start_game();
    benchmark::RunSpecifiedBenchmarks();
    bench_stop_game();
    return 0;
}
