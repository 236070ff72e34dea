// surface.cpp -- SDL 1.2 software surfaces: pixel formats and palettes, colour mapping, colour key
// and per-surface alpha, clipping, fills, the clipping half of blits, and conversions. Every
// result follows 1.2's arithmetic, including its rounding and its odd corners, because the game
// compares pixels with what SDL 1.2 draws.
#include <cstdlib>
#include <cstring>

#include "front.h"

SDL_Surface* sdl12_video_surface = nullptr;

static void out_of_memory()
{
    SDL_SetError("Out of memory");
}

static void free_format(SDL_PixelFormat* format)
{
    if (!format)
        return;
    if (format->palette) {
        std::free(format->palette->colors);
        std::free(format->palette);
    }
    std::free(format);
}

// Shift and loss of one channel mask, counted the way 1.2 counts them (an empty mask loses 8 bits).
static void channel_from_mask(Uint32 mask, Uint8* shift, Uint8* loss)
{
    *shift = 0;
    *loss = 8;
    if (!mask)
        return;
    while (!(mask & 1)) {
        ++*shift;
        mask >>= 1;
    }
    while (mask & 1) {
        --*loss;
        mask >>= 1;
    }
}

// One channel of a palette entry that 1.2 derives from the masks of a palettized format: the
// field's value, shifted up and filled below with copies of itself.
static int palette_channel(int index, Uint32 mask, Uint8 shift, Uint8 loss)
{
    if (!mask)
        return 0;
    int width = 8 - loss;
    int fill = 0;
    for (int bit = loss; bit > 0; bit -= width)
        fill |= 1 << bit;
    int value = static_cast<int>((static_cast<Uint32>(index) & mask) >> shift);
    return (value << loss) | ((value * fill) >> width);
}

static SDL_PixelFormat* alloc_format(int bpp, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask)
{
    SDL_PixelFormat* format = static_cast<SDL_PixelFormat*>(std::calloc(1, sizeof(SDL_PixelFormat)));
    if (!format) {
        out_of_memory();
        return nullptr;
    }
    format->alpha = SDL_ALPHA_OPAQUE;
    format->BitsPerPixel = static_cast<Uint8>(bpp);
    format->BytesPerPixel = static_cast<Uint8>((bpp + 7) / 8);
    if (rmask || gmask || bmask) {
        channel_from_mask(rmask, &format->Rshift, &format->Rloss);
        channel_from_mask(gmask, &format->Gshift, &format->Gloss);
        channel_from_mask(bmask, &format->Bshift, &format->Bloss);
        channel_from_mask(amask, &format->Ashift, &format->Aloss);
        format->Rmask = rmask;
        format->Gmask = gmask;
        format->Bmask = bmask;
        format->Amask = amask;
    } else if (bpp > 8) {
        // No masks: 1.2 spreads the bits over R-G-B from the top, green taking the odd one.
        int bits = bpp > 24 ? 24 : bpp;
        format->Rloss = static_cast<Uint8>(8 - bits / 3);
        format->Gloss = static_cast<Uint8>(8 - bits / 3 - bits % 3);
        format->Bloss = static_cast<Uint8>(8 - bits / 3);
        format->Rshift = static_cast<Uint8>(bits / 3 + bits % 3 + bits / 3);
        format->Gshift = static_cast<Uint8>(bits / 3);
        format->Bshift = 0;
        format->Rmask = (0xFFu >> format->Rloss) << format->Rshift;
        format->Gmask = (0xFFu >> format->Gloss) << format->Gshift;
        format->Bmask = (0xFFu >> format->Bloss) << format->Bshift;
    } else {
        format->Rloss = format->Gloss = format->Bloss = format->Aloss = 8;
    }
    if (bpp <= 8) {
        int ncolors = 1 << bpp;
        format->palette = static_cast<SDL_Palette*>(std::malloc(sizeof(SDL_Palette)));
        if (!format->palette) {
            free_format(format);
            out_of_memory();
            return nullptr;
        }
        format->palette->ncolors = ncolors;
        format->palette->colors = static_cast<SDL_Color*>(std::calloc(ncolors, sizeof(SDL_Color)));
        if (!format->palette->colors) {
            free_format(format);
            out_of_memory();
            return nullptr;
        }
        SDL_Color* colors = format->palette->colors;
        if (rmask || gmask || bmask) {
            for (int i = 0; i < ncolors; ++i) {
                colors[i].r = static_cast<Uint8>(palette_channel(i, rmask, format->Rshift, format->Rloss));
                colors[i].g = static_cast<Uint8>(palette_channel(i, gmask, format->Gshift, format->Gloss));
                colors[i].b = static_cast<Uint8>(palette_channel(i, bmask, format->Bshift, format->Bloss));
            }
        } else if (ncolors == 2) {
            colors[0].r = colors[0].g = colors[0].b = 0xFF;  // a bitmap: white, then black
        }
    }
    return format;
}

