// back_video.cpp -- the SDL2 window that shows the 1.2 screen; in the browser, shown and slept at the
// pace pacing.h decides.
#include <SDL2/SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cstring>
#include <vector>

#include "back.h"
#include "bridge.h"
#include "pacing.h"

SDL_Window* back_window = nullptr;
static bool nothing_shows = false;  // the dummy driver's window is seen by no one
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

int sdl12b_window_open(int w, int h, int fullscreen, int resizable, int noframe)
{
    if (back_window) {
        SDL_SetWindowSize(back_window, w, h);
        SDL_SetWindowFullscreen(back_window, fullscreen ? SDL_WINDOW_FULLSCREEN : 0);
        return 0;
    }
    Uint32 flags = 0;
    if (fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    if (resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    if (noframe)
        flags |= SDL_WINDOW_BORDERLESS;
    back_window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, w, h, flags);
    if (!back_window)
        return -1;
    const char* driver = SDL_GetCurrentVideoDriver();
    nothing_shows = driver && std::strcmp(driver, "dummy") == 0;
    apply_icon();
    return 0;
}

void sdl12b_window_close(void)
{
    if (back_window)
        SDL_DestroyWindow(back_window);
    back_window = nullptr;
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

static int present(const void* pixels, int pitch, int w, int h, bool wide)
{
    if (!back_window)
        return -1;
    if (nothing_shows)
        return 0;
    SDL_Surface* surface = SDL_GetWindowSurface(back_window);
    if (!surface)
        return -1;
#ifdef __EMSCRIPTEN__
    // The kept picture stayed on the game's screen for a frame or more: the player sees it too.
    if (pacing_stale(SDL_GetTicks())) {
        SDL_UpdateWindowSurface(back_window);
        emscripten_sleep(pacing_frame_ms);
    }
#endif
    if (w > surface->w)
        w = surface->w;
    if (h > surface->h)
        h = surface->h;
    if (wide) {
        SDL_Surface* from = SDL_CreateRGBSurfaceFrom(const_cast<void*>(pixels), w, h, 32, pitch, 0x00FF0000,
                                                     0x0000FF00, 0x000000FF, 0);
        if (!from)
            return -1;
        SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(from, nullptr, surface, nullptr);
        SDL_FreeSurface(from);
    } else {
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) < 0)
            return -1;
        convert_rows(static_cast<const Uint8*>(pixels), pitch, surface, w, h);
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
    }
#ifdef __EMSCRIPTEN__
    // The page shows a picture only when it gets its turn: at most one a frame (pacing.h).
    if (!pacing_flip(SDL_GetTicks()))
        return 0;
#endif
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
#ifdef __EMSCRIPTEN__
    int show = 0;
    int sleep_ms = pacing_idle(SDL_GetTicks(), &show);
    if (sleep_ms < 0)
        return;
    if (show && back_window)
        SDL_UpdateWindowSurface(back_window);
    emscripten_sleep(static_cast<unsigned>(sleep_ms));
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
