// draw.cpp -- drawing primitives over SDL surfaces. The pixel operations also serve terrain_map,
// where a "pixel" is a terrain code, so they never convert colours themselves.
#include "platform/draw.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/resources.h"

Uint32 map_colour(ColourIndex index)
{
    Uint8 r = 255, g = 0, b = 0;  // every index outside the palette shows as red
    switch (index) {
    case 0: case 16: r = 0; g = 0; b = 0; break;
    case 1: r = 86; g = 87; b = 194; break;
    case 2: r = 170; g = 170; b = 255; break;
    case 3: case 15: r = 255; g = 255; b = 255; break;
    case 4: r = 174; g = 105; b = 174; break;
    default: break;
    }
    return SDL_MapRGB(screen->format, r, g, b);
}

static bool outside(SDL_Surface* surface, int x, int y)
{
    return x < 0 || y < 0 || x >= surface->w || y >= surface->h;
}

int get_pixel(SDL_Surface* surface, int x, int y)
{
    if (outside(surface, x, y))
        return -1;
    SDL_LockSurface(surface);
    int bpp = surface->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    Uint32 value = 0;
    switch (bpp) {
    case 1: value = *p; break;
    case 2: value = *reinterpret_cast<Uint16*>(p); break;
    case 3: value = p[0] | (p[1] << 8) | (p[2] << 16); break;
    case 4: value = *reinterpret_cast<Uint32*>(p); break;
    default: break;
    }
    SDL_UnlockSurface(surface);
    return static_cast<int>(value);
}

void put_pixel(SDL_Surface* surface, int x, int y, Uint32 value)
{
    if (outside(surface, x, y))
        return;
    SDL_LockSurface(surface);
    int bpp = surface->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    switch (bpp) {
    case 1: *p = static_cast<Uint8>(value); break;
    case 2: *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(value); break;
    case 3:
        p[0] = value & 0xff;
        p[1] = (value >> 8) & 0xff;
        p[2] = (value >> 16) & 0xff;
        break;
    case 4: *reinterpret_cast<Uint32*>(p) = value; break;
    default: break;
    }
    SDL_UnlockSurface(surface);
}

static void solid_fill(SDL_Surface* surface, int x, int y, int w, int h, Uint32 value)
{
    if (w <= 0 || h <= 0)
        return;
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(x);
    rect.y = static_cast<Sint16>(y);
    rect.w = static_cast<Uint16>(w);
    rect.h = static_cast<Uint16>(h);
    SDL_FillRect(surface, &rect, value);
}

void fill_rect(SDL_Surface* surface, int x1, int y1, int x2, int y2, Uint32 value)
{
    solid_fill(surface, x1, y1, x2 - x1 + 1, y2 - y1 + 1, value);
}

void draw_rect(SDL_Surface* surface, int x1, int y1, int x2, int y2, Uint32 value)
{
    solid_fill(surface, x1, y1, 1, y2 - y1, value);
    solid_fill(surface, x1, y1, x2 - x1, 1, value);
    solid_fill(surface, x1, y2, x2 - x1, 1, value);
    solid_fill(surface, x2, y1, 1, y2 - y1 + 1, value);
}

void clear_surface(SDL_Surface* surface, Uint32 value)
{
    solid_fill(surface, 0, 0, surface->w, surface->h, value);
}

// The board repaints hundreds of 16 x 16 tiles at a time, and SDL's per-call cost dwarfs the
// copying itself. Between two 16-bit surfaces of one format, without per-surface alpha, do the
// clipped copy (colour key honoured) ourselves, pixel for pixel what SDL's blitter would give;
// every other case goes through SDL.
static bool direct_copy_possible(SDL_Surface* source, SDL_Surface* destination)
{
    const SDL_PixelFormat* sf = source->format;
    const SDL_PixelFormat* df = destination->format;
    bool alpha = (source->flags & SDL_SRCALPHA) && (sf->alpha != SDL_ALPHA_OPAQUE || sf->Amask);
    return sf->BytesPerPixel == 2 && df->BytesPerPixel == 2 && sf->Rmask == df->Rmask &&
           sf->Gmask == df->Gmask && sf->Bmask == df->Bmask && sf->Amask == df->Amask && !alpha &&
           !(source->flags & (SDL_RLEACCEL | SDL_HWSURFACE)) &&
           !(destination->flags & SDL_HWSURFACE) && source != destination;
}

// Branch-free and in fixed runs of 16 (one tile row), so the compiler can vectorise it.
static void keyed_row(Uint16* __restrict out, const Uint16* __restrict in, int w, Uint16 key)
{
    int i = 0;
    for (; i + 16 <= w; i += 16)
        for (int j = 0; j < 16; j++)
            out[i + j] = in[i + j] == key ? out[i + j] : in[i + j];
    for (; i < w; i++)
        out[i] = in[i] == key ? out[i] : in[i];
}

