// draw_test.cpp -- the drawing primitives where they can go wrong (edges, pixel sizes, inclusive
// rectangles, text placement and backgrounds), the palette, and what start-up left on the screen
// and in the loaded pictures.
#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "battle/state.h"
#include "harness/harness.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"

namespace {

typedef std::set<std::pair<int, int>> PixelSet;

// A software surface with the screen's 16-bit format, so text and palette colours apply to it.
SDL_Surface* make_canvas(int w, int h, Uint32 fill)
{
    SDL_PixelFormat* f = screen->format;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, f->Rmask, f->Gmask, f->Bmask, 0);
    SDL_FillRect(s, nullptr, fill);
    return s;
}

// A surface of 1 to 4 bytes per pixel, its bytes (padding included) set to a known pattern.
SDL_Surface* make_patterned(int bytes, int w, int h)
{
    Uint32 r = 0, g = 0, b = 0;
    if (bytes == 3 || bytes == 4) {
        r = 0xff0000;
        g = 0x00ff00;
        b = 0x0000ff;
    } else if (bytes == 2) {
        r = 0xf800;
        g = 0x07e0;
        b = 0x001f;
    }
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bytes * 8, r, g, b, 0);
    Uint8* p = static_cast<Uint8*>(s->pixels);
    for (int i = 0; i < s->pitch * s->h; i++)
        p[i] = static_cast<Uint8>(i * 7 + 3);
    return s;
}

std::vector<Uint8> bytes_of(SDL_Surface* s)
{
    const Uint8* p = static_cast<const Uint8*>(s->pixels);
    return std::vector<Uint8>(p, p + s->pitch * s->h);
}

// Read straight from memory, so the checks do not lean on get_pixel.
Uint16 raw16(SDL_Surface* s, int x, int y)
{
    Uint16 v;
    std::memcpy(&v, static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 2, 2);
    return v;
}

PixelSet pixels_equal_to(SDL_Surface* s, Uint32 value)
{
    PixelSet found;
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            if (raw16(s, x, y) == value)
                found.insert({x, y});
    return found;
}

PixelSet pixels_not_equal_to(SDL_Surface* s, Uint32 value)
{
    PixelSet found;
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            if (raw16(s, x, y) != value)
                found.insert({x, y});
    return found;
}

PixelSet box(int x1, int y1, int x2, int y2)
{
    PixelSet set;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++)
            set.insert({x, y});
    return set;
}

PixelSet border(int x1, int y1, int x2, int y2)
{
    PixelSet set;
    for (const auto& p : box(x1, y1, x2, y2))
        if (p.first == x1 || p.first == x2 || p.second == y1 || p.second == y2)
            set.insert(p);
    return set;
}

bool same_pixels(SDL_Surface* a, SDL_Surface* b)
{
    if (a->w != b->w || a->h != b->h)
        return false;
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (raw16(a, x, y) != raw16(b, x, y))
                return false;
    return true;
}

int text_width(const char* text)
{
    int w = 0, h = 0;
    TTF_SizeText(font, text, &w, &h);
    return w;
}

int text_height(const char* text)
{
    int w = 0, h = 0;
    TTF_SizeText(font, text, &w, &h);
    return h;
}

}  // namespace

