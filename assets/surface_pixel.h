// surface_pixel.h -- the icon generator and the asset tests read loaded pictures without the game
// library, so they share this one raw pixel read of any SDL surface depth.
#pragma once
#include <SDL.h>

inline Uint32 raw_pixel(SDL_Surface* s, int x, int y)
{
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1: return *p;
    case 2: return *reinterpret_cast<const Uint16*>(p);
    case 3: return SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[2] | p[1] << 8 | p[0] << 16;
    default: return *reinterpret_cast<const Uint32*>(p);
    }
}