static void direct_copy(SDL_Surface* source, SDL_Surface* destination, SDL_Rect from, SDL_Rect to)
{
    // Clipping exactly as SDL_UpperBlit does it: first to the source, then to the clip rectangle.
    int sx = from.x, sy = from.y, w = from.w, h = from.h, dx = to.x, dy = to.y;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (w > source->w - sx) w = source->w - sx;
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (h > source->h - sy) h = source->h - sy;
    const SDL_Rect& clip = destination->clip_rect;
    int cut = clip.x - dx;
    if (cut > 0) { w -= cut; dx += cut; sx += cut; }
    cut = dx + w - clip.x - clip.w;
    if (cut > 0) w -= cut;
    cut = clip.y - dy;
    if (cut > 0) { h -= cut; dy += cut; sy += cut; }
    cut = dy + h - clip.y - clip.h;
    if (cut > 0) h -= cut;
    if (w <= 0 || h <= 0)
        return;

    bool keyed = source->flags & SDL_SRCCOLORKEY;
    Uint16 key = static_cast<Uint16>(source->format->colorkey);
    SDL_LockSurface(source);
    SDL_LockSurface(destination);
    for (int row = 0; row < h; row++) {
        const Uint16* in = reinterpret_cast<const Uint16*>(
            static_cast<const Uint8*>(source->pixels) + (sy + row) * source->pitch) + sx;
        Uint16* out = reinterpret_cast<Uint16*>(
            static_cast<Uint8*>(destination->pixels) + (dy + row) * destination->pitch) + dx;
        if (!keyed) {
            std::memcpy(out, in, w * sizeof(Uint16));
            continue;
        }
        keyed_row(out, in, w, key);
    }
    SDL_UnlockSurface(destination);
    SDL_UnlockSurface(source);
}

void blit(SDL_Surface* source, SDL_Surface* destination, int sx, int sy, int dx, int dy, int w, int h)
{
    SDL_Rect from;
    from.x = static_cast<Sint16>(sx);
    from.y = static_cast<Sint16>(sy);
    from.w = static_cast<Uint16>(w);
    from.h = static_cast<Uint16>(h);
    SDL_Rect to;
    to.x = static_cast<Sint16>(dx);
    to.y = static_cast<Sint16>(dy);
    to.w = 0;
    to.h = 0;
    if (direct_copy_possible(source, destination))
        direct_copy(source, destination, from, to);
    else
        SDL_BlitSurface(source, &from, destination, &to);
}

// Renders and places one text; centred moves its left edge by half the rendered width.
static void render_text(SDL_Surface* destination, const char* text, int x, int y, Uint32 fg,
                        ColourIndex bg, bool centred)
{
    if (!text || !*text || !font)
        return;
    SDL_Color colour = {0, 0, 0, 0};
    SDL_GetRGB(fg, screen->format, &colour.r, &colour.g, &colour.b);
    SDL_Surface* rendered = TTF_RenderText_Solid(font, text, colour);
    if (!rendered)
        return;  // nothing sensible to draw when the font cannot render
    if (centred)
        x -= rendered->w / 2;
    SDL_Surface* background = nullptr;
    if (bg >= 0) {
        background = SDL_CreateRGBSurface(SDL_SWSURFACE, rendered->w, rendered->h, 16,
                                          screen->format->Rmask, screen->format->Gmask,
                                          screen->format->Bmask, 0);
        if (background) {
            clear_surface(background, map_colour(bg));
            blit(background, destination, 0, 0, x, y, rendered->w, rendered->h);
        }
    }
    blit(rendered, destination, 0, 0, x, y, rendered->w, rendered->h);
    SDL_FreeSurface(rendered);
    if (background)
        SDL_FreeSurface(background);
}

void draw_text(SDL_Surface* destination, const char* text, int x, int y, Uint32 fg, ColourIndex bg)
{
    render_text(destination, text, x, y, fg, bg, false);
}

void draw_text_centred(SDL_Surface* destination, const char* text, int x, int y, Uint32 fg, ColourIndex bg)
{
    render_text(destination, text, x, y, fg, bg, true);
}

void print_text_centred(SDL_Surface* destination, int x, int y, Uint32 fg, ColourIndex bg,
                        const char* format, ...)
{
    std::unique_ptr<char[]> buffer(new char[1024]);
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer.get(), 1024, format, args);  // cut, never overrun, an over-long text
    va_end(args);
    draw_text_centred(destination, buffer.get(), x, y, fg, bg);
}

void flip_screen()
{
    SDL_Flip(screen);
}

int int_max(int a, int b)
{
    return a > b ? a : b;
}

int int_abs(int a)
{
    return a < 0 ? -a : a;
}