// Bytes per row, rounded up to whole bytes for bitmaps and to 4 bytes; 0 (error set) when too wide.
static Uint16 calculate_pitch(const SDL_Surface* surface)
{
    unsigned int pitch = static_cast<unsigned int>(surface->w) * surface->format->BytesPerPixel;
    switch (surface->format->BitsPerPixel) {
    case 1: pitch = (pitch + 7) / 8; break;
    case 4: pitch = (pitch + 1) / 2; break;
    default: break;
    }
    pitch = (pitch + 3) & ~3u;
    if (pitch > 0xFFFF) {
        SDL_SetError("A scanline is too wide");
        return 0;
    }
    return static_cast<Uint16>(pitch);
}

void sdl12_format_changed(SDL_Surface* surface)
{
    static int format_version = 0;
    ++format_version;
    if (format_version < 0)
        format_version = 1;
    surface->format_version = static_cast<unsigned int>(format_version);
    sdl12_invalidate_map(static_cast<sdl12_blit_map*>(surface->map));
}

static sdl12_blit_map* map_of(SDL_Surface* surface)
{
    return static_cast<sdl12_blit_map*>(surface->map);
}

SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 Rmask,
                                  Uint32 Gmask, Uint32 Bmask, Uint32 Amask)
{
    (void)flags;  // every surface lives in system memory; 1.2 only reads these for video memory
    if (width >= 16384 || height >= 65536) {
        SDL_SetError("Width or height is too large");
        return nullptr;
    }
    SDL_Surface* surface = static_cast<SDL_Surface*>(std::calloc(1, sizeof(SDL_Surface)));
    if (!surface) {
        out_of_memory();
        return nullptr;
    }
    surface->flags = SDL_SWSURFACE;
    surface->format = alloc_format(depth, Rmask, Gmask, Bmask, Amask);
    if (!surface->format) {
        std::free(surface);
        return nullptr;
    }
    if (Amask)
        surface->flags |= SDL_SRCALPHA;
    surface->w = width;
    surface->h = height;
    surface->pitch = calculate_pitch(surface);
    SDL_SetClipRect(surface, nullptr);
    sdl12_format_changed(surface);
    if (surface->w && surface->h) {
        surface->pixels = std::calloc(static_cast<size_t>(surface->h), surface->pitch);
        if (!surface->pixels && surface->pitch) {
            SDL_FreeSurface(surface);
            out_of_memory();
            return nullptr;
        }
    }
    surface->map = sdl12_alloc_blit_map();
    if (!surface->map) {
        SDL_FreeSurface(surface);
        return nullptr;
    }
    surface->refcount = 1;
    return surface;
}

SDL_Surface* SDL_CreateRGBSurfaceFrom(void* pixels, int width, int height, int depth, int pitch,
                                      Uint32 Rmask, Uint32 Gmask, Uint32 Bmask, Uint32 Amask)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 0, 0, depth, Rmask, Gmask, Bmask, Amask);
    if (surface) {
        surface->flags |= SDL_PREALLOC;
        surface->pixels = pixels;
        surface->w = width;
        surface->h = height;
        surface->pitch = static_cast<Uint16>(pitch);
        SDL_SetClipRect(surface, nullptr);
    }
    return surface;
}

