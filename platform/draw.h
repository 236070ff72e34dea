// draw.h -- palette colours, pixel access, rectangles, blits and text over SDL surfaces.
#pragma once
#include <SDL.h>

typedef int ColourIndex;

Uint32 map_colour(ColourIndex index);
int get_pixel(SDL_Surface* surface, int x, int y);
void put_pixel(SDL_Surface* surface, int x, int y, Uint32 value);
void fill_rect(SDL_Surface* surface, int x1, int y1, int x2, int y2, Uint32 value);
void draw_rect(SDL_Surface* surface, int x1, int y1, int x2, int y2, Uint32 value);
void clear_surface(SDL_Surface* surface, Uint32 value);
void blit(SDL_Surface* source, SDL_Surface* destination, int sx, int sy, int dx, int dy, int w, int h);
void draw_text(SDL_Surface* destination, const char* text, int x, int y, Uint32 fg, ColourIndex bg);
void draw_text_centred(SDL_Surface* destination, const char* text, int x, int y, Uint32 fg, ColourIndex bg);
void print_text_centred(SDL_Surface* destination, int x, int y, Uint32 fg, ColourIndex bg,
                        const char* format, ...) __attribute__((format(printf, 6, 7)));
void flip_screen();

int int_max(int a, int b);
int int_abs(int a);
