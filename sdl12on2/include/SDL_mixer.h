/* SDL_mixer.h -- the SDL_mixer 1.2 interface Umbrafront uses, provided by the sdl12on2 layer over
 * SDL2_mixer. Error texts come from SDL_GetError, as in SDL_mixer 1.2. */
#ifndef SDL12ON2_SDL_MIXER_H
#define SDL12ON2_SDL_MIXER_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MIX_MAJOR_VERSION 1
#define MIX_MINOR_VERSION 2
#define MIX_PATCHLEVEL 12
#define MIX_CHANNELS 8
#define MIX_DEFAULT_FREQUENCY 22050
#define MIX_DEFAULT_FORMAT AUDIO_S16SYS
#define MIX_DEFAULT_CHANNELS 2
#define MIX_MAX_VOLUME 128

/* The same fields, in the same order, as SDL_mixer's chunk in both 1.2 and 2. */
typedef struct Mix_Chunk {
    int allocated;
    Uint8* abuf;
    Uint32 alen;
    Uint8 volume;
} Mix_Chunk;

typedef struct Mix_Music Mix_Music;

typedef enum { MIX_NO_FADING, MIX_FADING_OUT, MIX_FADING_IN } Mix_Fading;
typedef enum { MUS_NONE, MUS_CMD, MUS_WAV, MUS_MOD, MUS_MID, MUS_OGG, MUS_MP3, MUS_MP3_MAD, MUS_FLAC } Mix_MusicType;

const SDL_version* Mix_Linked_Version(void) SDL12_LINK(Mix_Linked_Version);
int Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize) SDL12_LINK(Mix_OpenAudio);
void Mix_CloseAudio(void) SDL12_LINK(Mix_CloseAudio);
int Mix_QuerySpec(int* frequency, Uint16* format, int* channels) SDL12_LINK(Mix_QuerySpec);
int Mix_AllocateChannels(int numchans) SDL12_LINK(Mix_AllocateChannels);

Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc) SDL12_LINK(Mix_LoadWAV_RW);
#define Mix_LoadWAV(file) Mix_LoadWAV_RW(SDL_RWFromFile(file, "rb"), 1)
Mix_Chunk* Mix_QuickLoad_WAV(Uint8* mem) SDL12_LINK(Mix_QuickLoad_WAV);
Mix_Chunk* Mix_QuickLoad_RAW(Uint8* mem, Uint32 len) SDL12_LINK(Mix_QuickLoad_RAW);
void Mix_FreeChunk(Mix_Chunk* chunk) SDL12_LINK(Mix_FreeChunk);
Mix_Music* Mix_LoadMUS(const char* file) SDL12_LINK(Mix_LoadMUS);
void Mix_FreeMusic(Mix_Music* music) SDL12_LINK(Mix_FreeMusic);
Mix_MusicType Mix_GetMusicType(const Mix_Music* music) SDL12_LINK(Mix_GetMusicType);

void Mix_SetPostMix(void (*mix_func)(void* udata, Uint8* stream, int len), void* arg) SDL12_LINK(Mix_SetPostMix);

int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks) SDL12_LINK(Mix_PlayChannelTimed);
#define Mix_PlayChannel(channel, chunk, loops) Mix_PlayChannelTimed(channel, chunk, loops, -1)
int Mix_PlayMusic(Mix_Music* music, int loops) SDL12_LINK(Mix_PlayMusic);
int Mix_Volume(int channel, int volume) SDL12_LINK(Mix_Volume);
int Mix_VolumeChunk(Mix_Chunk* chunk, int volume) SDL12_LINK(Mix_VolumeChunk);
int Mix_VolumeMusic(int volume) SDL12_LINK(Mix_VolumeMusic);
int Mix_HaltChannel(int channel) SDL12_LINK(Mix_HaltChannel);
int Mix_HaltMusic(void) SDL12_LINK(Mix_HaltMusic);
void Mix_PauseMusic(void) SDL12_LINK(Mix_PauseMusic);
void Mix_ResumeMusic(void) SDL12_LINK(Mix_ResumeMusic);
int Mix_Playing(int channel) SDL12_LINK(Mix_Playing);
int Mix_PlayingMusic(void) SDL12_LINK(Mix_PlayingMusic);
int Mix_PausedMusic(void) SDL12_LINK(Mix_PausedMusic);

#define Mix_SetError SDL_SetError
#define Mix_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
