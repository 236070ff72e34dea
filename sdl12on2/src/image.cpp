// image.cpp -- pictures in and out: SDL_image 1.2's loaders (read by SDL2_image in the back) and
// SDL 1.2's own BMP reading and writing. Writing is done here, byte for byte as 1.2 wrote.
#include <cstring>

#include "SDL_image.h"
#include "bridge.h"
#include "video.h"

const SDL_version* IMG_Linked_Version(void)
{
    static SDL_version linked = {SDL_IMAGE_MAJOR_VERSION, SDL_IMAGE_MINOR_VERSION, SDL_IMAGE_PATCHLEVEL};
    return &linked;
}

SDL_Surface* IMG_Load_RW(SDL_RWops* src, int freesrc)
{
    sdl12_pixels pixels;
    if (sdl12b_image_load(src, freesrc, &pixels) < 0)
        return nullptr;
    return sdl12_surface_from_pixels(&pixels);
}

SDL_Surface* IMG_Load(const char* file)
{
    SDL_RWops* src = SDL_RWFromFile(file, "rb");
    if (!src)
        return nullptr;  // the error says which file could not be opened
    return IMG_Load_RW(src, 1);
}

SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* src, int freesrc)
{
    sdl12_pixels pixels;
    if (sdl12b_bmp_load(src, freesrc, &pixels) < 0)
        return nullptr;
    return sdl12_surface_from_pixels(&pixels);
}

static bool write_bytes(SDL_RWops* dst, const void* data, size_t size)
{
    return sdl12b_rw_write(dst, data, size) == size;
}

static bool write_le16(SDL_RWops* dst, Uint16 value)
{
    Uint8 b[2] = {static_cast<Uint8>(value), static_cast<Uint8>(value >> 8)};
    return write_bytes(dst, b, 2);
}

static bool write_le32(SDL_RWops* dst, Uint32 value)
{
    Uint8 b[4] = {static_cast<Uint8>(value), static_cast<Uint8>(value >> 8), static_cast<Uint8>(value >> 16),
                  static_cast<Uint8>(value >> 24)};
    return write_bytes(dst, b, 4);
}

// 8-bit palettized surfaces are written as they are, everything else as 24-bit BGR made by a blit
// (so a keyed or translucent surface is written as 1.2's blit onto black leaves it).
int SDL_SaveBMP_RW(SDL_Surface* saveme, SDL_RWops* dst, int freedst)
{
    SDL_Surface* surface = nullptr;
    if (dst && saveme) {
        const SDL_PixelFormat* f = saveme->format;
        if (f->palette) {
            if (f->BitsPerPixel == 8)
                surface = saveme;
            else
                SDL_SetError("%d bpp BMP files not supported", f->BitsPerPixel);
        } else if (f->BitsPerPixel == 24 && f->Rmask == 0x00FF0000 && f->Gmask == 0x0000FF00 &&
                   f->Bmask == 0x000000FF) {
            surface = saveme;
        } else {
            surface = SDL_CreateRGBSurface(SDL_SWSURFACE, saveme->w, saveme->h, 24, 0x00FF0000, 0x0000FF00,
                                           0x000000FF, 0);
            if (surface) {
                SDL_Rect bounds = {0, 0, static_cast<Uint16>(saveme->w), static_cast<Uint16>(saveme->h)};
                SDL_Rect to = bounds;
                if (SDL_LowerBlit(saveme, &bounds, surface, &to) < 0) {
                    SDL_FreeSurface(surface);
                    SDL_SetError("Couldn't convert image to 24 bpp");
                    surface = nullptr;
                }
            }
        }
    }
    bool ok = false;
    if (surface && SDL_LockSurface(surface) == 0) {
        const SDL_PixelFormat* f = surface->format;
        int64_t start = sdl12b_rw_seek(dst, 0, 1);
        SDL_ClearError();
        ok = write_bytes(dst, "BM", 2) && write_le32(dst, 0) && write_le16(dst, 0) && write_le16(dst, 0) &&
             write_le32(dst, 0);
        Uint32 colours = f->palette ? static_cast<Uint32>(f->palette->ncolors) : 0;
        ok = ok && write_le32(dst, 40) && write_le32(dst, static_cast<Uint32>(surface->w)) &&
             write_le32(dst, static_cast<Uint32>(surface->h)) && write_le16(dst, 1) &&
             write_le16(dst, f->BitsPerPixel) && write_le32(dst, 0) &&
             write_le32(dst, static_cast<Uint32>(surface->h) * surface->pitch) && write_le32(dst, 0) &&
             write_le32(dst, 0) && write_le32(dst, colours) && write_le32(dst, 0);
        for (Uint32 i = 0; ok && i < colours; i++) {
            const SDL_Color& c = f->palette->colors[i];
            Uint8 bgrx[4] = {c.b, c.g, c.r, c.unused};
            ok = write_bytes(dst, bgrx, 4);
        }
        // The pixel data's offset, then the rows bottom up, each padded to four bytes.
        int64_t bits_at = sdl12b_rw_seek(dst, 0, 1);
        ok = ok && sdl12b_rw_seek(dst, start + 10, 0) >= 0 && write_le32(dst, static_cast<Uint32>(bits_at - start)) &&
             sdl12b_rw_seek(dst, bits_at, 0) >= 0;
        const int row_bytes = surface->w * f->BytesPerPixel;
        const int pad = (row_bytes % 4) ? 4 - (row_bytes % 4) : 0;
        const Uint8 zeros[4] = {0, 0, 0, 0};
        for (int y = surface->h - 1; ok && y >= 0; y--) {
            ok = write_bytes(dst, static_cast<Uint8*>(surface->pixels) + y * surface->pitch,
                             static_cast<size_t>(row_bytes)) &&
                 (pad == 0 || write_bytes(dst, zeros, static_cast<size_t>(pad)));
        }
        int64_t end = sdl12b_rw_seek(dst, 0, 1);
        ok = ok && sdl12b_rw_seek(dst, start + 2, 0) >= 0 && write_le32(dst, static_cast<Uint32>(end - start)) &&
             sdl12b_rw_seek(dst, end, 0) >= 0;
        if (!ok)
            SDL_SetError("Error writing to datastream");
        SDL_UnlockSurface(surface);
        if (surface != saveme)
            SDL_FreeSurface(surface);
    } else if (surface && surface != saveme) {
        SDL_FreeSurface(surface);
    }
    if (freedst && dst)
        SDL_RWclose(dst);
    return ok ? 0 : -1;
}