void SDL_FreeSurface(SDL_Surface* surface)
{
    if (!surface || surface == sdl12_video_surface)
        return;
    if (--surface->refcount > 0)
        return;
    while (surface->locked > 0)
        SDL_UnlockSurface(surface);
    sdl12_unrle_surface(surface, 0);
    free_format(surface->format);
    surface->format = nullptr;
    sdl12_free_blit_map(map_of(surface));
    surface->map = nullptr;
    if (!(surface->flags & SDL_PREALLOC))
        std::free(surface->pixels);
    std::free(surface);
}

int SDL_LockSurface(SDL_Surface* surface)
{
    if (!surface->locked) {
        // An encoded surface is decoded for drawing into, and stays marked as encoded.
        if (surface->flags & SDL_RLEACCEL) {
            sdl12_unrle_surface(surface, 1);
            surface->flags |= SDL_RLEACCEL;
        }
        surface->pixels = static_cast<Uint8*>(surface->pixels) + surface->offset;
    }
    ++surface->locked;
    return 0;
}

void SDL_UnlockSurface(SDL_Surface* surface)
{
    if (!surface->locked || --surface->locked > 0)
        return;
    surface->pixels = static_cast<Uint8*>(surface->pixels) - surface->offset;
    // 1.2 encodes a run-length surface again from what was drawn into it while it was open.
    if (surface->flags & SDL_RLEACCEL) {
        surface->flags &= ~SDL_RLEACCEL;
        sdl12_rle_surface(surface);
    }
}

int SDL_SetPalette(SDL_Surface* surface, int flags, SDL_Color* colors, int firstcolor, int ncolors)
{
    if (!surface)
        return 0;
    // Only the display has a physical palette; without a hardware palette the two are one.
    if (surface != sdl12_video_surface)
        flags &= ~SDL_PHYSPAL;
    else if (!(surface->flags & SDL_HWPALETTE))
        flags |= SDL_PHYSPAL | SDL_LOGPAL;
    SDL_Palette* palette = surface->format->palette;
    if (!palette)
        return 0;
    int gotall = 1;
    int size = 1 << surface->format->BitsPerPixel;
    if (ncolors > size - firstcolor) {
        ncolors = size - firstcolor;
        gotall = 0;
    }
    if (flags & SDL_LOGPAL) {
        if (colors != palette->colors + firstcolor)
            std::memcpy(palette->colors + firstcolor, colors, ncolors * sizeof(SDL_Color));
        sdl12_format_changed(surface);
    }
    return gotall;
}

int SDL_SetColors(SDL_Surface* surface, SDL_Color* colors, int firstcolor, int ncolors)
{
    return SDL_SetPalette(surface, SDL_LOGPAL | SDL_PHYSPAL, colors, firstcolor, ncolors);
}

Uint8 sdl12_find_color(const SDL_Palette* palette, Uint8 r, Uint8 g, Uint8 b)
{
    unsigned int smallest = ~0u;
    Uint8 pixel = 0;
    for (int i = 0; i < palette->ncolors; ++i) {
        int rd = palette->colors[i].r - r;
        int gd = palette->colors[i].g - g;
        int bd = palette->colors[i].b - b;
        unsigned int distance = static_cast<unsigned int>(rd * rd + gd * gd + bd * bd);
        if (distance < smallest) {
            pixel = static_cast<Uint8>(i);
            if (distance == 0)
                break;
            smallest = distance;
        }
    }
    return pixel;
}

Uint32 SDL_MapRGB(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b)
{
    if (format->palette)
        return sdl12_find_color(format->palette, r, g, b);
    return static_cast<Uint32>(r >> format->Rloss) << format->Rshift |
           static_cast<Uint32>(g >> format->Gloss) << format->Gshift |
           static_cast<Uint32>(b >> format->Bloss) << format->Bshift | format->Amask;
}

Uint32 SDL_MapRGBA(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b, Uint8 a)
{
    if (format->palette)
        return sdl12_find_color(format->palette, r, g, b);
    return static_cast<Uint32>(r >> format->Rloss) << format->Rshift |
           static_cast<Uint32>(g >> format->Gloss) << format->Gshift |
           static_cast<Uint32>(b >> format->Bloss) << format->Bshift |
           ((static_cast<Uint32>(a >> format->Aloss) << format->Ashift) & format->Amask);
}

