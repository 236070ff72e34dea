// back_video.cpp -- the SDL2 window that shows the 1.2 screen, shown and slept at the pace pacing.h
// decides; with SDL12ON2_FULLSCREEN=1 fullscreen on the desktop at the whole scale scaling.h picks.
#include <SDL2/SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cstring>
#include <vector>

#include "back.h"
#include "bridge.h"
#include "pacing.h"
#include "scaling.h"

SDL_Window* back_window = nullptr;
bool back_scaled = false;
struct scaling_fit back_fit = {1, 0, 0};
int back_picture_w = 0;
int back_picture_h = 0;
static bool nothing_shows = false;  // the dummy driver's window is seen by no one
static bool paced = false;  // set for a window on a display someone sees (always in the browser)
// Scaled: the picture in the window's format, before it is widened into the window.
static SDL_Surface* staging = nullptr;
static std::vector<uint32_t> icon_pixels;
static int icon_w = 0;
static int icon_h = 0;

static void apply_icon()
{
    if (!back_window || icon_pixels.empty())
        return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(icon_pixels.data(), icon_w, icon_h, 32, icon_w * 4, 0x00FF0000,
                                                 0x0000FF00, 0x000000FF, 0xFF000000);
    if (icon) {
        SDL_SetWindowIcon(back_window, icon);
        SDL_FreeSurface(icon);
    }
}

// Where the picture goes in the window, known before the first picture so that the mouse maps.
static void fit_window()
{
    if (!back_scaled)
        return;
    int w = 0, h = 0;
    SDL_GetWindowSize(back_window, &w, &h);
    back_fit = scaling_choose(w, h, back_picture_w, back_picture_h);
}

static bool fullscreen_wanted()
{
    const char* value = SDL_getenv("SDL12ON2_FULLSCREEN");
    return value && std::strcmp(value, "1") == 0;
}

