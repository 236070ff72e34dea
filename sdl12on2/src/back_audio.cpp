// back_audio.cpp -- the SDL_mixer 1.2 calls on SDL2_mixer. Natively the device is opened at
// exactly the rate, format and buffer the game asks for (SDL2 converts to the hardware on the
// way), as SDL 1.2 gave them; in the browser the page's own rate is taken and the buffer is made
// long enough to ride out a frame in which the game does not hand the page its turn.
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <atomic>
#include <string>

#include "back.h"
#include "bridge.h"

bool back_audio_missing = false;

// SDL2_mixer keeps its device to itself; 1.2's SDL_LockAudio locked the one audio device, so the
// layer finds the mixer's device among SDL2's open ones right after opening it.
static SDL_AudioDeviceID mixer_device = 0;

static std::atomic<unsigned long> callbacks{0};
static void (*user_post_mix)(void*, Uint8*, int) = nullptr;
static void* user_post_mix_arg = nullptr;

// Installed with SDL2_mixer for as long as the mixer is open: counts SDL2's requests for sound
// (the browser tests read it) and passes the mixed stream on to the game's own post-mix function.
static void count_and_post_mix(void*, Uint8* stream, int len)
{
    callbacks.fetch_add(1, std::memory_order_relaxed);
    if (user_post_mix)
        user_post_mix(user_post_mix_arg, stream, len);
}

static SDL_AudioDeviceID find_mixer_device()
{
    std::string saved = SDL_GetError();  // probing unused numbers sets errors the game must not see
    SDL_AudioDeviceID found = 0;
    for (SDL_AudioDeviceID id = 2; id < 64 && !found; id++)
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING)
            found = id;
    SDL_SetError("%s", saved.c_str());
    return found;
}

int sdl12b_mix_open(int frequency, int format, int channels, int chunksize)
{
#ifdef __EMSCRIPTEN__
    // Web Audio runs at the page's rate, and its script processor takes 256 to 16384 frames at a
    // time: 4096 frames (about 85 ms at 48 kHz) play on through a slow frame without a gap.
    (void)chunksize;
    int result = Mix_OpenAudioDevice(frequency, static_cast<Uint16>(format), channels, 4096, nullptr,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
#else
    // SDL2_mixer 2.6 decodes Ogg music one buffer of the device's size at a time and gives a piece
    // up as ended after ten decodes that the resampler turns into no sound yet: with the game's
    // 128 frames, its 22050 Hz pieces stop in the first buffer. 256 frames play them (a sound
    // starts up to 23 ms after it is asked for, instead of SDL 1.2's 12).
    const int shortest_chunk = 256;
    int result = Mix_OpenAudioDevice(frequency, static_cast<Uint16>(format), channels,
                                     chunksize < shortest_chunk ? shortest_chunk : chunksize, nullptr, 0);
#endif
    if (result != 0)
        return result;
    back_audio_missing = false;
    mixer_device = find_mixer_device();
    Mix_SetPostMix(count_and_post_mix, nullptr);
    return 0;
}

void sdl12b_mix_close(void)
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    int opened = Mix_QuerySpec(&frequency, &format, &channels);
    Mix_CloseAudio();
    if (opened <= 1) {
        mixer_device = 0;
        user_post_mix = nullptr;
        user_post_mix_arg = nullptr;
    }
}

int sdl12b_mix_query(int* frequency, int* format, int* channels)
{
    Uint16 f = 0;
    int result = Mix_QuerySpec(frequency, &f, channels);
    if (format)
        *format = f;
    return result;
}

int sdl12b_mix_allocate(int channels)
{
    return Mix_AllocateChannels(channels);
}

// Mix_Chunk has the same fields in SDL_mixer 1.2 and 2, so chunks cross to the game as they are.
void* sdl12b_mix_load_wav(void* rw, int freesrc)
{
    if (!rw) {
        SDL_SetError("Mix_LoadWAV_RW with NULL src");
        return nullptr;
    }
    return Mix_LoadWAV_RW(static_cast<SDL_RWops*>(rw), freesrc);
}

