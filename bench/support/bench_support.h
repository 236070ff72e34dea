// bench_support.h -- headless start-up and a virtual clock for the benchmarks.
#pragma once
#include <SDL.h>

// Sets the dummy drivers, moves into a fresh temporary directory with Data/ linked in and runs
// the real startup_game. Call once, before the benchmarks run.
void bench_start_game();
void bench_stop_game();
// The virtual clock: every SDL_GetTicks call advances it by 1 ms and every empty poll by 1 ms.
Uint32 bench_ticks();
// How many times the game has polled for events and flipped the screen since start-up: under the
// virtual clock a wait of n ms polls about n / 2 times, so what a poll costs decides what the
// waits cost here.
unsigned long bench_polls();
unsigned long bench_flips();
// Queues a key press (down and up) to arrive when the virtual clock reaches `at`.
void bench_schedule_key_press(Uint32 at, SDLKey sym);