int sdl12b_window_open(int w, int h, int fullscreen, int resizable, int noframe)
{
    // A handheld's screen rarely has a 320x240 mode, and a stretched picture would have uneven
    // pixels: the desktop's own mode, and the picture scaled in whole steps (present below).
    back_scaled = fullscreen_wanted();
    back_picture_w = back_scaled ? w : 0;
    back_picture_h = back_scaled ? h : 0;
    Uint32 fullscreen_flag = back_scaled ? SDL_WINDOW_FULLSCREEN_DESKTOP : fullscreen ? SDL_WINDOW_FULLSCREEN : 0;
    if (back_window) {
        if (!back_scaled)  // scaled, the window keeps the display's size
            SDL_SetWindowSize(back_window, w, h);
        SDL_SetWindowFullscreen(back_window, fullscreen_flag);
        fit_window();
        return 0;
    }
    Uint32 flags = fullscreen_flag;
    if (resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    if (noframe)
        flags |= SDL_WINDOW_BORDERLESS;
    int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
    SDL_DisplayMode desktop;
    if (back_scaled && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        // Made the desktop's size from the start, without a frame: an X display without a window
        // manager never acts on the request to go fullscreen, and the window covers it all the same.
        flags |= SDL_WINDOW_BORDERLESS;
        x = y = SDL_WINDOWPOS_CENTERED;
        w = desktop.w;
        h = desktop.h;
    }
    back_window = SDL_CreateWindow("", x, y, w, h, flags);
    if (!back_window)
        return -1;
    fit_window();
    const char* driver = SDL_GetCurrentVideoDriver();
    nothing_shows = driver && std::strcmp(driver, "dummy") == 0;
#ifdef __EMSCRIPTEN__
    paced = true;
#else
    paced = pacing_applies(driver) != 0;
#endif
    apply_icon();
    return 0;
}

void sdl12b_window_close(void)
{
    if (back_window)
        SDL_DestroyWindow(back_window);
    back_window = nullptr;
    if (staging)
        SDL_FreeSurface(staging);
    staging = nullptr;
}

void sdl12b_window_title(const char* title)
{
    if (back_window)
        SDL_SetWindowTitle(back_window, title ? title : "");
}

void sdl12b_window_icon(const uint32_t* argb, int w, int h)
{
    icon_pixels.assign(argb, argb + static_cast<size_t>(w) * h);
    icon_w = w;
    icon_h = h;
    apply_icon();
}

// 5-6-5 to the window's pixels. Channels widen by repeating their top bits, so black stays 0 and
// white reaches 255, and no two 5-6-5 values meet.
static void convert_rows(const Uint8* in, int in_pitch, SDL_Surface* out, int w, int h)
{
    SDL_PixelFormat* f = out->format;
    Uint8* row_out = static_cast<Uint8*>(out->pixels);
    if (f->BytesPerPixel == 2 && f->Rmask == 0xF800 && f->Gmask == 0x07E0 && f->Bmask == 0x001F) {
        for (int y = 0; y < h; y++, in += in_pitch, row_out += out->pitch)
            std::memcpy(row_out, in, static_cast<size_t>(w) * 2);
        return;
    }
    if (f->BytesPerPixel == 4) {
        Uint32 table_r[32], table_g[64], table_b[32];
        for (int i = 0; i < 32; i++) {
            Uint8 v = static_cast<Uint8>((i << 3) | (i >> 2));
            table_r[i] = SDL_MapRGB(f, v, 0, 0);
            table_b[i] = SDL_MapRGB(f, 0, 0, v);
        }
        for (int i = 0; i < 64; i++)
            table_g[i] = SDL_MapRGB(f, 0, static_cast<Uint8>((i << 2) | (i >> 4)), 0);
        Uint32 opaque = f->Amask;
        for (int y = 0; y < h; y++, in += in_pitch, row_out += out->pitch) {
            const Uint16* src = reinterpret_cast<const Uint16*>(in);
            Uint32* dst = reinterpret_cast<Uint32*>(row_out);
            for (int x = 0; x < w; x++) {
                Uint16 p = src[x];
                dst[x] = table_r[p >> 11] | table_g[(p >> 5) & 63] | table_b[p & 31] | opaque;
            }
        }
        return;
    }
    // Any other window format: one pixel at a time through SDL's own mapping.
    for (int y = 0; y < h; y++, in += in_pitch, row_out += out->pitch) {
        const Uint16* src = reinterpret_cast<const Uint16*>(in);
        for (int x = 0; x < w; x++) {
            Uint16 p = src[x];
            int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
            Uint32 v = SDL_MapRGB(f, static_cast<Uint8>((r << 3) | (r >> 2)), static_cast<Uint8>((g << 2) | (g >> 4)),
                                  static_cast<Uint8>((b << 3) | (b >> 2)));
            Uint8* d = row_out + x * f->BytesPerPixel;
            std::memcpy(d, &v, f->BytesPerPixel);  // 3-byte formats: the low bytes on little endian
        }
    }
}

// Black around the scaled picture, as four bands (the picture itself is overwritten anyway).
static void fill_around(SDL_Surface* surface, int x, int y, int w, int h)
{
    Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
    SDL_Rect bands[4] = {{0, 0, surface->w, y},
                         {0, y + h, surface->w, surface->h - (y + h)},
                         {0, y, x, h},
                         {x + w, y, surface->w - (x + w), h}};
    for (SDL_Rect& band : bands)
        if (band.w > 0 && band.h > 0)
            SDL_FillRect(surface, &band, black);
}

// The picture, converted to the window's format, widened into the window by the fit's scale.
// The game's picture, w x h, into the top left of `to`: 16-bit 5-6-5 pixels, or (wide) 32-bit ones.
static int copy_picture(SDL_Surface* to, const void* pixels, int pitch, int w, int h, bool wide)
{
    if (wide) {
        SDL_Surface* from = SDL_CreateRGBSurfaceFrom(const_cast<void*>(pixels), w, h, 32, pitch, 0x00FF0000,
                                                     0x0000FF00, 0x000000FF, 0);
        if (!from)
            return -1;
        SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(from, nullptr, to, nullptr);
        SDL_FreeSurface(from);
        return 0;
    }
    if (SDL_MUSTLOCK(to) && SDL_LockSurface(to) < 0)
        return -1;
    convert_rows(static_cast<const Uint8*>(pixels), pitch, to, w, h);
    if (SDL_MUSTLOCK(to))
        SDL_UnlockSurface(to);
    return 0;
}

static int draw_scaled(SDL_Surface* surface, const void* pixels, int pitch, int w, int h, bool wide)
{
    if (!staging || staging->w != w || staging->h != h || staging->format->format != surface->format->format) {
        if (staging)
            SDL_FreeSurface(staging);
        staging = SDL_CreateRGBSurfaceWithFormat(0, w, h, surface->format->BitsPerPixel, surface->format->format);
        if (!staging)
            return -1;
    }
    if (copy_picture(staging, pixels, pitch, w, h, wide) < 0)
        return -1;
    struct scaling_fit fit = scaling_choose(surface->w, surface->h, w, h);
    back_fit = fit;
    back_picture_w = w;
    back_picture_h = h;
    // Only a display smaller than the picture crops it (at scale 1): what lies off the display goes.
    int from_x = fit.x < 0 ? -fit.x : 0, from_y = fit.y < 0 ? -fit.y : 0;
    int to_x = fit.x < 0 ? 0 : fit.x, to_y = fit.y < 0 ? 0 : fit.y;
    int cw = w - from_x, ch = h - from_y;
    if (cw * fit.scale > surface->w - to_x)
        cw = (surface->w - to_x) / fit.scale;
    if (ch * fit.scale > surface->h - to_y)
        ch = (surface->h - to_y) / fit.scale;
    fill_around(surface, to_x, to_y, cw * fit.scale, ch * fit.scale);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) < 0)
        return -1;
    int bytes = surface->format->BytesPerPixel;
    const Uint8* in = static_cast<const Uint8*>(staging->pixels) + from_y * staging->pitch + from_x * bytes;
    Uint8* out = static_cast<Uint8*>(surface->pixels) + to_y * surface->pitch + to_x * bytes;
    scaling_copy(in, staging->pitch, cw, ch, bytes, out, surface->pitch, fit.scale);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    return 0;
}