// ---- what start-up left behind ----
// This runs first: no case below draws on the screen, so it still shows the loading text.
TEST(StartUpScreen, ShowsTheLoadingTextInWhiteOnBlack)
{
    EXPECT_TRUE(screen_matches("startup_loading"));

    // The same picture made independently of start-up: both lines centred on x = 160.
    SDL_Surface* expected = make_canvas(320, 240, 0);
    draw_text_centred(expected, "Loading", 160, 110, map_colour(3), -1);
    draw_text_centred(expected, "This might take a while...", 160, 140, map_colour(3), -1);
    EXPECT_TRUE(same_pixels(screen, expected));
    SDL_FreeSurface(expected);

    PixelSet white = pixels_equal_to(screen, map_colour(3));
    PixelSet black = pixels_equal_to(screen, map_colour(0));
    EXPECT_EQ(white.size() + black.size(), 320u * 240u) << "only white text on black";
    ASSERT_FALSE(white.empty());
    int first_w = text_width("Loading"), first_h = text_height("Loading");
    int second_w = text_width("This might take a while...");
    int second_h = text_height("This might take a while...");
    PixelSet allowed = box(160 - first_w / 2, 110, 160 - first_w / 2 + first_w - 1, 110 + first_h - 1);
    PixelSet second = box(160 - second_w / 2, 140, 160 - second_w / 2 + second_w - 1, 140 + second_h - 1);
    allowed.insert(second.begin(), second.end());
    for (const auto& p : white)
        EXPECT_TRUE(allowed.count(p)) << "white at (" << p.first << ", " << p.second << ")";
}

TEST(StartUpResources, TheWindowAudioAndSurfacesAreAsTheGameNeedsThem)
{
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 320);
    EXPECT_EQ(screen->h, 240);
    EXPECT_EQ(screen->format->BitsPerPixel, 16);
    EXPECT_EQ(SDL_GetVideoSurface(), screen);
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Umbrafront");
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1) << "the audio device is not open";
    EXPECT_EQ(frequency, 11025);
    EXPECT_EQ(format, AUDIO_S16LSB);
    EXPECT_EQ(channels, 2);

    ASSERT_NE(terrain_map, nullptr);
    EXPECT_EQ(terrain_map->w, 20);
    EXPECT_EQ(terrain_map->h, 12);
    EXPECT_EQ(terrain_map->format->BytesPerPixel, 2);
    EXPECT_EQ(terrain_map->flags & SDL_HWSURFACE, 0u);

    EXPECT_EQ(colour_key, SDL_MapRGB(screen->format, 174, 105, 174));
    EXPECT_EQ(colour_key, map_colour(4));

    ASSERT_NE(font, nullptr);
    for (Mix_Chunk* chunk : {sound_hit, sound_arrow, sound_fireball, sound_spawn, sound_castle,
                             sound_step, sound_chains, sound_gameover}) {
        ASSERT_NE(chunk, nullptr);
        EXPECT_GT(chunk->alen, 0u);
    }
    for (Mix_Music* music : {music_title, music_balanced, music_light, music_dark})
        EXPECT_NE(music, nullptr);
    // Joystick 0 is held open when there is one; without one the keyboard alone is fine.
    EXPECT_EQ(joystick != nullptr, SDL_NumJoysticks() > 0);
}

// Each picture is kept in the screen's format; the keyed ones drop their (174, 105, 174) pixels
// when blitted, the others draw that colour like any other.
TEST(StartUpResources, KeyedPicturesLeaveTheirKeyColourOutAndTheOthersDrawIt)
{
    struct Picture {
        const char* name;
        SDL_Surface* surface;
        bool keyed;
    };
    const Picture pictures[] = {
        {"tiles", tiles_image, true},          {"title", title_image, false},
        {"title text", title_text_image, true}, {"options", options_image, true},
        {"balance", balance_image, false},     {"balance background", balance_bg_image, false},
        {"cursor", cursor_image, true},        {"move cursor", move_cursor_image, true},
    };
    const Uint32 sentinel = map_colour(1);
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        SDL_Surface* image = picture.surface;
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format->BitsPerPixel, screen->format->BitsPerPixel);
        EXPECT_EQ(image->format->Rmask, screen->format->Rmask);
        EXPECT_EQ(image->format->Gmask, screen->format->Gmask);
        EXPECT_EQ(image->format->Bmask, screen->format->Bmask);

        SDL_Surface* canvas = make_canvas(image->w, image->h, sentinel);
        blit(image, canvas, 0, 0, 0, 0, image->w, image->h);
        int keyed_pixels = 0, wrong = 0;
        for (int y = 0; y < image->h; y++)
            for (int x = 0; x < image->w; x++) {
                Uint16 source = raw16(image, x, y);
                bool transparent = picture.keyed && source == colour_key;
                keyed_pixels += source == colour_key;
                Uint16 want = transparent ? sentinel : source;
                if (raw16(canvas, x, y) != want && wrong++ < 3)
                    ADD_FAILURE() << "(" << x << ", " << y << ") is " << raw16(canvas, x, y)
                                  << ", expected " << want;
            }
        EXPECT_EQ(wrong, 0);
        if (picture.keyed) {
            EXPECT_GT(keyed_pixels, 0) << "a keyed picture with nothing transparent in it";
        }
        SDL_FreeSurface(canvas);
    }
}

