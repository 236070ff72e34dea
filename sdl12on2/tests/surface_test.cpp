// surface_test.cpp -- direct checks of the layer's surfaces for what the side-by-side probe cannot
// show: nothing written outside a blit's rectangle, the blend model the game's faded tiles rely
// on, blit mappings surviving a freed destination, and the display surface hook.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "front.h"

namespace {

Uint32 state = 1;
Uint32 next_random()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

struct format_spec {
    int depth;
    Uint32 r, g, b, a;
};

const format_spec formats[] = {
    {8, 0, 0, 0, 0},
    {16, 0xF800, 0x07E0, 0x001F, 0},
    {15, 0x7C00, 0x03E0, 0x001F, 0},
    {16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {24, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {32, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000},
    {32, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF000000},
};

void fill_random(SDL_Surface* s)
{
    for (int y = 0; y < s->h; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int i = 0; i < s->w * s->format->BytesPerPixel; ++i)
            row[i] = static_cast<Uint8>(next_random());
    }
    if (s->format->palette) {
        for (int i = 0; i < s->format->palette->ncolors; ++i) {
            s->format->palette->colors[i].r = static_cast<Uint8>(next_random());
            s->format->palette->colors[i].g = static_cast<Uint8>(next_random());
            s->format->palette->colors[i].b = static_cast<Uint8>(next_random());
        }
    }
}

// A destination inside a larger buffer: guard rows above and below, and a row pitch 12 bytes
// longer than the pixels need, all holding a marker that no blit or fill may touch.
struct guarded {
    std::vector<Uint8> buffer;
    SDL_Surface* surface = nullptr;
    int offset = 0;
};

const Uint8 marker = 0xA5;

guarded make_guarded(const format_spec& f, int w, int h)
{
    guarded g;
    int bpp = (f.depth + 7) / 8;
    int pitch = (w * bpp + 3) / 4 * 4 + 12;
    g.offset = 2 * pitch;
    g.buffer.assign(static_cast<size_t>(pitch) * (h + 4), marker);
    g.surface = SDL_CreateRGBSurfaceFrom(g.buffer.data() + g.offset, w, h, f.depth, pitch, f.r, f.g, f.b, f.a);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * bpp; ++i)
            g.buffer[g.offset + y * pitch + i] = static_cast<Uint8>(next_random());
    return g;
}

// Counts marker bytes that changed outside the w x h pixels.
int touched_outside(const guarded& g)
{
    const SDL_Surface* s = g.surface;
    int inside = s->w * s->format->BytesPerPixel;
    int count = 0;
    for (size_t i = 0; i < g.buffer.size(); ++i) {
        long at = static_cast<long>(i) - g.offset;
        bool in_pixels = at >= 0 && at < static_cast<long>(s->h) * s->pitch && at % s->pitch < inside;
        if (!in_pixels && g.buffer[i] != marker)
            ++count;
    }
    return count;
}

}  // namespace

// Every blitter the layer chooses, with every kind of clipping, stays inside the destination's
// clipped rectangle, and fills stay inside theirs.
TEST(Blits, NeverWriteOutsideTheDestination)
{
    state = 12345;
    const SDL_Rect clips[] = {{0, 0, 23, 17}, {3, 2, 9, 7}};
    const SDL_Rect from[] = {{0, 0, 19, 13}, {-4, -3, 12, 9}, {15, 9, 10, 10}, {1, 0, 16, 13}};
    const SDL_Rect to[] = {{0, 0, 0, 0}, {-5, -6, 0, 0}, {20, 14, 0, 0}, {7, 3, 0, 0}};
    int blits = 0;
    for (const format_spec& sf : formats)
        for (const format_spec& df : formats)
            for (int mode = 0; mode < 4; ++mode)
                for (const SDL_Rect& clip : clips) {
                    SDL_Surface* src = SDL_CreateRGBSurface(SDL_SWSURFACE, 19, 13, sf.depth, sf.r, sf.g, sf.b, sf.a);
                    ASSERT_NE(src, nullptr);
                    fill_random(src);
                    if (mode & 1)
                        SDL_SetColorKey(src, SDL_SRCCOLORKEY, next_random() & 0xFF);
                    if (mode & 2)
                        SDL_SetAlpha(src, SDL_SRCALPHA, static_cast<Uint8>(mode == 2 ? 128 : 96));
                    guarded dst = make_guarded(df, 23, 17);
                    if (dst.surface->format->palette)
                        fill_random(dst.surface);
                    SDL_SetClipRect(dst.surface, &clip);
                    for (const SDL_Rect& f : from)
                        for (const SDL_Rect& t : to) {
                            SDL_Rect a = f, b = t;
                            if (SDL_BlitSurface(src, &a, dst.surface, &b) == 0)
                                ++blits;
                        }
                    SDL_Rect fill = {-2, 5, 40, 3};
                    SDL_FillRect(dst.surface, &fill, 0x12345678);
                    EXPECT_EQ(touched_outside(dst), 0)
                        << "source depth " << sf.depth << " masks " << std::hex << sf.r << "/" << sf.a
                        << " to depth " << std::dec << df.depth << " masks " << std::hex << df.r << "/" << df.a
                        << std::dec << " mode " << mode << " clip " << clip.x;
                    SDL_FreeSurface(dst.surface);
                    SDL_FreeSurface(src);
                }
    EXPECT_GT(blits, 2000);  // the pairs 1.2 cannot blit are few
}

