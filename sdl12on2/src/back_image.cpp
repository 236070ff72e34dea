// back_image.cpp -- pictures read by SDL2_image (and SDL2's BMP reader), described to the front in
// the pixel format SDL_image 1.2 gives the same file: 24-bit RGB stays 24-bit, RGBA is 32-bit
// with an alpha mask, and palettes stay palettes.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstring>

#include "back.h"
#include "bridge.h"

// SDL_image 1.2 reads with libpng; the browser's SDL2_image reads with stb_image, which widens
// palette and grey PNGs to RGB(A). The front gets whatever format the reader kept.
static int describe(SDL_Surface* s, sdl12_pixels* out)
{
    if (!s)
        return -1;
    SDL_PixelFormat* f = s->format;
    if (SDL_ISPIXELFORMAT_FOURCC(f->format) || f->BitsPerPixel < 8) {
        // Fewer than 8 bits a pixel (1- and 4-bit BMPs) reach 1.2 as 8-bit palettized pictures.
        SDL_Surface* wide = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_INDEX8, 0);
        SDL_FreeSurface(s);
        if (!wide)
            return -1;
        s = wide;
        f = s->format;
    }
    std::memset(out, 0, sizeof *out);
    out->w = s->w;
    out->h = s->h;
    out->pitch = s->pitch;
    out->bits = f->BitsPerPixel;
    out->rmask = f->Rmask;
    out->gmask = f->Gmask;
    out->bmask = f->Bmask;
    out->amask = f->Amask;
    if (f->palette) {
        int n = f->palette->ncolors > 256 ? 256 : f->palette->ncolors;
        out->ncolors = n;
        for (int i = 0; i < n; i++) {
            out->palette[i][0] = f->palette->colors[i].r;
            out->palette[i][1] = f->palette->colors[i].g;
            out->palette[i][2] = f->palette->colors[i].b;
            out->palette[i][3] = 0;
        }
    }
    Uint32 key = 0;
    if (SDL_GetColorKey(s, &key) == 0) {
        out->has_key = 1;
        out->key = key;
    }
    out->pixels = s->pixels;
    out->handle = s;
    return 0;
}

void sdl12b_pixels_free(sdl12_pixels* p)
{
    if (p && p->handle)
        SDL_FreeSurface(static_cast<SDL_Surface*>(p->handle));
    if (p)
        p->handle = nullptr;
}

int sdl12b_image_load(void* rw, int freesrc, sdl12_pixels* out)
{
    if (!rw) {
        SDL_SetError("Passed a NULL data source");
        return -1;
    }
    return describe(IMG_Load_RW(static_cast<SDL_RWops*>(rw), freesrc), out);
}

int sdl12b_bmp_load(void* rw, int freesrc, sdl12_pixels* out)
{
    if (!rw) {
        SDL_SetError("Passed a NULL data source");
        return -1;
    }
    return describe(SDL_LoadBMP_RW(static_cast<SDL_RWops*>(rw), freesrc), out);
}
