/* sdl12on2.h -- what the sdl12on2 layer offers beyond SDL 1.2: a look at the sound, for the browser
 * build's tests (the page calls these through the module's exports). */
#ifndef SDL12ON2_EXTRA_H
#define SDL12ON2_EXTRA_H

#ifdef __cplusplus
extern "C" {
#endif

/* The file name the music playing now was loaded from (as given to Mix_LoadMUS), or "" when no
 * music plays. */
const char* sdl12_playing_music_name(void);

/* How many times SDL2 has asked the mixer for sound since the program started. */
unsigned long sdl12_audio_callbacks(void);

#ifdef __cplusplus
}
#endif

#endif
