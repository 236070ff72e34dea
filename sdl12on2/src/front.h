/* front.h -- what the layer's front files (the ones built on our 1.2 headers) share about surfaces:
 * the display surface hook, the blit mapping kept on every surface, and the blitters behind it.
 * Only front files include this; back files never see SDL 1.2 types. */
#ifndef SDL12ON2_FRONT_H
#define SDL12ON2_FRONT_H

#include "SDL.h"

/* The display surface, set by the video code when a mode is set and cleared before it frees it.
 * SDL_FreeSurface leaves this surface alone, and SDL_DisplayFormat(Alpha) convert to its format. */
extern SDL_Surface* sdl12_video_surface;

/* How a source surface is blitted to the destination it was last blitted to (surface->map). As in
 * SDL 1.2 it holds on until the source's colour key, alpha or format change or the destination's
 * format (palette) changes, and the colour tables in it are computed when it is made. */
struct sdl12_blit_map {
    SDL_Surface* dst;           /* the destination this mapping was made for, or none */
    unsigned int format_version; /* the destination's format_version at that time */
    int identity;               /* source and destination pixels mean the same */
    Uint8* table;               /* palette index (or dithered 3-3-2 colour) -> destination pixel */
    int kind;                   /* which blitter runs (blit.cpp) */
    int run_length;             /* blits draw as 1.2's run-length encoded source does */
    int encoded;                /* how the surface's pixels are held while SDL_RLEACCEL is set */
    SDL_PixelFormat encoded_for; /* the destination format per-pixel alpha runs were made for */
};

/* A fresh, invalid mapping for a new surface (NULL when out of memory); freeing one. */
sdl12_blit_map* sdl12_alloc_blit_map(void);
void sdl12_free_blit_map(sdl12_blit_map* map);
/* Forgets the destination, so that the next blit maps again. */
void sdl12_invalidate_map(sdl12_blit_map* map);
/* Marks a surface's format as changed (new palette): blits to it map again, and so do its own. */
void sdl12_format_changed(SDL_Surface* surface);

/* Makes src->map fit dst and chooses the blitter, as 1.2's SDL_MapSurface; -1 with the error set
 * when 1.2 has no blitter for the pair. */
int sdl12_map_surface(SDL_Surface* src, SDL_Surface* dst);
/* Runs the mapped blit of the clipped rectangles (what SDL_LowerBlit does after mapping). */
int sdl12_run_blit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);

/* Run-length state as 1.2 keeps it (SDL_RLEACCEL in flags). The layer keeps the pixels and draws
 * what 1.2 draws from its runs; decoding (recode) leaves the pixels as 1.2 rebuilds them, which
 * for per-pixel alpha runs made for a 16-bit or 24-in-32-bit destination loses what the runs
 * could not hold. */
int sdl12_rle_surface(SDL_Surface* surface);
void sdl12_unrle_surface(SDL_Surface* surface, int recode);

/* The palette entry nearest to a colour (1.2's SDL_FindColor). */
Uint8 sdl12_find_color(const SDL_Palette* palette, Uint8 r, Uint8 g, Uint8 b);

#endif
