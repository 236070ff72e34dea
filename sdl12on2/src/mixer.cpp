// mixer.cpp -- SDL_mixer 1.2's calls, passed to SDL2_mixer through the bridge. Chunks are SDL2_mixer's
// own (same layout); music is wrapped to remember the file it came from.
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#define SDL12_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SDL12_EXPORT
#endif

#include <cstring>
#include <string>

#include "SDL_mixer.h"
#include "bridge.h"
#include "sdl12on2.h"

struct Mix_Music {
    void* back;
    std::string name;
};

// The music last started, while it plays.
static const Mix_Music* playing = nullptr;

const SDL_version* Mix_Linked_Version(void)
{
    static SDL_version linked = {MIX_MAJOR_VERSION, MIX_MINOR_VERSION, MIX_PATCHLEVEL};
    return &linked;
}

int Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize)
{
    return sdl12b_mix_open(frequency, format, channels, chunksize);
}

void Mix_CloseAudio(void)
{
    sdl12b_mix_close();
}

int Mix_QuerySpec(int* frequency, Uint16* format, int* channels)
{
    int f = 0;
    int opened = sdl12b_mix_query(frequency, &f, channels);
    if (format)
        *format = static_cast<Uint16>(f);
    return opened;
}

int Mix_AllocateChannels(int numchans)
{
    return sdl12b_mix_allocate(numchans);
}

Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc)
{
    return static_cast<Mix_Chunk*>(sdl12b_mix_load_wav(src, freesrc));
}

Mix_Chunk* Mix_QuickLoad_WAV(Uint8* mem)
{
    return static_cast<Mix_Chunk*>(sdl12b_mix_quick_wav(mem));
}

Mix_Chunk* Mix_QuickLoad_RAW(Uint8* mem, Uint32 len)
{
    return static_cast<Mix_Chunk*>(sdl12b_mix_quick_raw(mem, len));
}

void Mix_FreeChunk(Mix_Chunk* chunk)
{
    if (chunk)
        sdl12b_mix_free_chunk(chunk);
}

Mix_Music* Mix_LoadMUS(const char* file)
{
    void* back = sdl12b_mix_load_music(file);
    if (!back)
        return nullptr;
    Mix_Music* music = new Mix_Music;
    music->back = back;
    music->name = file;
    return music;
}

void Mix_FreeMusic(Mix_Music* music)
{
    if (!music)
        return;
    sdl12b_mix_free_music(music->back);  // halts it first if it plays
    if (playing == music)
        playing = nullptr;
    delete music;
}

Mix_MusicType Mix_GetMusicType(const Mix_Music* music)
{
    // No music asks about the one playing, as in SDL_mixer.
    const Mix_Music* which = music ? music : playing;
    if (!which)
        return MUS_NONE;
    return static_cast<Mix_MusicType>(sdl12b_mix_music_type(which->back));
}

void Mix_SetPostMix(void (*mix_func)(void* udata, Uint8* stream, int len), void* arg)
{
    sdl12b_mix_post_mix(mix_func, arg);
}

int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks)
{
    return sdl12b_mix_play_channel(channel, chunk, loops, ticks);
}

int Mix_PlayMusic(Mix_Music* music, int loops)
{
    if (!music) {
        SDL_SetError("music parameter was NULL");
        return -1;
    }
    int result = sdl12b_mix_play_music(music->back, loops);
    if (result == 0)
        playing = music;
    return result;
}

int Mix_Volume(int channel, int volume)
{
    return sdl12b_mix_volume(channel, volume);
}

int Mix_VolumeChunk(Mix_Chunk* chunk, int volume)
{
    if (!chunk)
        return -1;
    return sdl12b_mix_volume_chunk(chunk, volume);
}

int Mix_VolumeMusic(int volume)
{
    return sdl12b_mix_volume_music(volume);
}

int Mix_HaltChannel(int channel)
{
    return sdl12b_mix_halt_channel(channel);
}

int Mix_HaltMusic(void)
{
    int result = sdl12b_mix_halt_music();
    playing = nullptr;
    return result;
}

void Mix_PauseMusic(void)
{
    sdl12b_mix_pause_music();
}

void Mix_ResumeMusic(void)
{
    sdl12b_mix_resume_music();
}

int Mix_Playing(int channel)
{
    return sdl12b_mix_playing(channel);
}

int Mix_PlayingMusic(void)
{
    return sdl12b_mix_playing_music();
}

int Mix_PausedMusic(void)
{
    return sdl12b_mix_paused_music();
}

extern "C" SDL12_EXPORT const char* sdl12_playing_music_name(void)
{
    if (!playing || !sdl12b_mix_playing_music())
        return "";
    return playing->name.c_str();
}

extern "C" SDL12_EXPORT unsigned long sdl12_audio_callbacks(void)
{
    return sdl12b_mix_callbacks();
}