// platform/draw.cpp reads the keyed per-surface-alpha blend between 5-6-5 surfaces off SDL into
// three tables, one per channel, and then blends the board's faded units itself. That is only
// right if each result channel depends on the same channel of the two pixels alone.
TEST(Blits, KeyedAlphaBlendBetween565SurfacesIsPerChannel)
{
    for (int alpha : {1, 96, 128, 200, 254}) {
        SDL_Surface* src = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 16, 0xF800, 0x07E0, 0x001F, 0);
        SDL_Surface* dst = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 16, 0xF800, 0x07E0, 0x001F, 0);
        Uint16* s = static_cast<Uint16*>(src->pixels);
        Uint16* d = static_cast<Uint16*>(dst->pixels);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                s[y * src->pitch / 2 + x] = static_cast<Uint16>(((x & 31) << 11) | (x << 5) | (x & 31));
                d[y * dst->pitch / 2 + x] = static_cast<Uint16>(((y & 31) << 11) | (y << 5) | (y & 31));
            }
        SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x0001);
        SDL_SetAlpha(src, SDL_SRCALPHA, static_cast<Uint8>(alpha));
        ASSERT_EQ(SDL_BlitSurface(src, nullptr, dst, nullptr), 0);
        Uint8 red[32][32], green[64][64], blue[32][32];
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                Uint16 p = d[y * dst->pitch / 2 + x];
                red[x & 31][y & 31] = static_cast<Uint8>(p >> 11);
                green[x][y] = static_cast<Uint8>((p >> 5) & 63);
                blue[x & 31][y & 31] = static_cast<Uint8>(p & 31);
            }

        // Random pixel pairs blitted one by one must come out as the tables say.
        state = 777u + static_cast<Uint32>(alpha);
        SDL_Surface* one = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 16, 0xF800, 0x07E0, 0x001F, 0);
        SDL_Surface* under = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 16, 0xF800, 0x07E0, 0x001F, 0);
        SDL_SetColorKey(one, SDL_SRCCOLORKEY, 0x0001);
        SDL_SetAlpha(one, SDL_SRCALPHA, static_cast<Uint8>(alpha));
        int mismatches = 0;
        for (int i = 0; i < 20000; ++i) {
            Uint16 p = static_cast<Uint16>(next_random());
            Uint16 q = static_cast<Uint16>(next_random());
            if (p == 0x0001)
                continue;
            *static_cast<Uint16*>(one->pixels) = p;
            *static_cast<Uint16*>(under->pixels) = q;
            SDL_BlitSurface(one, nullptr, under, nullptr);
            Uint16 expected = static_cast<Uint16>((red[p >> 11][q >> 11] << 11) |
                                                  (green[(p >> 5) & 63][(q >> 5) & 63] << 5) | blue[p & 31][q & 31]);
            mismatches += *static_cast<Uint16*>(under->pixels) != expected;
        }
        EXPECT_EQ(mismatches, 0) << "alpha " << alpha;
        SDL_FreeSurface(one);
        SDL_FreeSurface(under);
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
    }
}

// A source remembers the last destination it was mapped for. When that destination is freed and
// another takes its place in memory, the next blit must map again for the new one's format.
TEST(Blits, MapAgainForANewDestinationAtAFreedOnesAddress)
{
    SDL_Surface* src = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_FillRect(src, nullptr, SDL_MapRGB(src->format, 200, 100, 50));
    int remapped = 0;
    for (int round = 0; round < 50; ++round) {
        SDL_Surface* first = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 16, 0xF800, 0x07E0, 0x001F, 0);
        SDL_BlitSurface(src, nullptr, first, nullptr);
        SDL_FreeSurface(first);
        SDL_Surface* second = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
        remapped += second == first;
        SDL_BlitSurface(src, nullptr, second, nullptr);
        Uint8 r, g, b;
        SDL_GetRGB(*static_cast<Uint32*>(second->pixels), second->format, &r, &g, &b);
        EXPECT_EQ(r, 200);
        EXPECT_EQ(g, 100);
        EXPECT_EQ(b, 48);  // 50 keeps 5 bits in 5-6-5, then widens without repeating them
        SDL_FreeSurface(second);
    }
    SDL_FreeSurface(src);
    RecordProperty("address_reused", remapped);
}

