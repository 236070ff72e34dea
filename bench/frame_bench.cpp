// frame_bench.cpp -- the price of the calls a battle makes over and over: an input poll with
// nothing queued (every wait is made of these), a flip of the screen, and a board repaint with
// its flip. Beside battle_bench's polls_per_battle and flips_per_battle they say where a
// battle's time goes on a given SDL.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "battle/state.h"
#include "battle/terrain.h"
#include "bench_support.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "view/board.h"

namespace {

void idle_poll(benchmark::State& state)
{
    for (auto _ : state)
        poll_input();
}
BENCHMARK(idle_poll);

void flip(benchmark::State& state)
{
    for (auto _ : state)
        flip_screen();
}
BENCHMARK(flip);

void repaint_and_flip(benchmark::State& state)
{
    std::srand(99);
    clear_unit_grid();
    generate_terrain();
    current_side = 0;
    selected_x = -1;
    set_status("%s", "");
    for (auto _ : state) {
        draw_board();
        flip_screen();
    }
}
BENCHMARK(repaint_and_flip);

}  // namespace

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
