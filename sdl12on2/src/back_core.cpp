// back_core.cpp -- the SDL2 side of start-up, errors, time and file streams.
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

#include "back.h"
#include "bridge.h"

static Uint32 sdl2_flags(int subsystems)
{
    Uint32 flags = 0;
    if (subsystems & sdl12b_timer)
        flags |= SDL_INIT_TIMER;
    if (subsystems & sdl12b_audio)
        flags |= SDL_INIT_AUDIO;
    if (subsystems & sdl12b_video)
        flags |= SDL_INIT_VIDEO;
    if (subsystems & sdl12b_joystick)
        flags |= SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;
    return flags;
}

// Where libudev cannot be loaded (some handheld firmwares lack it), SDL2 finds pads by scanning
// the devices itself; say so up front, since SDL2 2.0.14 crashes in its joystick shut-down when it
// tried udev and failed.
static void pads_without_missing_udev()
{
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
    void* udev = SDL_LoadObject("libudev.so.1");
    if (udev) {
        SDL_UnloadObject(udev);
        return;
    }
    // 2.0.14 reads this from the environment, later versions as a hint that falls back to it.
    setenv("SDL_JOYSTICK_DISABLE_UDEV", "1", 0);
    SDL_ClearError();  // the failed load is no error of the caller's
#endif
}

int sdl12b_init(int subsystems)
{
    // Set at every start: SDL_Quit forgets hints.
    // 1.2 never minimised a full-screen window that lost focus, and leaves the screen saver alone.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Pads are read whether or not the window has the focus, as 1.2 read them.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL 1.2 starts without sound when no audio device can be had; opening the mixer fails later.
    if (subsystems & sdl12b_audio) {
        if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
            back_audio_missing = true;
        subsystems &= ~sdl12b_audio;
    }
    if (subsystems & sdl12b_joystick) {
        pads_without_missing_udev();
        back_add_pad_mappings();
    }
    Uint32 flags = sdl2_flags(subsystems);
    if (flags && SDL_InitSubSystem(flags) < 0)
        return -1;
    return 0;
}

void sdl12b_quit(int subsystems)
{
    if (subsystems & sdl12b_joystick)
        back_close_pads();
    if (subsystems & sdl12b_video)
        sdl12b_window_close();
    if (subsystems & sdl12b_audio)
        back_audio_missing = false;
    SDL_QuitSubSystem(sdl2_flags(subsystems));
    if (!SDL_WasInit(SDL_INIT_EVERYTHING))
        SDL_Quit();
}

int sdl12b_was_init(int subsystems)
{
    Uint32 on = SDL_WasInit(SDL_INIT_EVERYTHING);
    int result = 0;
    if (on & SDL_INIT_TIMER)
        result |= sdl12b_timer;
    if ((on & SDL_INIT_AUDIO) || back_audio_missing)
        result |= sdl12b_audio;
    if (on & SDL_INIT_VIDEO)
        result |= sdl12b_video;
    if (on & SDL_INIT_JOYSTICK)
        result |= sdl12b_joystick;
    return result & subsystems;
}

void sdl12b_set_error(const char* message)
{
    SDL_SetError("%s", message);
}

const char* sdl12b_get_error(void)
{
    return SDL_GetError();
}

void sdl12b_clear_error(void)
{
    SDL_ClearError();
}

uint32_t sdl12b_ticks(void)
{
    return SDL_GetTicks();
}

void sdl12b_delay(uint32_t ms)
{
    SDL_Delay(ms);  // under emscripten with asyncify this hands the time to the page
}

void* sdl12b_rw_from_file(const char* file, const char* mode)
{
    return SDL_RWFromFile(file, mode);
}

void* sdl12b_rw_from_mem(void* mem, int size)
{
    return SDL_RWFromMem(mem, size);
}

int sdl12b_rw_close(void* rw)
{
    if (!rw)
        return -1;
    return SDL_RWclose(static_cast<SDL_RWops*>(rw));
}

size_t sdl12b_rw_write(void* rw, const void* data, size_t size)
{
    return SDL_RWwrite(static_cast<SDL_RWops*>(rw), data, 1, size);
}

int64_t sdl12b_rw_seek(void* rw, int64_t offset, int whence)
{
    return SDL_RWseek(static_cast<SDL_RWops*>(rw), offset, whence);
}