// ---- palette ----
TEST(MapColour, FollowsTheTableAndShowsEveryOtherIndexRed)
{
    struct Row {
        ColourIndex index;
        Uint8 r, g, b;
    };
    const Row table[] = {
        {0, 0, 0, 0},       {1, 86, 87, 194},   {2, 170, 170, 255}, {3, 255, 255, 255},
        {4, 174, 105, 174}, {15, 255, 255, 255}, {16, 0, 0, 0},
    };
    for (const Row& row : table)
        EXPECT_EQ(map_colour(row.index), SDL_MapRGB(screen->format, row.r, row.g, row.b))
            << "index " << row.index;
    const Uint32 red = SDL_MapRGB(screen->format, 255, 0, 0);
    for (ColourIndex index : {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 100, -1, -2, INT_MIN, INT_MAX})
        EXPECT_EQ(map_colour(index), red) << "index " << index;
    // The values differ where the colours do, so the table cannot collapse into one colour.
    EXPECT_NE(map_colour(0), map_colour(3));
    EXPECT_NE(map_colour(1), map_colour(2));
}

// ---- single pixels, for every pixel size ----
struct PixelSize : ::testing::TestWithParam<int> {};

TEST_P(PixelSize, ReadsAndWritesOutsideTheSurfaceTouchNothing)
{
    const int bytes = GetParam();
    // Five pixels wide, so rows carry padding where a write past the right edge would land.
    SDL_Surface* s = make_patterned(bytes, 5, 4);
    ASSERT_EQ(s->format->BytesPerPixel, bytes);
    const std::vector<Uint8> before = bytes_of(s);
    const int outside[][2] = {{-1, 0}, {0, -1}, {5, 0}, {0, 4}, {-1, -1}, {5, 4},
                              {5, 3}, {4, 4}, {INT_MIN, 0}, {0, INT_MAX}, {-100000, 2}};
    for (const auto& p : outside) {
        EXPECT_EQ(get_pixel(s, p[0], p[1]), -1) << "(" << p[0] << ", " << p[1] << ")";
        put_pixel(s, p[0], p[1], 0x5a5a5a5a);
    }
    EXPECT_EQ(bytes_of(s), before) << "a write outside the surface changed its memory";
    SDL_FreeSurface(s);
}

TEST_P(PixelSize, AWriteChangesExactlyItsOwnBytesAndReadsBack)
{
    const int bytes = GetParam();
    SDL_Surface* s = make_patterned(bytes, 5, 4);
    const Uint32 value = 0xa1b2c3d4;
    const Uint32 stored = bytes == 4 ? value : value & ((1u << (8 * bytes)) - 1);
    for (const auto& p : std::vector<std::pair<int, int>>{{0, 0}, {4, 3}, {4, 0}, {0, 3}, {2, 1}}) {
        std::vector<Uint8> expected = bytes_of(s);
        Uint8* at = expected.data() + p.second * s->pitch + p.first * bytes;
        for (int i = 0; i < bytes; i++)  // lowest byte first (little-endian host, and 3 bytes always)
            at[i] = static_cast<Uint8>(stored >> (8 * i));
        put_pixel(s, p.first, p.second, value);
        EXPECT_EQ(bytes_of(s), expected) << "(" << p.first << ", " << p.second << ")";
        EXPECT_EQ(get_pixel(s, p.first, p.second), static_cast<int>(stored))
            << "(" << p.first << ", " << p.second << ")";
    }
    SDL_FreeSurface(s);
}