TEST(DisplayFormat, NeedsTheDisplaySurface)
{
    SDL_Surface* saved = sdl12_video_surface;
    sdl12_video_surface = nullptr;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_ClearError();
    EXPECT_EQ(SDL_DisplayFormat(s), nullptr);
    EXPECT_STREQ(SDL_GetError(), "No video mode has been set");
    SDL_ClearError();
    EXPECT_EQ(SDL_DisplayFormatAlpha(s), nullptr);
    EXPECT_STREQ(SDL_GetError(), "No video mode has been set");
    SDL_FreeSurface(s);
    sdl12_video_surface = saved;
}

// The hook the video code sets: the display survives SDL_FreeSurface, conversions take its format,
// and the alpha format follows a blue-first display as 1.2's fast path wants.
TEST(DisplayFormat, FollowsTheDisplaySurface)
{
    SDL_Surface* saved = sdl12_video_surface;
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 24, 16, 0x001F, 0x07E0, 0xF800, 0);
    sdl12_video_surface = screen;
    SDL_FreeSurface(screen);
    ASSERT_EQ(screen->refcount, 1);

    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(picture, nullptr, 0x204080);
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, 0x204080);
    SDL_Surface* shown = SDL_DisplayFormat(picture);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->format->Rmask, 0x001Fu);
    EXPECT_EQ(shown->format->Bmask, 0xF800u);
    EXPECT_TRUE(shown->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(shown->format->colorkey, SDL_MapRGB(shown->format, 0x20, 0x40, 0x80));
    EXPECT_EQ(*static_cast<Uint16*>(shown->pixels), shown->format->colorkey);

    SDL_Surface* with_alpha = SDL_DisplayFormatAlpha(picture);
    ASSERT_NE(with_alpha, nullptr);
    EXPECT_EQ(with_alpha->format->Rmask, 0x000000FFu);
    EXPECT_EQ(with_alpha->format->Bmask, 0x00FF0000u);
    EXPECT_EQ(with_alpha->format->Amask, 0xFF000000u);
    // The keyed pixels become transparent: 1.2 leaves them out of the copy.
    EXPECT_EQ(*static_cast<Uint32*>(with_alpha->pixels), 0u);

    SDL_FreeSurface(shown);
    SDL_FreeSurface(with_alpha);
    SDL_FreeSurface(picture);
    sdl12_video_surface = nullptr;
    SDL_FreeSurface(screen);
    sdl12_video_surface = saved;
}

// While 1.2 holds a surface run-length encoded it must be locked to be read, and locking shows
// the pixels as rebuilt from the runs: a 16-bit destination keeps 5 bits of alpha.
TEST(RunLength, LockShowsThePixelsAsRebuilt)
{
    SDL_Surface* src = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    Uint32* p = static_cast<Uint32*>(src->pixels);
    p[0] = 0x00123456;  // transparent: rebuilt as 0
    p[1] = 0xFF123456;  // opaque: colour cut to 5-6-5
    p[2] = 0x7F123456;  // translucent: colour cut, alpha to 5 bits
    p[3] = 0x05123456;  // alpha below 8: no alpha left, the colour cut all the same
    SDL_SetAlpha(src, SDL_SRCALPHA | SDL_RLEACCEL, 255);
    SDL_Surface* dst = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 1, 16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_EQ(SDL_BlitSurface(src, nullptr, dst, nullptr), 0);
    EXPECT_TRUE(src->flags & SDL_RLEACCEL);
    EXPECT_TRUE(SDL_MUSTLOCK(src));
    ASSERT_EQ(SDL_LockSurface(src), 0);
    EXPECT_EQ(p[0], 0u);
    EXPECT_EQ(p[1], 0xFF103450u);
    EXPECT_EQ(p[2], 0x78103450u);
    EXPECT_EQ(p[3], 0x00103450u);
    SDL_UnlockSurface(src);
    EXPECT_TRUE(src->flags & SDL_RLEACCEL);
    SDL_SetAlpha(src, SDL_SRCALPHA, 255);
    EXPECT_FALSE(src->flags & SDL_RLEACCEL);
    EXPECT_FALSE(SDL_MUSTLOCK(src));
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}
