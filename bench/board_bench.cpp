// board_bench.cpp -- the cost of one full board repaint on a crowded battlefield, measured in the
// same run as 256 plain colour-keyed 16 x 16 blits onto the same screen for scale; and the price
// of the calls a battle makes over and over: an input poll with nothing queued (every wait is
// made of these), a flip, and a repaint with its flip. Beside battle_bench's polls_per_battle
// and flips_per_battle they say where a battle's time goes on a given SDL.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench_support.h"
#include "battle/state.h"
#include "battle/terrain.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "view/board.h"

namespace {

// A generated map with its two starting armies, as a battle begins.
void start_the_battlefield()
{
    std::srand(99);
    clear_unit_grid();
    generate_terrain();
    current_side = 0;
    cpu_player[0] = 0;
    cpu_player[1] = 0;
    selected_x = -1;
    cursor_x = 9;
    cursor_y = 6;
    set_status("%s", "");
}

// The same map with a unit on every cell that can hold one, both sides mixed, and a third of
// them already spent, so the fading is paid for as in a late turn.
void crowd_the_battlefield()
{
    start_the_battlefield();
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++) {
            int code = get_pixel(terrain_map, x, y);
            if (unit_grid[x][y].type != -1 || (code != terrain_plain && code != terrain_grasslands))
                continue;
            unit_grid[x][y] = unit_types[(x * 3 + y) % 8];
            if ((x + y) % 3 == 0)
                unit_grid[x][y].moves = -1;
        }
    selected_x = 4;
    selected_y = 5;
    set_status("%s", "Reinforcements have arrived!");
}

int units_on_board()
{
    int n = 0;
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++)
            if (unit_grid[x][y].type != -1)
                n++;
    return n;
}

void draw_board_start(benchmark::State& state)
{
    start_the_battlefield();
    for (auto _ : state) {
        draw_board();
        benchmark::ClobberMemory();
    }
    state.counters["units"] = units_on_board();
}
BENCHMARK(draw_board_start);

void draw_board_full(benchmark::State& state)
{
    crowd_the_battlefield();
    for (auto _ : state) {
        draw_board();
        benchmark::ClobberMemory();
    }
    state.counters["units"] = units_on_board();
}
BENCHMARK(draw_board_full);

void keyed_blits_256(benchmark::State& state)
{
    for (auto _ : state) {
        for (int i = 0; i < 256; i++) {
            int n = i % 16;
            blit(tiles_image, screen, 16 * (n / 4), 16 * (n % 4), 16 * (i % 20), 16 * (i / 20 % 12) + 14, 16, 16);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(keyed_blits_256);

// The same 256 tiles through SDL's own blitter, which the game's blit replaces for 16-bit tiles.
void sdl_keyed_blits_256(benchmark::State& state)
{
    for (auto _ : state) {
        for (int i = 0; i < 256; i++) {
            int n = i % 16;
            SDL_Rect from = {static_cast<Sint16>(16 * (n / 4)), static_cast<Sint16>(16 * (n % 4)), 16, 16};
            SDL_Rect to = {static_cast<Sint16>(16 * (i % 20)), static_cast<Sint16>(16 * (i / 20 % 12) + 14), 0, 0};
            SDL_BlitSurface(tiles_image, &from, screen, &to);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(sdl_keyed_blits_256);

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
    start_the_battlefield();
    for (auto _ : state) {
        draw_board();
        flip_screen();
    }
}
BENCHMARK(repaint_and_flip);

}  // namespace

int main(int argc, char** argv)
{
    bench_start_game();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench_stop_game();
    return 0;
}
