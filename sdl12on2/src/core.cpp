// core.cpp -- SDL 1.2's start and stop, errors, version, time, file streams and the audio lock.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "SDL.h"
#include "bridge.h"
#include "events.h"
#include "video.h"

static int bridge_subsystems(Uint32 flags)
{
    int subsystems = 0;
    if (flags & SDL_INIT_TIMER)
        subsystems |= sdl12b_timer;
    if (flags & SDL_INIT_AUDIO)
        subsystems |= sdl12b_audio;
    if (flags & SDL_INIT_VIDEO)
        subsystems |= sdl12b_video;
    if (flags & SDL_INIT_JOYSTICK)
        subsystems |= sdl12b_joystick;
    return subsystems;
}

static Uint32 old_flags(int subsystems)
{
    Uint32 flags = 0;
    if (subsystems & sdl12b_timer)
        flags |= SDL_INIT_TIMER;
    if (subsystems & sdl12b_audio)
        flags |= SDL_INIT_AUDIO;
    if (subsystems & sdl12b_video)
        flags |= SDL_INIT_VIDEO;
    if (subsystems & sdl12b_joystick)
        flags |= SDL_INIT_JOYSTICK;
    return flags;
}

// 1.2 counts the CD-ROM subsystem as started even where no drive exists.
static bool cdrom_on = false;

int SDL_InitSubSystem(Uint32 flags)
{
    if (sdl12b_init(bridge_subsystems(flags)) < 0)
        return -1;
    if (flags & SDL_INIT_CDROM)
        cdrom_on = true;
    return 0;
}

int SDL_Init(Uint32 flags)
{
    // The timer always runs in 1.2 (SDL_GetTicks counts from SDL_Init).
    return SDL_InitSubSystem(flags | SDL_INIT_TIMER);
}

void SDL_QuitSubSystem(Uint32 flags)
{
    int subsystems = bridge_subsystems(flags);
    if (subsystems & sdl12b_video)
        sdl12_video_quit();
    if (subsystems & sdl12b_joystick)
        sdl12_joysticks_quit();
    if (flags & SDL_INIT_CDROM)
        cdrom_on = false;
    sdl12b_quit(subsystems);
}

Uint32 SDL_WasInit(Uint32 flags)
{
    Uint32 on = old_flags(sdl12b_was_init(bridge_subsystems(flags)));
    if (cdrom_on)
        on |= SDL_INIT_CDROM & flags;
    return on;
}

void SDL_Quit(void)
{
    SDL_QuitSubSystem(SDL_INIT_EVERYTHING);
    sdl12_events_reset();
}

void SDL_SetError(const char* format, ...)
{
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    sdl12b_set_error(message);
}

char* SDL_GetError(void)
{
    // 1.2 hands out a writable buffer; the game only reads it.
    static char copy[1024];
    const char* text = sdl12b_get_error();
    std::snprintf(copy, sizeof copy, "%s", text ? text : "");
    return copy;
}

void SDL_ClearError(void)
{
    sdl12b_clear_error();
}

const SDL_version* SDL_Linked_Version(void)
{
    static SDL_version linked;
    SDL_VERSION(&linked);
    return &linked;
}

Uint32 SDL_GetTicks(void)
{
    return sdl12b_ticks();
}

void SDL_Delay(Uint32 ms)
{
    sdl12b_delay(ms);
}

// An SDL_RWops of the layer is SDL2's stream itself; the game only passes it on.
SDL_RWops* SDL_RWFromFile(const char* file, const char* mode)
{
    if (!file || !*file || !mode || !*mode) {
        SDL_SetError("SDL_RWFromFile(): No file or no mode specified");
        return nullptr;
    }
    return static_cast<SDL_RWops*>(sdl12b_rw_from_file(file, mode));
}

SDL_RWops* SDL_RWFromMem(void* mem, int size)
{
    return static_cast<SDL_RWops*>(sdl12b_rw_from_mem(mem, size));
}

int SDL_RWclose(SDL_RWops* context)
{
    return sdl12b_rw_close(context);
}

void SDL_LockAudio(void)
{
    sdl12b_lock_audio();
}

void SDL_UnlockAudio(void)
{
    sdl12b_unlock_audio();
}

char* SDL_AudioDriverName(char* namebuf, int maxlen)
{
    const char* name = sdl12b_audio_driver();
    if (!name || !namebuf || maxlen <= 0)
        return nullptr;
    std::snprintf(namebuf, static_cast<size_t>(maxlen), "%s", name);
    return namebuf;
}