// A channel widened back to 8 bits: shifted up, with its top bits repeated below. 1.2 computes the
// repeat with a shift count that goes negative for fields under 4 bits; the processors it ran on
// use only the count's low five bits, so such fields get no repeat.
static Uint8 expand_channel(Uint32 pixel, Uint32 mask, Uint8 shift, Uint8 loss)
{
    unsigned int v = (pixel & mask) >> shift;
    unsigned int down = static_cast<unsigned int>(8 - (loss << 1)) & 31u;
    return static_cast<Uint8>((v << (loss & 31u)) + (v >> down));
}

void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b)
{
    if (format->palette) {
        *r = format->palette->colors[pixel].r;
        *g = format->palette->colors[pixel].g;
        *b = format->palette->colors[pixel].b;
        return;
    }
    *r = expand_channel(pixel, format->Rmask, format->Rshift, format->Rloss);
    *g = expand_channel(pixel, format->Gmask, format->Gshift, format->Gloss);
    *b = expand_channel(pixel, format->Bmask, format->Bshift, format->Bloss);
}

void SDL_GetRGBA(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b, Uint8* a)
{
    SDL_GetRGB(pixel, format, r, g, b);
    if (!format->palette && format->Amask)
        *a = expand_channel(pixel, format->Amask, format->Ashift, format->Aloss);
    else
        *a = SDL_ALPHA_OPAQUE;
}

int SDL_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key)
{
    if (flag & SDL_SRCCOLORKEY)
        flag = (flag & (SDL_RLEACCEL | SDL_RLEACCELOK)) ? (SDL_SRCCOLORKEY | SDL_RLEACCELOK) : SDL_SRCCOLORKEY;
    else
        flag = 0;
    if (flag == (surface->flags & (SDL_SRCCOLORKEY | SDL_RLEACCELOK)) && key == surface->format->colorkey)
        return 0;
    if (surface->flags & SDL_RLEACCEL)
        sdl12_unrle_surface(surface, 1);
    if (flag) {
        surface->flags |= SDL_SRCCOLORKEY;
        surface->format->colorkey = key;
        if (flag & SDL_RLEACCELOK)
            surface->flags |= SDL_RLEACCELOK;
        else
            surface->flags &= ~SDL_RLEACCELOK;
    } else {
        surface->flags &= ~(SDL_SRCCOLORKEY | SDL_RLEACCELOK);
        surface->format->colorkey = 0;
    }
    sdl12_invalidate_map(map_of(surface));
    return 0;
}

int SDL_SetAlpha(SDL_Surface* surface, Uint32 flag, Uint8 value)
{
    Uint32 old_flags = surface->flags;
    Uint32 old_alpha = surface->format->alpha;
    if (flag & SDL_SRCALPHA)
        flag = (flag & (SDL_RLEACCEL | SDL_RLEACCELOK)) ? (SDL_SRCALPHA | SDL_RLEACCELOK) : SDL_SRCALPHA;
    else
        flag = 0;
    if (flag == (surface->flags & (SDL_SRCALPHA | SDL_RLEACCELOK)) && (!flag || value == old_alpha))
        return 0;
    if (!(flag & SDL_RLEACCELOK) && (surface->flags & SDL_RLEACCEL))
        sdl12_unrle_surface(surface, 1);
    if (flag) {
        surface->flags |= SDL_SRCALPHA;
        surface->format->alpha = value;
        if (flag & SDL_RLEACCELOK)
            surface->flags |= SDL_RLEACCELOK;
        else
            surface->flags &= ~SDL_RLEACCELOK;
    } else {
        // 1.2 keeps SDL_RLEACCELOK here.
        surface->flags &= ~SDL_SRCALPHA;
        surface->format->alpha = SDL_ALPHA_OPAQUE;
    }
    // The blitter depends on the alpha value only through whether it is opaque.
    if (old_flags != surface->flags || (((old_alpha + 1) ^ (value + 1u)) & 0x100))
        sdl12_invalidate_map(map_of(surface));
    return 0;
}