TEST_P(PixelSize, ReadsTheValueAlreadyInMemory)
{
    const int bytes = GetParam();
    SDL_Surface* s = make_patterned(bytes, 5, 4);
    const Uint8* at = static_cast<Uint8*>(s->pixels) + 3 * s->pitch + 4 * bytes;
    Uint32 want = 0;
    for (int i = 0; i < bytes; i++)
        want |= static_cast<Uint32>(at[i]) << (8 * i);
    EXPECT_EQ(get_pixel(s, 4, 3), static_cast<int>(want));
    SDL_FreeSurface(s);
}

INSTANTIATE_TEST_SUITE_P(OneToFourBytes, PixelSize, ::testing::Values(1, 2, 3, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "byte";
                         });

TEST(TerrainMap, HoldsRawCodesAndHasNoCellsOutsideTheBattlefield)
{
    SDL_Surface* saved = SDL_ConvertSurface(terrain_map, terrain_map->format, SDL_SWSURFACE);
    for (int x = 0; x < 20; x++)
        for (int y = 0; y < 12; y++)
            put_pixel(terrain_map, x, y, 8 + (x + y) % 8);
    for (int x = 0; x < 20; x++)
        for (int y = 0; y < 12; y++)
            EXPECT_EQ(get_pixel(terrain_map, x, y), 8 + (x + y) % 8) << x << ", " << y;
    EXPECT_EQ(get_pixel(terrain_map, -1, 5), -1);
    EXPECT_EQ(get_pixel(terrain_map, 20, 5), -1);
    EXPECT_EQ(get_pixel(terrain_map, 5, -1), -1);
    EXPECT_EQ(get_pixel(terrain_map, 5, 12), -1);
    SDL_BlitSurface(saved, nullptr, terrain_map, nullptr);
    SDL_FreeSurface(saved);
}

// ---- rectangles ----
TEST(FillRect, CornersAreInclusive)
{
    const Uint32 ink = map_colour(3);
    SDL_Surface* s = make_canvas(33, 20, 0);
    fill_rect(s, 7, 4, 7, 4, ink);
    EXPECT_EQ(pixels_equal_to(s, ink), box(7, 4, 7, 4));
    SDL_FillRect(s, nullptr, 0);
    fill_rect(s, 2, 3, 5, 7, ink);
    EXPECT_EQ(pixels_equal_to(s, ink), box(2, 3, 5, 7));
    EXPECT_EQ(pixels_equal_to(s, ink).size(), 4u * 5u);
    SDL_FreeSurface(s);
}

TEST(FillRect, IsCutOffAtEveryEdgeOfTheSurface)
{
    const Uint32 ink = map_colour(3);
    SDL_Surface* s = make_canvas(33, 20, 0);  // 33 pixels: each row ends in two bytes of padding
    std::vector<Uint8> padding_before;
    for (int y = 0; y < s->h; y++)
        padding_before.insert(padding_before.end(), static_cast<Uint8*>(s->pixels) + y * s->pitch + 66,
                              static_cast<Uint8*>(s->pixels) + (y + 1) * s->pitch);
    fill_rect(s, 30, 17, 40, 25, ink);
    fill_rect(s, -3, -2, 1, 1, ink);
    fill_rect(s, 30, -5, 33, 0, ink);  // x2 one past the last column, as callers pass 320 on screen
    PixelSet want = box(30, 17, 32, 19);
    for (const auto& p : box(0, 0, 1, 1))
        want.insert(p);
    for (const auto& p : box(30, 0, 32, 0))
        want.insert(p);
    EXPECT_EQ(pixels_equal_to(s, ink), want);
    std::vector<Uint8> padding_after;
    for (int y = 0; y < s->h; y++)
        padding_after.insert(padding_after.end(), static_cast<Uint8*>(s->pixels) + y * s->pitch + 66,
                             static_cast<Uint8*>(s->pixels) + (y + 1) * s->pitch);
    EXPECT_EQ(padding_after, padding_before);
    SDL_FreeSurface(s);
}