void* sdl12b_mix_quick_raw(uint8_t* mem, uint32_t len)
{
    return Mix_QuickLoad_RAW(mem, len);
}

void* sdl12b_mix_quick_wav(uint8_t* mem)
{
    return Mix_QuickLoad_WAV(mem);
}

void sdl12b_mix_free_chunk(void* chunk)
{
    Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
}

void* sdl12b_mix_load_music(const char* file)
{
    return Mix_LoadMUS(file);
}

void sdl12b_mix_free_music(void* music)
{
    Mix_FreeMusic(static_cast<Mix_Music*>(music));
}

int sdl12b_mix_music_type(void* music)
{
    // SDL2_mixer keeps 1.2's numbers up to FLAC (its MP3_MAD slot is unused).
    int type = Mix_GetMusicType(static_cast<Mix_Music*>(music));
    return type <= MUS_FLAC ? type : MUS_NONE;
}

void sdl12b_mix_post_mix(void (*mix)(void*, uint8_t*, int), void* arg)
{
    sdl12b_lock_audio();
    user_post_mix = mix;
    user_post_mix_arg = arg;
    sdl12b_unlock_audio();
}

int sdl12b_mix_play_channel(int channel, void* chunk, int loops, int ticks)
{
    return Mix_PlayChannelTimed(channel, static_cast<Mix_Chunk*>(chunk), loops, ticks);
}

// The game's music volume; SDL2_mixer is given it scaled for MOD pieces (see apply_music_volume).
static int music_volume = MIX_MAX_VOLUME;
static bool mod_playing = false;

// SDL_mixer 1.2 played MOD pieces with MikMod; Debian's SDL2_mixer plays them with ModPlug, about
// 2.9 dB louder (the Ogg pieces play alike in both). ModPlug's volume at 0.6 of the game's brings
// the game's two MOD pieces to within 0.2 dB of 1.2's level (measured by asset_levels_test; ModPlug
// does not scale in proportion). The browser's libxmp is left as it plays.
static void apply_music_volume()
{
#ifdef __EMSCRIPTEN__
    const bool scale = false;
#else
    const bool scale = mod_playing;
#endif
    Mix_VolumeMusic(scale ? (music_volume * 3 + 2) / 5 : music_volume);
}

int sdl12b_mix_play_music(void* music, int loops)
{
    mod_playing = Mix_GetMusicType(static_cast<Mix_Music*>(music)) == MUS_MOD;
    apply_music_volume();  // before it starts, which takes the volume of the moment
    return Mix_PlayMusic(static_cast<Mix_Music*>(music), loops);
}

int sdl12b_mix_volume(int channel, int volume)
{
    return Mix_Volume(channel, volume);
}

int sdl12b_mix_volume_chunk(void* chunk, int volume)
{
    return Mix_VolumeChunk(static_cast<Mix_Chunk*>(chunk), volume);
}

int sdl12b_mix_volume_music(int volume)
{
    int was = music_volume;
    if (volume >= 0) {
        music_volume = volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume;
        apply_music_volume();
    }
    return was;
}

int sdl12b_mix_halt_channel(int channel)
{
    return Mix_HaltChannel(channel);
}

int sdl12b_mix_halt_music(void)
{
    return Mix_HaltMusic();
}

void sdl12b_mix_pause_music(void)
{
    Mix_PauseMusic();
}

void sdl12b_mix_resume_music(void)
{
    Mix_ResumeMusic();
}

int sdl12b_mix_playing(int channel)
{
    return Mix_Playing(channel);
}

int sdl12b_mix_playing_music(void)
{
    return Mix_PlayingMusic();
}

int sdl12b_mix_paused_music(void)
{
    return Mix_PausedMusic();
}

void sdl12b_lock_audio(void)
{
    if (mixer_device)
        SDL_LockAudioDevice(mixer_device);
}

void sdl12b_unlock_audio(void)
{
    if (mixer_device)
        SDL_UnlockAudioDevice(mixer_device);
}

unsigned long sdl12b_mix_callbacks(void)
{
    return callbacks.load(std::memory_order_relaxed);
}