static int present(const void* pixels, int pitch, int w, int h, bool wide)
{
    if (!back_window)
        return -1;
    if (nothing_shows)
        return 0;
    SDL_Surface* surface = SDL_GetWindowSurface(back_window);
    if (!surface)
        return -1;
    // The kept picture stayed on the game's screen for a frame or more: the player sees it too
    // (in the browser only once the page has had a frame to draw it).
    if (paced && pacing_stale(SDL_GetTicks())) {
        SDL_UpdateWindowSurface(back_window);
#ifdef __EMSCRIPTEN__
        emscripten_sleep(pacing_frame_ms);
#endif
    }
    if (back_scaled) {
        if (draw_scaled(surface, pixels, pitch, w, h, wide) < 0)
            return -1;
    } else {
        if (w > surface->w)
            w = surface->w;
        if (h > surface->h)
            h = surface->h;
        if (copy_picture(surface, pixels, pitch, w, h, wide) < 0)
            return -1;
    }
    // At most one picture a frame reaches the display; a kept one is shown by a later poll, or
    // before the next flip replaces it (pacing.h).
    if (paced && !pacing_flip(SDL_GetTicks()))
        return 0;
    return SDL_UpdateWindowSurface(back_window) < 0 ? -1 : 0;
}

int sdl12b_present_565(const void* pixels, int pitch, int w, int h)
{
    return present(pixels, pitch, w, h, false);
}

int sdl12b_present_8888(const void* pixels, int pitch, int w, int h)
{
    return present(pixels, pitch, w, h, true);
}

void sdl12b_idle(void)
{
    // The game waits by polling; an empty queue lets the machine rest until the next frame at
    // most. Natively, without a window or on a display nobody sees, the poll returns at once; the
    // browser's page needs its turn all the same.
#ifndef __EMSCRIPTEN__
    if (!back_window || !paced)
        return;
#endif
    int show = 0;
    int sleep_ms = pacing_idle(SDL_GetTicks(), &show);
    if (sleep_ms < 0)
        return;
    if (show && back_window)
        SDL_UpdateWindowSurface(back_window);
#ifdef __EMSCRIPTEN__
    emscripten_sleep(static_cast<unsigned>(sleep_ms));
#else
    if (sleep_ms > 0)
        SDL_Delay(static_cast<Uint32>(sleep_ms));
#endif
}

int sdl12b_show_cursor(int toggle)
{
    return SDL_ShowCursor(toggle);
}

const char* sdl12b_video_driver(void)
{
    return SDL_GetCurrentVideoDriver();
}

const char* sdl12b_audio_driver(void)
{
    return SDL_GetCurrentAudioDriver();
}

int sdl12b_desktop(int* w, int* h, int* bits, uint32_t* rmask, uint32_t* gmask, uint32_t* bmask)
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) < 0)
        return -1;
    int bpp = 0;
    Uint32 r = 0, g = 0, b = 0, a = 0;
    if (!SDL_PixelFormatEnumToMasks(mode.format, &bpp, &r, &g, &b, &a) || bpp == 0) {
        bpp = 32;
        r = 0x00FF0000;
        g = 0x0000FF00;
        b = 0x000000FF;
    }
    *w = mode.w;
    *h = mode.h;
    *bits = bpp == 24 && SDL_BYTESPERPIXEL(mode.format) == 4 ? 32 : bpp;
    *rmask = r;
    *gmask = g;
    *bmask = b;
    return 0;
}