TEST(FillRect, ClearSurfaceFillsEveryPixel)
{
    SDL_Surface* s = make_canvas(33, 20, map_colour(2));
    clear_surface(s, map_colour(4));
    EXPECT_EQ(pixels_equal_to(s, map_colour(4)).size(), 33u * 20u);
    SDL_FreeSurface(s);
}

TEST(DrawRect, OutlinesTheInclusiveBoxAndLeavesItsInsideAlone)
{
    const Uint32 ink = map_colour(3);
    struct Case {
        int x1, y1, x2, y2;
    };
    const Case cases[] = {
        {10, 10, 12, 12},  // eight border pixels around (11, 11)
        {3, 4, 17, 9},
        {5, 5, 5, 5},      // a box of one pixel is that pixel
        {3, 4, 9, 4},      // a flat box is a line, both ends included
        {6, 2, 6, 8},      // and so is a thin one
        {0, 0, 32, 19},    // the whole surface
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "(" << c.x1 << ", " << c.y1 << ")-(" << c.x2 << ", " << c.y2 << ")");
        SDL_Surface* s = make_canvas(33, 20, map_colour(1));
        draw_rect(s, c.x1, c.y1, c.x2, c.y2, ink);
        EXPECT_EQ(pixels_equal_to(s, ink), border(c.x1, c.y1, c.x2, c.y2));
        SDL_FreeSurface(s);
    }
    SDL_Surface* s = make_canvas(33, 20, map_colour(1));
    draw_rect(s, 10, 10, 12, 12, ink);
    EXPECT_EQ(raw16(s, 11, 11), map_colour(1));
    EXPECT_EQ(pixels_equal_to(s, ink).size(), 8u);
    SDL_FreeSurface(s);
}

// ---- blits ----
TEST(Blit, CopiesTheBlockAndSkipsKeyedPixels)
{
    SDL_Surface* source = make_canvas(8, 8, 0);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            put_pixel(source, x, y, (x + y) % 3 == 0 ? colour_key : static_cast<Uint32>(0x100 + x * 8 + y));
    SDL_SetColorKey(source, SDL_SRCCOLORKEY, colour_key);
    const Uint32 back = map_colour(2);
    SDL_Surface* dest = make_canvas(40, 30, back);
    blit(source, dest, 2, 3, 10, 12, 4, 3);
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++) {
            Uint32 want = back;
            if (x >= 10 && x < 14 && y >= 12 && y < 15) {
                int sx = x - 10 + 2, sy = y - 12 + 3;
                if ((sx + sy) % 3 != 0)
                    want = 0x100 + sx * 8 + sy;
            }
            ASSERT_EQ(raw16(dest, x, y), want) << "(" << x << ", " << y << ")";
        }
    SDL_FreeSurface(source);
    SDL_FreeSurface(dest);
}

TEST(Blit, IsCutOffAtTheDestinationEdges)
{
    SDL_Surface* source = make_canvas(8, 8, map_colour(3));
    SDL_Surface* dest = make_canvas(33, 20, 0);
    blit(source, dest, 0, 0, 30, 17, 8, 8);
    blit(source, dest, 0, 0, -6, -7, 8, 8);
    PixelSet want = box(30, 17, 32, 19);
    for (const auto& p : box(0, 0, 1, 0))
        want.insert(p);
    EXPECT_EQ(pixels_equal_to(dest, map_colour(3)), want);
    SDL_FreeSurface(source);
    SDL_FreeSurface(dest);
}