static SDL_bool intersect_rect(const SDL_Rect* a, const SDL_Rect* b, SDL_Rect* out)
{
    int a_min = a->x, a_max = a->x + a->w;
    int b_min = b->x, b_max = b->x + b->w;
    if (b_min > a_min)
        a_min = b_min;
    out->x = static_cast<Sint16>(a_min);
    if (b_max < a_max)
        a_max = b_max;
    out->w = static_cast<Uint16>(a_max - a_min > 0 ? a_max - a_min : 0);

    a_min = a->y;
    a_max = a->y + a->h;
    b_min = b->y;
    b_max = b->y + b->h;
    if (b_min > a_min)
        a_min = b_min;
    out->y = static_cast<Sint16>(a_min);
    if (b_max < a_max)
        a_max = b_max;
    out->h = static_cast<Uint16>(a_max - a_min > 0 ? a_max - a_min : 0);
    return (out->w && out->h) ? SDL_TRUE : SDL_FALSE;
}

SDL_bool SDL_SetClipRect(SDL_Surface* surface, const SDL_Rect* rect)
{
    if (!surface)
        return SDL_FALSE;
    SDL_Rect full;
    full.x = 0;
    full.y = 0;
    full.w = static_cast<Uint16>(surface->w);
    full.h = static_cast<Uint16>(surface->h);
    if (!rect) {
        surface->clip_rect = full;
        return SDL_TRUE;
    }
    SDL_Rect wanted = *rect;  // the caller may pass the clip rectangle itself
    return intersect_rect(&wanted, &full, &surface->clip_rect);
}

void SDL_GetClipRect(SDL_Surface* surface, SDL_Rect* rect)
{
    if (surface && rect)
        *rect = surface->clip_rect;
}

static void fill_rows(SDL_Surface* dst, const SDL_Rect* rect, Uint32 color)
{
    int bpp = dst->format->BytesPerPixel;
    Uint8* first = static_cast<Uint8*>(dst->pixels) + rect->y * dst->pitch + rect->x * bpp;
    size_t bytes = static_cast<size_t>(rect->w) * bpp;
    if (!bytes || !rect->h)
        return;
    if (dst->format->palette || color == 0) {
        // Palettized surfaces and black take the colour's low byte in every byte.
        std::memset(first, static_cast<int>(color & 0xFF), bytes);
    } else {
        Uint8 pixel[4];
        switch (bpp) {
        case 2: {
            Uint16 c = static_cast<Uint16>(color);
            std::memcpy(pixel, &c, 2);
            break;
        }
        case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
            pixel[0] = static_cast<Uint8>(color >> 16);
            pixel[1] = static_cast<Uint8>(color >> 8);
            pixel[2] = static_cast<Uint8>(color);
#else
            pixel[0] = static_cast<Uint8>(color);
            pixel[1] = static_cast<Uint8>(color >> 8);
            pixel[2] = static_cast<Uint8>(color >> 16);
#endif
            break;
        case 4: std::memcpy(pixel, &color, 4); break;
        default: return;
        }
        // One pixel, then the filled part doubled until the row is full.
        std::memcpy(first, pixel, bpp);
        for (size_t done = bpp; done < bytes;) {
            size_t more = done < bytes - done ? done : bytes - done;
            std::memcpy(first + done, first, more);
            done += more;
        }
    }
    Uint8* row = first;
    for (int y = 1; y < rect->h; ++y) {
        row += dst->pitch;
        std::memcpy(row, first, bytes);
    }
}

int SDL_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32 color)
{
    if (dst->format->BitsPerPixel < 8) {
        switch (dst->format->BitsPerPixel) {
        case 1: SDL_SetError("1-bpp rect fill not yet implemented"); break;
        case 4: SDL_SetError("4-bpp rect fill not yet implemented"); break;
        default: SDL_SetError("Fill rect on unsupported surface format"); break;
        }
        return -1;
    }
    if (dstrect) {
        // 1.2 writes the clipped rectangle back into the caller's.
        SDL_Rect wanted = *dstrect;
        if (!intersect_rect(&wanted, &dst->clip_rect, dstrect))
            return 0;
    } else {
        dstrect = &dst->clip_rect;
    }
    if (SDL_LockSurface(dst) != 0)
        return -1;
    fill_rows(dst, dstrect, color);
    SDL_UnlockSurface(dst);
    return 0;
}

