// resources.cpp -- the resource handles themselves; startup_game fills them.
#include "platform/resources.h"

SDL_Surface* screen = nullptr;
TTF_Font* font = nullptr;
Uint32 colour_key = 0;

SDL_Surface* tiles_image = nullptr;
SDL_Surface* title_image = nullptr;
SDL_Surface* title_text_image = nullptr;
SDL_Surface* options_image = nullptr;
SDL_Surface* balance_image = nullptr;
SDL_Surface* balance_bg_image = nullptr;
SDL_Surface* cursor_image = nullptr;
SDL_Surface* move_cursor_image = nullptr;

Mix_Chunk* sound_hit = nullptr;
Mix_Chunk* sound_arrow = nullptr;
Mix_Chunk* sound_fireball = nullptr;
Mix_Chunk* sound_spawn = nullptr;
Mix_Chunk* sound_castle = nullptr;
Mix_Chunk* sound_step = nullptr;
Mix_Chunk* sound_chains = nullptr;
Mix_Chunk* sound_gameover = nullptr;

Mix_Music* music_title = nullptr;
Mix_Music* music_balanced = nullptr;
Mix_Music* music_light = nullptr;
Mix_Music* music_dark = nullptr;