// blit copies 16-bit tiles itself instead of calling SDL; whatever the rectangle, the key, the
// fading or the clip rectangle, the result must be SDL's own, pixel for pixel.
TEST(Blit, GivesExactlyWhatSdlsBlitterGives)
{
    SDL_Surface* source = make_canvas(40, 24, 0);
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 40; x++)
            put_pixel(source, x, y, (x * 7 + y * 3) % 5 == 0 ? colour_key : static_cast<Uint32>(x * 977 + y * 131));
    std::srand(12345);
    for (int round = 0; round < 400; round++) {
        bool keyed = round % 2 == 0;
        SDL_SetColorKey(source, keyed ? SDL_SRCCOLORKEY : 0, colour_key);
        // Every third round fades the source as the board fades spent units (and at other alphas).
        int alpha = round % 3 == 2 ? (round % 4 < 2 ? 96 : std::rand() % 256) : 255;
        SDL_SetAlpha(source, SDL_SRCALPHA, static_cast<Uint8>(alpha));
        SDL_Surface* ours = make_canvas(50, 30, map_colour(1));
        SDL_Surface* theirs = make_canvas(50, 30, map_colour(1));
        if (round % 4 >= 2) {
            SDL_Rect clip = {static_cast<Sint16>(std::rand() % 20), static_cast<Sint16>(std::rand() % 12), 25, 14};
            SDL_SetClipRect(ours, &clip);
            SDL_SetClipRect(theirs, &clip);
        }
        int sx = std::rand() % 60 - 10, sy = std::rand() % 40 - 10;
        int dx = std::rand() % 70 - 15, dy = std::rand() % 50 - 15;
        int w = std::rand() % 30, h = std::rand() % 30;
        if (round % 5 == 0)  // the board's own case: a whole 16 x 16 tile
            w = h = 16;
        blit(source, ours, sx, sy, dx, dy, w, h);
        SDL_Rect from = {static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w), static_cast<Uint16>(h)};
        SDL_Rect to = {static_cast<Sint16>(dx), static_cast<Sint16>(dy), 0, 0};
        SDL_BlitSurface(source, &from, theirs, &to);
        for (int y = 0; y < 30; y++)
            for (int x = 0; x < 50; x++)
                ASSERT_EQ(raw16(ours, x, y), raw16(theirs, x, y))
                    << "round " << round << " at (" << x << ", " << y << ") blitting " << w << "x" << h
                    << " from (" << sx << ", " << sy << ") to (" << dx << ", " << dy << ") alpha " << alpha;
        SDL_FreeSurface(ours);
        SDL_FreeSurface(theirs);
    }
    SDL_FreeSurface(source);
}

// The faded blend over every pair of channel values, against SDL, at the board's alpha.
TEST(Blit, FadedTilesBlendEveryColourPairAsSdlDoes)
{
    SDL_Surface* source = make_canvas(64, 64, 0);
    SDL_Surface* ours = make_canvas(64, 64, 0);
    SDL_Surface* theirs = make_canvas(64, 64, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            // Red and blue run against each other in the opposite direction to green.
            put_pixel(source, x, y, ((x & 31) << 11) | (((x * 5 + 7) & 63) << 5) | (31 - (x & 31)));
            Uint32 under = ((y & 31) << 11) | (((y * 3 + 1) & 63) << 5) | ((y * 7) & 31);
            put_pixel(ours, x, y, under);
            put_pixel(theirs, x, y, under);
        }
    SDL_SetColorKey(source, SDL_SRCCOLORKEY, colour_key);
    SDL_SetAlpha(source, SDL_SRCALPHA, 96);
    blit(source, ours, 0, 0, 0, 0, 64, 64);
    SDL_Rect to = {0, 0, 0, 0};
    SDL_BlitSurface(source, nullptr, theirs, &to);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            ASSERT_EQ(raw16(ours, x, y), raw16(theirs, x, y)) << "(" << x << ", " << y << ")";
    SDL_FreeSurface(source);
    SDL_FreeSurface(ours);
    SDL_FreeSurface(theirs);
}