int SDL_LowerBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect)
{
    sdl12_blit_map* map = map_of(src);
    if (map->dst != dst || dst->format_version != map->format_version) {
        if (sdl12_map_surface(src, dst) < 0)
            return -1;
    }
    return sdl12_run_blit(src, srcrect, dst, dstrect);
}

int SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect)
{
    if (!src || !dst) {
        SDL_SetError("SDL_UpperBlit: passed a NULL surface");
        return -1;
    }
    if (src->locked || dst->locked) {
        SDL_SetError("Surfaces must not be locked during blit");
        return -1;
    }
    SDL_Rect full_dst;
    if (!dstrect) {
        full_dst.x = full_dst.y = 0;
        dstrect = &full_dst;
    }
    // First clip to the source, moving the destination along, then to the destination's clip
    // rectangle. 1.2 keeps the positions in the rectangles' 16-bit fields throughout.
    int srcx, srcy, w, h;
    if (srcrect) {
        srcx = srcrect->x;
        w = srcrect->w;
        if (srcx < 0) {
            w += srcx;
            dstrect->x = static_cast<Sint16>(dstrect->x - srcx);
            srcx = 0;
        }
        int maxw = src->w - srcx;
        if (maxw < w)
            w = maxw;
        srcy = srcrect->y;
        h = srcrect->h;
        if (srcy < 0) {
            h += srcy;
            dstrect->y = static_cast<Sint16>(dstrect->y - srcy);
            srcy = 0;
        }
        int maxh = src->h - srcy;
        if (maxh < h)
            h = maxh;
    } else {
        srcx = srcy = 0;
        w = src->w;
        h = src->h;
    }
    const SDL_Rect* clip = &dst->clip_rect;
    int d = clip->x - dstrect->x;
    if (d > 0) {
        w -= d;
        dstrect->x = static_cast<Sint16>(dstrect->x + d);
        srcx += d;
    }
    d = dstrect->x + w - clip->x - clip->w;
    if (d > 0)
        w -= d;
    d = clip->y - dstrect->y;
    if (d > 0) {
        h -= d;
        dstrect->y = static_cast<Sint16>(dstrect->y + d);
        srcy += d;
    }
    d = dstrect->y + h - clip->y - clip->h;
    if (d > 0)
        h -= d;
    if (w > 0 && h > 0) {
        SDL_Rect sr;
        sr.x = static_cast<Sint16>(srcx);
        sr.y = static_cast<Sint16>(srcy);
        sr.w = dstrect->w = static_cast<Uint16>(w);
        sr.h = dstrect->h = static_cast<Uint16>(h);
        return SDL_LowerBlit(src, &sr, dst, dstrect);
    }
    dstrect->w = dstrect->h = 0;
    return 0;
}

