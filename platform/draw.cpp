// draw.cpp -- drawing primitives over SDL surfaces. The pixel operations also serve terrain_map,
// where a "pixel" is a terrain code, so they never convert colours themselves.
#include "platform/draw.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/log.h"
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

// Software surfaces never need locking; skipping the calls matters when every cell of the
// board is read or drawn.
static void lock(SDL_Surface* surface)
{
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
}

static void unlock(SDL_Surface* surface)
{
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
}

int get_pixel(SDL_Surface* surface, int x, int y)
{
    if (outside(surface, x, y))
        return -1;
    lock(surface);
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
    unlock(surface);
    return static_cast<int>(value);
}

void put_pixel(SDL_Surface* surface, int x, int y, Uint32 value)
{
    if (outside(surface, x, y))
        return;
    lock(surface);
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
    unlock(surface);
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

// The board repaints hundreds of 16 x 16 tiles at a time, and SDL's keyed blitter is slow at
// that size. Between two 16-bit surfaces of one format, blit does the clipped copy itself, pixel
// for pixel what SDL's blitter gives: plain and keyed copies, and faded (per-surface alpha)
// keyed tiles on the usual 5-6-5 screen. Every other case goes through SDL.
enum DirectKind { direct_none, direct_copy_rows, direct_faded };

static bool is_565(const SDL_PixelFormat* f)
{
    return f->BytesPerPixel == 2 && f->Rmask == 0xF800 && f->Gmask == 0x07E0 && f->Bmask == 0x001F &&
           f->Amask == 0;
}

static DirectKind direct_kind(SDL_Surface* source, SDL_Surface* destination)
{
    const SDL_PixelFormat* sf = source->format;
    const SDL_PixelFormat* df = destination->format;
    if (sf->BytesPerPixel != 2 || df->BytesPerPixel != 2 || sf->Rmask != df->Rmask ||
        sf->Gmask != df->Gmask || sf->Bmask != df->Bmask || sf->Amask != df->Amask ||
        (source->flags & (SDL_RLEACCEL | SDL_HWSURFACE)) || (destination->flags & SDL_HWSURFACE) ||
        source == destination)
        return direct_none;
    bool alpha = (source->flags & SDL_SRCALPHA) && (sf->alpha != SDL_ALPHA_OPAQUE || sf->Amask);
    if (!alpha)
        return direct_copy_rows;
    if ((source->flags & SDL_SRCCOLORKEY) && is_565(sf))
        return direct_faded;
    return direct_none;
}

// SDL blends each channel on its own, so its keyed per-surface-alpha blend for one alpha value is
// fully described by three small tables; they are read off SDL itself the first time that alpha
// is used, which keeps the result identical to SDL's whatever its rounding.
static int fade_alpha = -1;
static Uint8 fade_r[32][32];
static Uint8 fade_g[64][64];
static Uint8 fade_b[32][32];

static void learn_fade(Uint8 alpha)
{
    // Source column i holds channels (i & 31, i, i & 31), destination row j holds (j & 31, j, j & 31).
    SDL_Surface* src = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_Surface* dst = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 16, 0xF800, 0x07E0, 0x001F, 0);
    if (!src || !dst)
        fatal_error("Unable to create the fading tables.");
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            put_pixel(src, x, y, ((x & 31) << 11) | (x << 5) | (x & 31));
            put_pixel(dst, x, y, ((y & 31) << 11) | (y << 5) | (y & 31));
        }
    SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x0001);  // red differs from blue: never a pixel above
    SDL_SetAlpha(src, SDL_SRCALPHA, alpha);
    SDL_BlitSurface(src, nullptr, dst, nullptr);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            Uint32 p = static_cast<Uint32>(get_pixel(dst, x, y));
            fade_r[x & 31][y & 31] = static_cast<Uint8>(p >> 11);
            fade_g[x][y] = static_cast<Uint8>((p >> 5) & 63);
            fade_b[x & 31][y & 31] = static_cast<Uint8>(p & 31);
        }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
    fade_alpha = alpha;
}

static void faded_row(Uint16* out, const Uint16* in, int w, Uint16 key)
{
    for (int i = 0; i < w; i++) {
        Uint16 p = in[i];
        if (p == key)
            continue;
        Uint16 q = out[i];
        out[i] = static_cast<Uint16>((fade_r[p >> 11][q >> 11] << 11) |
                                     (fade_g[(p >> 5) & 63][(q >> 5) & 63] << 5) |
                                     fade_b[p & 31][q & 31]);
    }
}

// Rows of any other width (cursors, the odd clipped tile) are few enough for a plain loop.
static void keyed_row(Uint16* out, const Uint16* in, int w, Uint16 key)
{
    for (int i = 0; i < w; i++)
        if (in[i] != key)
            out[i] = in[i];
}

// One row of a 16-pixel-wide tile, the board's commonest blit: two 8-pixel selects.
static inline void keyed_tile_row(Uint16* out, const Uint16* in, Uint16 key)
{
#ifdef __SSE2__
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    for (int half = 0; half < 16; half += 8) {
        __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + half));
        __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + half));
        __m128i transparent = _mm_cmpeq_epi16(source, k);
        __m128i result = _mm_or_si128(_mm_and_si128(transparent, under), _mm_andnot_si128(transparent, source));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + half), result);
    }
#else
    keyed_row(out, in, 16, key);
#endif
}

static void direct_copy(SDL_Surface* source, SDL_Surface* destination, SDL_Rect from, SDL_Rect to,
                        DirectKind kind)
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
    if (kind == direct_faded && fade_alpha != source->format->alpha)
        learn_fade(source->format->alpha);
    lock(source);
    lock(destination);
    const Uint8* in = static_cast<const Uint8*>(source->pixels) + sy * source->pitch + sx * 2;
    Uint8* out = static_cast<Uint8*>(destination->pixels) + dy * destination->pitch + dx * 2;
    int in_pitch = source->pitch;
    int out_pitch = destination->pitch;
    if (kind == direct_faded) {
        for (int row = 0; row < h; row++, in += in_pitch, out += out_pitch)
            faded_row(reinterpret_cast<Uint16*>(out), reinterpret_cast<const Uint16*>(in), w, key);
    } else if (keyed && w == 16) {
        for (int row = 0; row < h; row++, in += in_pitch, out += out_pitch)
            keyed_tile_row(reinterpret_cast<Uint16*>(out), reinterpret_cast<const Uint16*>(in), key);
    } else if (keyed) {
        for (int row = 0; row < h; row++, in += in_pitch, out += out_pitch)
            keyed_row(reinterpret_cast<Uint16*>(out), reinterpret_cast<const Uint16*>(in), w, key);
    } else {
        for (int row = 0; row < h; row++, in += in_pitch, out += out_pitch)
            std::memcpy(out, in, w * sizeof(Uint16));
    }
    unlock(destination);
    unlock(source);
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
    DirectKind kind = direct_kind(source, destination);
    if (kind != direct_none)
        direct_copy(source, destination, from, to, kind);
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
