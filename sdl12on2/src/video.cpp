// video.cpp -- SDL_SetVideoMode and the rest of 1.2's display calls. The screen is a software
// surface of the asked depth (5-6-5 for 16 bits); flips and updates show all of it in the window.
#include "video.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "front.h"

static std::string caption_title;
static std::string caption_icon;
static bool have_title = false;
static bool have_icon = false;
static int cursor_shown = SDL_ENABLE;
static SDL_VideoInfo video_info;
static SDL_Surface* desktop_format_surface = nullptr;  // only its format is used, for vfmt
static SDL_Surface* wide_copy = nullptr;                // the screen at 32 bits, for other depths

static bool dummy_driver()
{
    const char* name = sdl12b_video_driver();
    return name && std::strcmp(name, "dummy") == 0;
}

static void free_screen()
{
    SDL_Surface* old = sdl12_video_surface;
    sdl12_video_surface = nullptr;  // the hook keeps SDL_FreeSurface off the screen while it is set
    if (old)
        SDL_FreeSurface(old);
    if (wide_copy)
        SDL_FreeSurface(wide_copy);
    wide_copy = nullptr;
}

void sdl12_video_quit()
{
    free_screen();
    if (desktop_format_surface)
        SDL_FreeSurface(desktop_format_surface);
    desktop_format_surface = nullptr;
    sdl12b_window_close();
    cursor_shown = SDL_ENABLE;
}

static void masks_for(int bpp, Uint32* r, Uint32* g, Uint32* b)
{
    switch (bpp) {
    case 15: *r = 0x7C00; *g = 0x03E0; *b = 0x001F; break;
    case 16: *r = 0xF800; *g = 0x07E0; *b = 0x001F; break;
    case 24: case 32: *r = 0x00FF0000; *g = 0x0000FF00; *b = 0x000000FF; break;
    default: *r = *g = *b = 0; break;
    }
}

int SDL_VideoModeOK(int width, int height, int bpp, Uint32 flags)
{
    (void)flags;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || width <= 0 || height <= 0)
        return 0;
    if (bpp == 8 || bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32)
        return bpp;
    return 0;
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) < 0)
        return nullptr;
    if (width <= 0 || height <= 0) {
        SDL_SetError("Invalid width or height");
        return nullptr;
    }
    if (bpp == 0) {
        int dw = 0, dh = 0, bits = 0;
        Uint32 r, g, b;
        bpp = sdl12b_desktop(&dw, &dh, &bits, &r, &g, &b) == 0 && bits >= 8 ? bits : 16;
    }
    if (bpp != 8 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32)
        bpp = 16;
    free_screen();
    if (sdl12b_window_open(width, height, (flags & SDL_FULLSCREEN) != 0, (flags & SDL_RESIZABLE) != 0,
                           (flags & SDL_NOFRAME) != 0) < 0)
        return nullptr;
    if (have_title)
        sdl12b_window_title(caption_title.c_str());
    // 1.2's dummy driver asks for the default masks of the depth (which leaves the format's alpha
    // loss at 0); drivers of real displays give the display's masks.
    Uint32 r = 0, g = 0, b = 0;
    if (!dummy_driver())
        masks_for(bpp, &r, &g, &b);
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bpp, r, g, b, 0);
    if (!screen)
        return nullptr;
    // What 1.2 keeps of the asked flags on a software display: the window's kind, and the hardware
    // palette only for 8 bits; without a window manager (the dummy driver) the screen has no frame.
    Uint32 kept = SDL_FULLSCREEN | SDL_RESIZABLE | SDL_NOFRAME;
    if (bpp == 8)
        kept |= SDL_HWPALETTE;
    screen->flags = SDL_SWSURFACE | (flags & kept);
    if (dummy_driver())
        screen->flags |= SDL_NOFRAME;
    sdl12_video_surface = screen;
    if (bpp != 16) {
        wide_copy = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        if (!wide_copy) {
            free_screen();
            return nullptr;
        }
    }
    sdl12b_show_cursor(cursor_shown);
    return screen;
}

SDL_Surface* SDL_GetVideoSurface(void)
{
    return sdl12_video_surface;
}

const SDL_VideoInfo* SDL_GetVideoInfo(void)
{
    std::memset(&video_info, 0, sizeof video_info);
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    video_info.wm_available = dummy_driver() ? 0 : 1;
    video_info.video_mem = 0;  // a software display has no video memory of its own in 1.2
    if (sdl12_video_surface) {
        video_info.vfmt = sdl12_video_surface->format;
        video_info.current_w = sdl12_video_surface->w;
        video_info.current_h = sdl12_video_surface->h;
        return &video_info;
    }
    // Before a mode is set: the desktop, or (dummy driver) an 8-bit display of no size.
    int w = 0, h = 0, bits = 8;
    Uint32 r = 0, g = 0, b = 0;
    if (!dummy_driver() && sdl12b_desktop(&w, &h, &bits, &r, &g, &b) < 0) {
        w = h = 0;
        bits = 8;
        r = g = b = 0;
    }
    if (desktop_format_surface)
        SDL_FreeSurface(desktop_format_surface);
    desktop_format_surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, bits, r, g, b, 0);
    video_info.vfmt = desktop_format_surface ? desktop_format_surface->format : nullptr;
    video_info.current_w = w;
    video_info.current_h = h;
    return &video_info;
}

