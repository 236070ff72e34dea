// bench_support.cpp -- headless start-up in a private directory and a virtual clock.
#include "bench_support.h"

#include <cstring>
#include <deque>
#include <string>

#include "harness/link_names.h"
#include "harness/scratch_directory.h"
#include "shell/startup.h"

UMBRA_WRAP_SDL(Uint32, SDL_GetTicks, ());
UMBRA_WRAP_SDL(int, SDL_PollEvent, (SDL_Event * event));
UMBRA_WRAP_SDL(int, SDL_Flip, (SDL_Surface * surface));

namespace {
Uint32 clock_now = 0;
unsigned long polls = 0, flips = 0;
std::string directory;
struct Scheduled {
    Uint32 at;
    SDL_Event event;
};
std::deque<Scheduled> schedule;

void deliver_due()
{
    while (!schedule.empty() && static_cast<Sint32>(clock_now - schedule.front().at) >= 0) {
        SDL_PushEvent(&schedule.front().event);
        schedule.pop_front();
    }
}
}  // namespace

extern "C" Uint32 __wrap_SDL_GetTicks()
{
    deliver_due();
    return clock_now++;
}

extern "C" int __wrap_SDL_PollEvent(SDL_Event* event)
{
    deliver_due();
    polls++;
    int got = __real_SDL_PollEvent(event);
    if (!got)
        clock_now++;
    return got;
}

extern "C" int __wrap_SDL_Flip(SDL_Surface* surface)
{
    flips++;
    return __real_SDL_Flip(surface);
}

unsigned long bench_polls()
{
    return polls;
}

unsigned long bench_flips()
{
    return flips;
}

Uint32 bench_ticks()
{
    return clock_now;
}

void bench_schedule_key_press(Uint32 at, SDLKey sym)
{
    for (int down = 1; down >= 0; down--) {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.type = e.type;
        e.key.keysym.sym = sym;
        Uint32 when = down ? at : at + 20;
        auto it = schedule.begin();
        while (it != schedule.end() && static_cast<Sint32>(it->at - when) <= 0)
            ++it;
        schedule.insert(it, Scheduled{when, e});
    }
}

void bench_start_game()
{
    directory = enter_scratch_directory("/tmp/umbra-bench-XXXXXX");
    startup_game();
}

void bench_stop_game()
{
    shutdown_game();
    remove_scratch_directory(directory);
}
