// sound.h -- the master volume and sound effect playback.
#pragma once
#include <SDL_mixer.h>

extern int volume;  // master volume, 0..128, for effects and music alike; lives for the whole run

void change_volume(int delta);
int play_sound(Mix_Chunk* effect);