char* SDL_VideoDriverName(char* namebuf, int maxlen)
{
    const char* name = SDL_WasInit(SDL_INIT_VIDEO) ? sdl12b_video_driver() : nullptr;
    if (!name || !namebuf || maxlen <= 0)
        return nullptr;
    std::snprintf(namebuf, static_cast<size_t>(maxlen), "%s", name);
    return namebuf;
}

static int present(SDL_Surface* screen)
{
    if (!screen || screen != sdl12_video_surface)
        return -1;
    if (screen->format->BitsPerPixel == 16 && screen->format->Rmask == 0xF800)
        return sdl12b_present_565(screen->pixels, screen->pitch, screen->w, screen->h);
    // Other depths go through a 32-bit copy, shown as 5-6-5 after all would lose colour: widen.
    SDL_Rect all = {0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)};
    SDL_Rect to = all;
    if (!wide_copy || SDL_LowerBlit(screen, &all, wide_copy, &to) < 0)
        return -1;
    return sdl12b_present_8888(wide_copy->pixels, wide_copy->pitch, wide_copy->w, wide_copy->h);
}

int SDL_Flip(SDL_Surface* screen)
{
    if (!screen)
        return -1;
    if (screen != sdl12_video_surface)
        return 0;  // 1.2 flips only the display; another surface has nothing to show
    return present(screen) < 0 ? -1 : 0;
}

void SDL_UpdateRects(SDL_Surface* screen, int numrects, SDL_Rect* rects)
{
    (void)rects;
    if (numrects > 0)
        present(screen);
}

void SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h)
{
    (void)x;
    (void)y;
    (void)w;
    (void)h;
    present(screen);
}

void SDL_WM_SetCaption(const char* title, const char* icon)
{
    if (title) {
        caption_title = title;
        have_title = true;
        sdl12b_window_title(title);
    }
    if (icon) {
        caption_icon = icon;
        have_icon = true;
    }
}

void SDL_WM_GetCaption(char** title, char** icon)
{
    if (title)
        *title = have_title ? const_cast<char*>(caption_title.c_str()) : nullptr;
    if (icon)
        *icon = have_icon ? const_cast<char*>(caption_icon.c_str()) : nullptr;
}

void SDL_WM_SetIcon(SDL_Surface* icon, Uint8* mask)
{
    if (!icon)
        return;
    SDL_Surface* argb = SDL_CreateRGBSurface(SDL_SWSURFACE, icon->w, icon->h, 32, 0x00FF0000, 0x0000FF00,
                                             0x000000FF, 0xFF000000);
    if (!argb)
        return;
    // Opaque, then keyed pixels (and those the mask leaves out) made transparent, as 1.2 did.
    SDL_FillRect(argb, nullptr, 0xFF000000);
    for (int y = 0; y < icon->h; y++) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch);
        const Uint8* in = static_cast<const Uint8*>(icon->pixels) + y * icon->pitch;
        for (int x = 0; x < icon->w; x++) {
            Uint32 p = 0;
            std::memcpy(&p, in + x * icon->format->BytesPerPixel, icon->format->BytesPerPixel);
            Uint8 r, g, b;
            SDL_GetRGB(p, icon->format, &r, &g, &b);
            bool keyed = (icon->flags & SDL_SRCCOLORKEY) && p == icon->format->colorkey;
            int pitch = (icon->w + 7) / 8;
            bool masked = mask && !(mask[y * pitch + x / 8] & (0x80 >> (x % 8)));
            row[x] = (keyed || masked) ? 0 : (0xFF000000u | (Uint32(r) << 16) | (Uint32(g) << 8) | b);
        }
    }
    sdl12b_window_icon(static_cast<const uint32_t*>(argb->pixels), argb->w, argb->h);
    SDL_FreeSurface(argb);
}

int SDL_ShowCursor(int toggle)
{
    int was = cursor_shown;
    if (toggle >= 0) {
        cursor_shown = toggle ? SDL_ENABLE : SDL_DISABLE;
        if (SDL_WasInit(SDL_INIT_VIDEO))
            sdl12b_show_cursor(cursor_shown);
    }
    return was;
}

SDL_Surface* sdl12_surface_from_pixels(sdl12_pixels* p)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, p->w, p->h, p->bits, p->rmask, p->gmask, p->bmask,
                                          p->amask);
    if (!s) {
        sdl12b_pixels_free(p);
        return nullptr;
    }
    int row_bytes = p->w * s->format->BytesPerPixel;
    for (int y = 0; y < p->h; y++)
        std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch,
                    static_cast<const Uint8*>(p->pixels) + y * p->pitch, static_cast<size_t>(row_bytes));
    if (s->format->palette && p->ncolors > 0) {
        SDL_Color colours[256];
        for (int i = 0; i < p->ncolors; i++) {
            colours[i].r = p->palette[i][0];
            colours[i].g = p->palette[i][1];
            colours[i].b = p->palette[i][2];
            colours[i].unused = 0;
        }
        SDL_SetColors(s, colours, 0, p->ncolors);
        s->format->palette->ncolors = p->ncolors;  // 1.2's loaders keep the file's palette size
    }
    if (p->has_key)
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, p->key);
    sdl12b_pixels_free(p);
    return s;
}
