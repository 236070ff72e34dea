// battle_bench.cpp -- whole computer-against-computer battles, headless under the virtual clock:
// battles per second, and what one turn (a turn of each side) costs in short and in long battles.
// On classic SDL an empty poll costs next to nothing, so the waits cost nothing here and what is
// measured is the game's own work: the computer's choices, the orders and, above all, the
// drawing. Where a poll is dear (sdl12-compat pumps SDL2's events on every call), the polls of
// the waits dominate: polls_per_battle and flips_per_battle, with board_bench's price of each,
// tell where the time goes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "battle/battle.h"
#include "battle/state.h"
#include "bench_support.h"
#include "platform/input.h"

namespace {

// Seeds 1..60; whole_battle_test plays these (and more) and sees every one end with a winner.
const unsigned seed_count = 60;

// The victory box waits for a press and release, and nothing here sees the moment a battle ends,
// so presses are laid out in advance, one every virtual second. Laying them out latest first
// keeps every insertion at the head of the queue.
const Uint32 press_every = 1000;
const Uint32 press_count = 24u * 60u * 60u;  // 24 virtual hours: far more than needed
Uint32 presses_until = 0;

void lay_out_presses()
{
    Uint32 from = bench_ticks() + 100;
    presses_until = from + press_count * press_every;
    for (Uint32 i = press_count; i > 0; i--)
        bench_schedule_key_press(from + i * press_every, SDLK_z);
}

struct Played {
    int turns;
    double seconds;
    unsigned long polls, flips;
};
std::vector<Played> played(seed_count + 1, Played{0, 0, 0, 0});

// One whole battle; false when the prepared presses might not last.
bool play_one(unsigned seed)
{
    if (bench_ticks() + 2u * 60u * 60u * 1000u > presses_until)
        return false;
    cpu_player[0] = 1;
    cpu_player[1] = 1;
    std::srand(seed);
    unsigned long polls = bench_polls(), flips = bench_flips();
    auto begin = std::chrono::steady_clock::now();
    play_battle();
    auto end = std::chrono::steady_clock::now();
    clear_input();
    played[seed] = Played{turn_number, std::chrono::duration<double>(end - begin).count(),
                          bench_polls() - polls, bench_flips() - flips};
    return winner != -1;
}

void report(benchmark::State& state, long battles, long turns, double seconds,
            unsigned long polls, unsigned long flips)
{
    state.SetItemsProcessed(battles);
    state.counters["polls_per_battle"] = battles ? static_cast<double>(polls) / battles : 0;
    state.counters["flips_per_battle"] = battles ? static_cast<double>(flips) / battles : 0;
    state.counters["turns_per_battle"] = battles ? static_cast<double>(turns) / battles : 0;
    state.counters["us_per_turn"] = turns ? seconds * 1e6 / turns : 0;
}

// Plays the given seeds in turn, one battle per iteration.
void run_battles(benchmark::State& state, const std::vector<unsigned>& seeds)
{
    size_t next = 0;
    long battles = 0, turns = 0;
    unsigned long polls = 0, flips = 0;
    double seconds = 0;
    for (auto _ : state) {
        unsigned seed = seeds[next++ % seeds.size()];
        if (!play_one(seed)) {
            state.SkipWithError("a battle ended without a winner, or the virtual clock ran out");
            break;
        }
        battles++;
        turns += played[seed].turns;
        seconds += played[seed].seconds;
        polls += played[seed].polls;
        flips += played[seed].flips;
    }
    report(state, battles, turns, seconds, polls, flips);
}

void bm_computer_battles(benchmark::State& state)
{
    std::vector<unsigned> seeds;
    for (unsigned seed = 1; seed <= seed_count; seed++)
        seeds.push_back(seed);
    run_battles(state, seeds);
}
BENCHMARK(bm_computer_battles)->Iterations(seed_count)->Unit(benchmark::kMillisecond);

// The seeds split into thirds by their number of turns: 0 the shortest battles, 2 the longest.
std::vector<unsigned> seeds_of_third(int third)
{
    std::vector<unsigned> order;
    for (unsigned seed = 1; seed <= seed_count; seed++) {
        if (played[seed].turns == 0)
            play_one(seed);  // not yet played by bm_computer_battles (filtered out)
        order.push_back(seed);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](unsigned a, unsigned b) { return played[a].turns < played[b].turns; });
    size_t size = order.size() / 3;
    return std::vector<unsigned>(order.begin() + third * size,
                                 third == 2 ? order.end() : order.begin() + (third + 1) * size);
}

void bm_battles_by_length(benchmark::State& state)
{
    run_battles(state, seeds_of_third(static_cast<int>(state.range(0))));
}
BENCHMARK(bm_battles_by_length)->Arg(0)->Arg(1)->Arg(2)->Iterations(seed_count / 3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench_start_game();
    lay_out_presses();
    benchmark::RunSpecifiedBenchmarks();
    bench_stop_game();
    return 0;
}
