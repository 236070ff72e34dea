// battle.h -- one whole battle: turns, banners, the victory box and the music that follows it.
#pragma once
#include <SDL.h>

extern int music_mood;           // 0 balanced, -1 the Light's piece, 1 the Dark's piece
extern Uint32 music_changed_at;  // tick count of the battle start or the last change of music

void play_battle();
void turn_banner();
void update_music_mood();
void show_victory();
