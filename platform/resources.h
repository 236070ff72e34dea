// resources.h -- every resource of the run: the display, the font and the 21 loaded assets.
// All are acquired once by startup_game and released once by shutdown_game; null means not loaded.
#pragma once
#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

extern SDL_Surface* screen;
extern TTF_Font* font;
extern Uint32 colour_key;  // RGB (174, 105, 174) in the screen's pixel format

extern SDL_Surface* tiles_image;
extern SDL_Surface* title_image;
extern SDL_Surface* title_text_image;
extern SDL_Surface* options_image;
extern SDL_Surface* balance_image;
extern SDL_Surface* balance_bg_image;
extern SDL_Surface* cursor_image;
extern SDL_Surface* move_cursor_image;

extern Mix_Chunk* sound_hit;
extern Mix_Chunk* sound_arrow;
extern Mix_Chunk* sound_fireball;
extern Mix_Chunk* sound_spawn;
extern Mix_Chunk* sound_castle;
extern Mix_Chunk* sound_step;
extern Mix_Chunk* sound_chains;
extern Mix_Chunk* sound_gameover;

extern Mix_Music* music_title;
extern Mix_Music* music_balanced;
extern Mix_Music* music_light;
extern Mix_Music* music_dark;