// ---- text ----
TEST(Text, WithoutABackgroundOnlyTheGlyphPixelsChange)
{
    const char* text = "Hi there";
    const int w = text_width(text), h = text_height(text);
    ASSERT_GT(w, 0);
    const Uint32 back = map_colour(1);
    SDL_Surface* s = make_canvas(320, 240, back);
    draw_text(s, text, 20, 30, map_colour(3), -1);
    PixelSet changed = pixels_not_equal_to(s, back);
    EXPECT_FALSE(changed.empty());
    EXPECT_EQ(pixels_equal_to(s, map_colour(3)), changed) << "every changed pixel is the text colour";
    PixelSet area = box(20, 30, 20 + w - 1, 30 + h - 1);
    for (const auto& p : changed)
        EXPECT_TRUE(area.count(p)) << "(" << p.first << ", " << p.second << ") outside the text";
    SDL_FreeSurface(s);
}

TEST(Text, WithABackgroundTheWholeTextRectangleIsFilledAroundTheGlyphs)
{
    const char* text = "Hi there";
    const int w = text_width(text), h = text_height(text);
    const Uint32 back = map_colour(5);
    // The glyphs alone, drawn without a background, to compare with.
    SDL_Surface* plain = make_canvas(320, 240, back);
    draw_text(plain, text, 20, 30, map_colour(1), -1);
    PixelSet glyphs = pixels_equal_to(plain, map_colour(1));
    ASSERT_FALSE(glyphs.empty());

    SDL_Surface* s = make_canvas(320, 240, back);
    draw_text(s, text, 20, 30, map_colour(1), 3);
    EXPECT_EQ(pixels_equal_to(s, map_colour(1)), glyphs);
    PixelSet white = pixels_equal_to(s, map_colour(3));
    PixelSet area = box(20, 30, 20 + w - 1, 30 + h - 1);
    EXPECT_EQ(white.size() + glyphs.size(), area.size());
    for (const auto& p : white)
        EXPECT_TRUE(area.count(p)) << "(" << p.first << ", " << p.second << ") outside the text";
    EXPECT_EQ(pixels_equal_to(s, back).size(), 320u * 240u - area.size());
    SDL_FreeSurface(plain);
    SDL_FreeSurface(s);
}

TEST(Text, BlackTextOnItsOwnWhiteBackground)
{
    // The credits draw black (pixel value 0) on white: black must not vanish as if transparent.
    const char* text = "Press (A)";
    SDL_Surface* s = make_canvas(320, 240, map_colour(1));
    draw_text(s, text, 40, 50, 0, 3);
    PixelSet area = box(40, 50, 40 + text_width(text) - 1, 50 + text_height(text) - 1);
    PixelSet black = pixels_equal_to(s, 0);
    PixelSet white = pixels_equal_to(s, map_colour(3));
    EXPECT_FALSE(black.empty());
    EXPECT_FALSE(white.empty());
    EXPECT_EQ(black.size() + white.size(), area.size());
    SDL_FreeSurface(s);
}