SDL_Surface* SDL_ConvertSurface(SDL_Surface* surface, SDL_PixelFormat* format, Uint32 flags)
{
    if (format->palette) {
        int i = 0;
        for (; i < format->palette->ncolors; ++i) {
            const SDL_Color& c = format->palette->colors[i];
            if (c.r || c.g || c.b)
                break;
        }
        if (i == format->palette->ncolors) {
            SDL_SetError("Empty destination palette");
            return nullptr;
        }
    }
    SDL_Surface* convert = SDL_CreateRGBSurface(flags, surface->w, surface->h, format->BitsPerPixel,
                                                format->Rmask, format->Gmask, format->Bmask, format->Amask);
    if (!convert)
        return nullptr;
    if (format->palette && convert->format->palette) {
        std::memcpy(convert->format->palette->colors, format->palette->colors,
                    format->palette->ncolors * sizeof(SDL_Color));
        convert->format->palette->ncolors = format->palette->ncolors;
    }

    // The source is copied without its key and alpha, unless the new format has an alpha channel
    // to take them: then the key still drops its pixels and 1.2 only hides the alpha flag.
    Uint32 colorkey = 0;
    Uint8 alpha = 0;
    Uint32 surface_flags = surface->flags;
    if (surface_flags & SDL_SRCCOLORKEY) {
        if (!(flags & SDL_SRCCOLORKEY) && format->Amask) {
            surface_flags &= ~SDL_SRCCOLORKEY;
        } else {
            colorkey = surface->format->colorkey;
            SDL_SetColorKey(surface, 0, 0);
        }
    }
    if (surface_flags & SDL_SRCALPHA) {
        if (format->Amask) {
            surface->flags &= ~SDL_SRCALPHA;
        } else {
            alpha = surface->format->alpha;
            SDL_SetAlpha(surface, 0, 0);
        }
    }

    SDL_Rect bounds;
    bounds.x = 0;
    bounds.y = 0;
    bounds.w = static_cast<Uint16>(surface->w);
    bounds.h = static_cast<Uint16>(surface->h);
    SDL_LowerBlit(surface, &bounds, convert, &bounds);

    SDL_SetClipRect(convert, &surface->clip_rect);
    if (surface_flags & SDL_SRCCOLORKEY) {
        Uint32 key_flags = surface_flags & (SDL_SRCCOLORKEY | SDL_RLEACCELOK);
        Uint8 r, g, b;
        SDL_GetRGB(colorkey, surface->format, &r, &g, &b);
        SDL_SetColorKey(convert, key_flags | (flags & SDL_RLEACCELOK), SDL_MapRGB(convert->format, r, g, b));
        SDL_SetColorKey(surface, key_flags, colorkey);
    }
    if (surface_flags & SDL_SRCALPHA) {
        Uint32 alpha_flags = surface_flags & (SDL_SRCALPHA | SDL_RLEACCELOK);
        SDL_SetAlpha(convert, alpha_flags | (flags & SDL_RLEACCELOK), alpha);
        if (format->Amask)
            surface->flags |= SDL_SRCALPHA;
        else
            SDL_SetAlpha(surface, alpha_flags, alpha);
    }
    return convert;
}

SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface)
{
    if (!sdl12_video_surface) {
        SDL_SetError("No video mode has been set");
        return nullptr;
    }
    Uint32 flags = SDL_SWSURFACE | (surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_RLEACCELOK));
    return SDL_ConvertSurface(surface, sdl12_video_surface->format, flags);
}

SDL_Surface* SDL_DisplayFormatAlpha(SDL_Surface* surface)
{
    if (!sdl12_video_surface) {
        SDL_SetError("No video mode has been set");
        return nullptr;
    }
    // ARGB8888, or the display's own channel order where 1.2 has a fast path for it.
    Uint32 amask = 0xFF000000, rmask = 0x00FF0000, gmask = 0x0000FF00, bmask = 0x000000FF;
    const SDL_PixelFormat* vf = sdl12_video_surface->format;
    switch (vf->BytesPerPixel) {
    case 2:
        if (vf->Rmask == 0x1F && (vf->Bmask == 0xF800 || vf->Bmask == 0x7C00)) {
            rmask = 0xFF;
            bmask = 0xFF0000;
        }
        break;
    case 3:
    case 4:
        if (vf->Rmask == 0xFF && vf->Bmask == 0xFF0000) {
            rmask = 0xFF;
            bmask = 0xFF0000;
        } else if (vf->Rmask == 0xFF00 && vf->Bmask == 0xFF000000) {
            amask = 0x000000FF;
            rmask = 0x0000FF00;
            gmask = 0x00FF0000;
            bmask = 0xFF000000;
        }
        break;
    default:
        break;
    }
    SDL_PixelFormat* format = alloc_format(32, rmask, gmask, bmask, amask);
    if (!format)
        return nullptr;
    Uint32 flags = surface->flags & (SDL_SRCALPHA | SDL_RLEACCELOK);
    SDL_Surface* converted = SDL_ConvertSurface(surface, format, flags);
    free_format(format);
    return converted;
}