TEST(Text, CentringMovesTheLeftEdgeByHalfTheWidthRoundedDown)
{
    // Texts of an odd width show the rounding; the first one found is used.
    const char* candidates[] = {"Turn 1", "Dark Knight", "Light Mage", "The enemy was killed!",
                                "Plain", "Grasslands", "Forest", "Rock", "Neutral Castle", "A", "ab", "abc"};
    const char* text = nullptr;
    for (const char* c : candidates)
        if (text_width(c) % 2 == 1) {
            text = c;
            break;
        }
    ASSERT_NE(text, nullptr) << "no text of odd width among the candidates";
    const int w = text_width(text), h = text_height(text);
    const Uint32 back = map_colour(5);

    SDL_Surface* centred = make_canvas(320, 240, back);
    draw_text_centred(centred, text, 160, 70, 0, 3);
    PixelSet covered = pixels_not_equal_to(centred, back);
    EXPECT_EQ(covered, box(160 - w / 2, 70, 160 - w / 2 + w - 1, 70 + h - 1))
        << "width " << w << ": left edge should be " << 160 - w / 2 << ", top 70";

    SDL_Surface* left = make_canvas(320, 240, back);
    draw_text(left, text, 160 - w / 2, 70, 0, 3);
    EXPECT_TRUE(same_pixels(centred, left));

    // The formatting variant draws exactly what the centred text of its result draws.
    SDL_Surface* printed = make_canvas(320, 240, back);
    SDL_Surface* literal = make_canvas(320, 240, back);
    print_text_centred(printed, 100, 200, map_colour(3), -1, "Turn %d of %s", 12, "the Dark");
    draw_text_centred(literal, "Turn 12 of the Dark", 100, 200, map_colour(3), -1);
    EXPECT_FALSE(pixels_not_equal_to(printed, back).empty());
    EXPECT_TRUE(same_pixels(printed, literal));

    SDL_FreeSurface(centred);
    SDL_FreeSurface(left);
    SDL_FreeSurface(printed);
    SDL_FreeSurface(literal);
}

TEST(Text, AnEmptyTextDrawsNothingAndRendersNothing)
{
    const Uint32 back = map_colour(2);
    SDL_Surface* s = make_canvas(64, 32, back);
    const std::vector<Uint8> before = bytes_of(s);
    // The font renderer complains about a zero-width text; the error text shows whether it ran.
    SDL_SetError("untouched");
    draw_text(s, "", 3, 4, map_colour(3), 3);
    draw_text_centred(s, "", 30, 4, map_colour(3), 3);
    draw_text(s, nullptr, 3, 4, map_colour(3), 3);
    draw_text_centred(s, nullptr, 30, 4, map_colour(3), 3);
    print_text_centred(s, 30, 4, map_colour(3), 3, "%s", "");
    EXPECT_STREQ(SDL_GetError(), "untouched");
    EXPECT_EQ(bytes_of(s), before);
    SDL_FreeSurface(s);
}

TEST(Text, TextPastTheEdgeIsCutOff)
{
    const char* text = "Edge";
    const Uint32 back = map_colour(1);
    SDL_Surface* s = make_canvas(33, 20, back);
    draw_text(s, text, 30, 15, map_colour(3), 3);
    draw_text_centred(s, text, 0, -5, map_colour(3), 3);
    for (const auto& p : pixels_not_equal_to(s, back)) {
        bool near_right = p.first >= 30 && p.second >= 15;
        bool near_left = p.first < text_width(text) - text_width(text) / 2 && p.second < text_height(text) - 5;
        EXPECT_TRUE(near_right || near_left) << "(" << p.first << ", " << p.second << ")";
    }
    SDL_FreeSurface(s);
}

TEST(FlipScreen, PresentsTheScreenOnce)
{
    int before = flip_count();
    flip_screen();
    EXPECT_EQ(flip_count(), before + 1);
}

TEST(SmallIntegers, LargerOfTwoAndAbsoluteValue)
{
    EXPECT_EQ(int_max(3, 7), 7);
    EXPECT_EQ(int_max(7, 3), 7);
    EXPECT_EQ(int_max(-4, -9), -4);
    EXPECT_EQ(int_max(5, 5), 5);
    EXPECT_EQ(int_abs(-19), 19);
    EXPECT_EQ(int_abs(19), 19);
    EXPECT_EQ(int_abs(0), 0);
}
