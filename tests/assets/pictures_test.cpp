// Checks the generated pictures the way the game meets them: loaded with IMG_Load, converted to
// the 16-bit RGB565 screen format before keying, and read at their fixed layouts. Also checks
// that the generator writes the same bytes on every run.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "assets/surface_pixel.h"

#include "assets/font/glyphs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct colour {
    int r, g, b;
    bool operator==(const colour& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const colour& o) const { return !(*this == o); }
    bool operator<(const colour& o) const { return r != o.r ? r < o.r : g != o.g ? g < o.g : b < o.b; }
};

const colour key = {174, 105, 174};

struct image {
    int w = 0, h = 0;
    std::vector<colour> px;
    colour at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

image from_surface(SDL_Surface* s)
{
    image img;
    img.w = s->w;
    img.h = s->h;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(raw_pixel(s, x, y), s->format, &r, &g, &b);
            img.px.push_back({r, g, b});
        }
    SDL_UnlockSurface(s);
    return img;
}

std::string data_path(const char* name) { return std::string(UMBRA_DATA_DIR) + "/" + name; }

image load(const char* name)
{
    SDL_Surface* s = IMG_Load(data_path(name).c_str());
    EXPECT_NE(s, nullptr) << name << ": " << IMG_GetError();
    if (!s)
        return {};
    image img = from_surface(s);
    SDL_FreeSurface(s);
    return img;
}

// The game's screen format: pictures are converted to it before they are keyed.
SDL_PixelFormat rgb565()
{
    SDL_PixelFormat f = {};
    f.BitsPerPixel = 16;
    f.BytesPerPixel = 2;
    f.Rmask = 0xf800, f.Gmask = 0x07e0, f.Bmask = 0x001f;
    f.Rshift = 11, f.Gshift = 5, f.Bshift = 0;
    f.Rloss = 3, f.Gloss = 2, f.Bloss = 3;
    f.alpha = 255;
    return f;
}

// The picture as the game shows it: converted to RGB565, then every pixel equal to the mapped key
// is transparent. Returns how many pixels vanish.
int transparent_on_screen(const char* name)
{
    SDL_Surface* s = IMG_Load(data_path(name).c_str());
    if (!s)
        return -1;
    SDL_PixelFormat f = rgb565();
    SDL_Surface* screen = SDL_ConvertSurface(s, &f, SDL_SWSURFACE);
    SDL_FreeSurface(s);
    if (!screen)
        return -1;
    Uint32 mapped = SDL_MapRGB(screen->format, key.r, key.g, key.b);
    int count = 0;
    SDL_LockSurface(screen);
    for (int y = 0; y < screen->h; ++y)
        for (int x = 0; x < screen->w; ++x)
            count += raw_pixel(screen, x, y) == mapped;
    SDL_UnlockSurface(screen);
    SDL_FreeSurface(screen);
    return count;
}

struct box_stats {
    int key = 0, white = 0, total = 0;
    double luminance = 0; // mean over non-key pixels
    int red = 0;          // strongly red pixels
};

box_stats stats(const image& img, int x0, int y0, int w, int h)
{
    box_stats s;
    double sum = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            colour c = img.at(x, y);
            ++s.total;
            if (c == key) {
                ++s.key;
                continue;
            }
            s.white += c.r == 255 && c.g == 255 && c.b == 255;
            s.red += c.r > 180 && c.g < 90 && c.b < 90;
            sum += 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        }
    s.luminance = s.total > s.key ? sum / (s.total - s.key) : 0;
    return s;
}

int differing_pixels(const image& img, int ax, int ay, int bx, int by, int w, int h)
{
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            n += img.at(ax + x, ay + y) != img.at(bx + x, by + y);
    return n;
}

int tile_x(int n) { return 16 * (n / 4); }
int tile_y(int n) { return 16 * (n % 4); }

struct expected_picture {
    const char* name;
    int w, h;
    bool keyed;
};
const expected_picture all_pictures[] = {
    {"tiles.bmp", 286, 64, true},       {"title.png", 320, 240, false}, {"title_text.png", 160, 72, true},
    {"options.png", 160, 120, true},    {"balance.png", 176, 22, false}, {"balancebg.png", 630, 22, false},
    {"cursor.png", 18, 18, true},       {"cmove.png", 18, 18, true},
};

} // namespace

TEST(pictures, load_with_their_sizes)
{
    for (const expected_picture& p : all_pictures) {
        image img = load(p.name);
        EXPECT_EQ(img.w, p.w) << p.name;
        EXPECT_EQ(img.h, p.h) << p.name;
    }
}

TEST(pictures, keyed_ones_lose_only_the_key_colour_on_a_16_bit_screen)
{
    for (const expected_picture& p : all_pictures) {
        if (!p.keyed)
            continue;
        image img = load(p.name);
        box_stats s = stats(img, 0, 0, img.w, img.h);
        EXPECT_GT(s.key, 0) << p.name << " has no transparent pixels";
        EXPECT_LT(s.key, s.total) << p.name << " is entirely transparent";
        EXPECT_EQ(transparent_on_screen(p.name), s.key) << p.name << ": other colours key out in RGB565";
    }
}

TEST(pictures, opaque_ones_are_painted_all_over)
{
    // They are painted on the key colour, so a leftover key pixel is a spot the painting missed.
    for (const expected_picture& p : all_pictures) {
        if (p.keyed)
            continue;
        image img = load(p.name);
        std::set<colour> colours(img.px.begin(), img.px.end());
        EXPECT_EQ(stats(img, 0, 0, img.w, img.h).key, 0) << p.name;
        EXPECT_GT(colours.size(), 12u) << p.name << " is nearly flat";
    }
}

TEST(tiles, units_stand_on_key_and_the_sides_differ)
{
    image img = load("tiles.bmp");
    ASSERT_EQ(img.w, 286);
    for (int n = 0; n < 8; ++n) {
        box_stats s = stats(img, tile_x(n), tile_y(n), 16, 16);
        EXPECT_GT(s.key, 40) << "unit tile " << n << " has little background";
        EXPECT_GT(s.total - s.key, 60) << "unit tile " << n << " has little figure";
    }
    for (int unit = 0; unit < 4; ++unit) {
        box_stats dark = stats(img, tile_x(unit), tile_y(unit), 16, 16);
        box_stats light = stats(img, tile_x(unit + 4), tile_y(unit + 4), 16, 16);
        EXPECT_GT(light.luminance, dark.luminance + 30) << "unit " << unit << ": the Light is not lighter";
    }
    // Classes differ in shape, not just colour.
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_GT(differing_pixels(img, tile_x(a), tile_y(a), tile_x(b), tile_y(b), 16, 16), 60)
                << "units " << a << " and " << b;
}

TEST(tiles, terrain_is_opaque_distinct_and_repeats_without_seams)
{
    image img = load("tiles.bmp");
    ASSERT_EQ(img.w, 286);
    const int terrain[] = {8, 9, 10, 12, 13, 14, 15};
    for (int n : terrain) {
        EXPECT_EQ(stats(img, tile_x(n), tile_y(n), 16, 16).key, 0) << "terrain tile " << n;
        // Where a tile meets its own copy, neighbouring pixels should differ no more than
        // neighbouring pixels inside the tile do; a border or gradient would show as a grid.
        auto step = [&](colour a, colour b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); };
        double inner = 0, seam = 0;
        for (int i = 0; i < 16; ++i) {
            for (int j = 0; j < 15; ++j) {
                inner += step(img.at(tile_x(n) + j, tile_y(n) + i), img.at(tile_x(n) + j + 1, tile_y(n) + i));
                inner += step(img.at(tile_x(n) + i, tile_y(n) + j), img.at(tile_x(n) + i, tile_y(n) + j + 1));
            }
            seam += step(img.at(tile_x(n) + 15, tile_y(n) + i), img.at(tile_x(n), tile_y(n) + i));
            seam += step(img.at(tile_x(n) + i, tile_y(n) + 15), img.at(tile_x(n) + i, tile_y(n)));
        }
        EXPECT_LE(seam / 32, 1.5 * inner / (2 * 16 * 15) + 4) << "terrain tile " << n << " shows a seam";
    }
    // Home castles in their side's colours around the grey neutral one: the Dark's darkest.
    double dark_castle = stats(img, tile_x(14), tile_y(14), 16, 13).luminance;
    double neutral = stats(img, tile_x(13), tile_y(13), 16, 13).luminance;
    double light_castle = stats(img, tile_x(15), tile_y(15), 16, 13).luminance;
    EXPECT_LT(dark_castle + 30, neutral);
    EXPECT_LT(neutral + 30, light_castle);
    for (int a : terrain)
        for (int b : terrain)
            if (a < b) {
                EXPECT_GT(differing_pixels(img, tile_x(a), tile_y(a), tile_x(b), tile_y(b), 16, 16), 64)
                    << "terrain tiles " << a << " and " << b << " look alike";
            }
}

TEST(tiles, strike_marker_logo_and_the_rest_of_the_sheet)
{
    image img = load("tiles.bmp");
    ASSERT_EQ(img.w, 286);
    box_stats marker = stats(img, tile_x(11), tile_y(11), 16, 16);
    EXPECT_GT(marker.key, marker.total / 2) << "the strike marker hides the unit under it";
    EXPECT_GT(marker.red, 10);
    EXPECT_GT(marker.white, 5);

    box_stats logo = stats(img, 81, 0, 205, 64);
    EXPECT_LT(logo.key, logo.total);
    EXPECT_LT(logo.white, logo.total - logo.key);
    EXPECT_LT(logo.luminance, 200) << "the logo would fade into the credits' white page";
    // Between the tile columns and the logo there is nothing but key.
    EXPECT_EQ(stats(img, 64, 0, 17, 64).key, 17 * 64);
}

TEST(title, bottom_strip_is_light_and_the_lettering_is_there)
{
    image title = load("title.png");
    ASSERT_EQ(title.h, 240);
    EXPECT_GT(stats(title, 0, 205, 320, 35).luminance, 200);
    EXPECT_GT(stats(title, 0, 228, 320, 12).luminance, 200);
    // Black text must stand out everywhere along the strip, not just on average.
    for (int x = 0; x < 320; x += 8)
        EXPECT_GT(stats(title, x, 205, 8, 35).luminance, 180) << "column block at " << x;
    // The sky behind the lettering is dark enough for light lettering with a dark outline.
    EXPECT_LT(stats(title, 80, 0, 160, 72).luminance, 110);

    image text = load("title_text.png");
    ASSERT_EQ(text.w, 160);
    box_stats ink = stats(text, 0, 0, 160, 72);
    EXPECT_GT(ink.total - ink.key, 160 * 72 / 8);
    EXPECT_LT(ink.total - ink.key, 160 * 72 / 2);
    // Most of the lettering (its fill, not its outline and shadow) stands far brighter than the
    // sky it is blitted onto at (80, 0).
    auto lum = [](colour c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; };
    int bright = 0;
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 160; ++x)
            bright += text.at(x, y) != key && lum(text.at(x, y)) > lum(title.at(80 + x, y)) + 80;
    EXPECT_GT(bright, (ink.total - ink.key) / 3);
}

TEST(title, option_frames_each_carry_their_own_label)
{
    image img = load("options.png");
    ASSERT_EQ(img.h, 120);
    for (int i = 0; i < 6; ++i) {
        box_stats s = stats(img, 0, 20 * i, 160, 20);
        EXPECT_GT(s.key, 0) << "frame " << i;
        EXPECT_GT(s.total - s.key, 400) << "frame " << i;
        EXPECT_GT(s.luminance, 120) << "frame " << i << " is too dark for its dark label";
        // The label: dark ink in the middle of the banner.
        int ink = 0;
        for (int y = 20 * i + 3; y < 20 * i + 16; ++y)
            for (int x = 40; x < 120; ++x) {
                colour c = img.at(x, y);
                ink += c != key && 0.299 * c.r + 0.587 * c.g + 0.114 * c.b < 60;
            }
        EXPECT_GT(ink, 25) << "frame " << i << " has no readable label";
    }
    for (int a = 0; a < 6; ++a)
        for (int b = a + 1; b < 6; ++b)
            EXPECT_GT(differing_pixels(img, 0, 20 * a, 0, 20 * b, 160, 20), 20) << "frames " << a << " and " << b;
}

TEST(balance, gem_brightens_frame_by_frame_from_dark_to_light)
{
    image img = load("balance.png");
    ASSERT_EQ(img.w, 176);
    double previous = -1;
    for (int k = 0; k < 8; ++k) {
        double lum = stats(img, 22 * k + 3, 3, 16, 16).luminance;
        EXPECT_GT(lum, previous + 3) << "frame " << k;
        previous = lum;
    }
}

TEST(balance, sliding_window_shows_more_of_the_side_ahead)
{
    image img = load("balancebg.png");
    ASSERT_EQ(img.w, 630);
    auto window = [&](int c) { return stats(img, c, 0, 320, 22).luminance; };
    EXPECT_LT(window(12), window(161) - 20);
    EXPECT_LT(window(161), window(310) - 20);
    // Even: the left half of the window is the Dark's colour, the right half the Light's.
    EXPECT_LT(stats(img, 161, 0, 150, 22).luminance + 40, stats(img, 331, 0, 150, 22).luminance);
    // Every column is painted in both extremes' reach.
    EXPECT_EQ(stats(img, 0, 0, 630, 22).key, 0);
}

TEST(cursors, frame_the_cell_and_differ)
{
    image cursor = load("cursor.png"), move = load("cmove.png");
    ASSERT_EQ(cursor.w, 18);
    ASSERT_EQ(move.w, 18);
    for (const image* img : {&cursor, &move}) {
        box_stats inner = stats(*img, 4, 4, 10, 10);
        EXPECT_GT(inner.key, inner.total * 7 / 10) << "the unit under the cursor would be hidden";
        box_stats corner = stats(*img, 0, 0, 3, 3);
        EXPECT_GT(corner.total - corner.key, 4) << "no frame at the corner";
    }
    int differ = 0;
    for (int i = 0; i < 18 * 18; ++i)
        differ += cursor.px[i] != move.px[i];
    EXPECT_GT(differ, 60);
}

// ---- how the pictures read on the board ----
// These work on the 16-bit screen the way the game draws: pictures converted to RGB565, keyed,
// and the faded units blended by SDL itself at the alpha the board uses, so the figures hold for
// whichever SDL the suite runs on.

namespace {

const int faded_alpha = 96;
const colour target_fill = {86, 87, 194};  // enemies within range
const colour selection = {170, 170, 255};  // the selected unit's cell

SDL_Surface* cell_surface()
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 16, 0xf800, 0x07e0, 0x001f, 0);
}

// The tiles sheet as the game holds it: converted to the screen's format, then keyed.
SDL_Surface* screen_sheet()
{
    SDL_Surface* s = IMG_Load(data_path("tiles.bmp").c_str());
    if (!s)
        return nullptr;
    SDL_PixelFormat f = rgb565();
    SDL_Surface* sheet = SDL_ConvertSurface(s, &f, 0);
    SDL_FreeSurface(s);
    if (sheet)
        SDL_SetColorKey(sheet, SDL_SRCCOLORKEY, SDL_MapRGB(sheet->format, key.r, key.g, key.b));
    return sheet;
}

// A cell's ground: a terrain tile (n >= 8) or a flat fill.
SDL_Surface* ground(SDL_Surface* sheet, int n, colour fill)
{
    SDL_Surface* cell = cell_surface();
    SDL_FillRect(cell, nullptr, SDL_MapRGB(cell->format, fill.r, fill.g, fill.b));
    if (n >= 8) {
        SDL_SetAlpha(sheet, SDL_SRCALPHA, 255);
        SDL_Rect from = {static_cast<Sint16>(tile_x(n)), static_cast<Sint16>(tile_y(n)), 16, 16};
        SDL_BlitSurface(sheet, &from, cell, nullptr);
    }
    return cell;
}

// Unit tile `unit` blitted over a copy of `under` at `alpha`.
image unit_over(SDL_Surface* sheet, int unit, SDL_Surface* under, int alpha)
{
    SDL_Surface* cell = cell_surface();
    SDL_BlitSurface(under, nullptr, cell, nullptr);
    SDL_SetAlpha(sheet, SDL_SRCALPHA, static_cast<Uint8>(alpha));
    SDL_Rect from = {static_cast<Sint16>(tile_x(unit)), static_cast<Sint16>(tile_y(unit)), 16, 16};
    SDL_BlitSurface(sheet, &from, cell, nullptr);
    SDL_SetAlpha(sheet, SDL_SRCALPHA, 255);
    image img = from_surface(cell);
    SDL_FreeSurface(cell);
    return img;
}

double luma(colour c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

double distance(colour a, colour b)
{
    double r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
    return std::sqrt(r * r + g * g + bl * bl);
}

// A unit tile's figure: its non-key pixels in the sheet.
std::vector<bool> figure_of(const image& tiles, int unit)
{
    std::vector<bool> mask(256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            mask[y * 16 + x] = tiles.at(tile_x(unit) + x, tile_y(unit) + y) != key;
    return mask;
}

struct fade_figures {
    double contrast;  // mean |luma change| over the figure's pixels
    double visible;   // share of the figure's pixels that change luma by 24 or more
};

fade_figures faded_look(SDL_Surface* sheet, const image& tiles, int unit, int terrain, colour fill)
{
    SDL_Surface* under = ground(sheet, terrain, fill);
    image bare = from_surface(under);
    image faded = unit_over(sheet, unit, under, faded_alpha);
    SDL_FreeSurface(under);
    std::vector<bool> mask = figure_of(tiles, unit);
    fade_figures f = {0, 0};
    int n = 0;
    for (int i = 0; i < 256; ++i) {
        if (!mask[i])
            continue;
        double change = std::fabs(luma(faded.px[i]) - luma(bare.px[i]));
        f.contrast += change;
        f.visible += change >= 24;
        ++n;
    }
    if (n > 0) {
        f.contrast /= n;
        f.visible /= n;
    }
    return f;
}

struct ground_case {
    const char* name;
    int terrain;  // tile number, or 0 for a flat fill
    colour fill;
};
// Units stand on Plain and Grasslands, and the selected unit on the pale-blue square.
const ground_case unit_grounds[] = {
    {"Plain", 8, {0, 0, 0}}, {"Grasslands", 9, {0, 0, 0}}, {"selection", 0, selection}};
const ground_case other_grounds[] = {{"Forest", 10, {0, 0, 0}},       {"Rock", 12, {0, 0, 0}},
                                     {"Neutral Castle", 13, {0, 0, 0}}, {"Dark Castle", 14, {0, 0, 0}},
                                     {"Light Castle", 15, {0, 0, 0}}};

} // namespace

TEST(board_look, faded_units_keep_a_silhouette_on_every_ground)
{
    SDL_Surface* sheet = screen_sheet();
    ASSERT_NE(sheet, nullptr);
    image tiles = from_surface(sheet);
    auto check = [&](const ground_case& g, double min_contrast, double min_visible) {
        double worst_contrast = 1e9, worst_visible = 1e9;
        for (int unit = 0; unit < 8; ++unit) {
            fade_figures f = faded_look(sheet, tiles, unit, g.terrain, g.fill);
            worst_contrast = std::min(worst_contrast, f.contrast);
            worst_visible = std::min(worst_visible, f.visible);
            EXPECT_GE(f.contrast, min_contrast) << "unit " << unit << " faded on " << g.name;
            EXPECT_GE(f.visible, min_visible) << "unit " << unit << " faded on " << g.name;
        }
        std::printf("faded on %-15s worst unit: contrast %5.1f, visible share %4.2f\n", g.name,
                    worst_contrast, worst_visible);
    };
    for (const ground_case& g : unit_grounds)
        check(g, 20, 0.45);
    // Units never stand on these, but a finished unit should not vanish there either.
    for (const ground_case& g : other_grounds)
        check(g, 14, 0.25);
    SDL_FreeSurface(sheet);
}

namespace {

// Every colour a side's unit tiles are painted with.
std::vector<colour> unit_palette(const image& tiles, int side)
{
    std::set<colour> found;
    for (int unit = 4 * side; unit < 4 * side + 4; ++unit)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (tiles.at(tile_x(unit) + x, tile_y(unit) + y) != key)
                    found.insert(tiles.at(tile_x(unit) + x, tile_y(unit) + y));
    return {found.begin(), found.end()};
}

// Share of a tile's pixels lying within `radius` of some colour of `palette`.
double share_near(const image& tiles, int n, const std::vector<colour>& palette, double radius)
{
    int near = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            colour c = tiles.at(tile_x(n) + x, tile_y(n) + y);
            bool hit = false;
            for (colour p : palette)
                hit = hit || distance(c, p) < radius;
            near += hit;
        }
    return near / 256.0;
}

} // namespace

TEST(board_look, light_units_stand_out_on_the_target_fill_and_from_the_selection)
{
    SDL_Surface* sheet = screen_sheet();
    ASSERT_NE(sheet, nullptr);
    image tiles = from_surface(sheet);
    for (int unit = 4; unit < 8; ++unit) {
        std::vector<bool> mask = figure_of(tiles, unit);
        int n = 0, melt = 0, like_selection = 0;
        double contrast = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (!mask[y * 16 + x])
                    continue;
                colour c = tiles.at(tile_x(unit) + x, tile_y(unit) + y);
                ++n;
                melt += distance(c, target_fill) < 64;
                like_selection += distance(c, selection) < 64;
                contrast += std::fabs(luma(c) - luma(target_fill));
            }
        ASSERT_GT(n, 0);
        std::printf("Light unit %d: %4.1f%% of its pixels within 64 of the target fill, %4.1f%% within 64 "
                    "of the selection, mean luma contrast on the fill %5.1f\n",
                    unit, 100.0 * melt / n, 100.0 * like_selection / n, contrast / n);
        EXPECT_LT(melt, n / 20) << "Light unit " << unit << " melts into the target fill";
        EXPECT_LT(like_selection, n / 20) << "Light unit " << unit << " looks like the selection square";
        EXPECT_GT(contrast / n, 70) << "Light unit " << unit;
    }
    SDL_FreeSurface(sheet);
}

TEST(board_look, castles_are_not_painted_in_the_units_colours)
{
    SDL_Surface* sheet = screen_sheet();
    ASSERT_NE(sheet, nullptr);
    image tiles = from_surface(sheet);
    std::vector<colour> dark = unit_palette(tiles, 0), light = unit_palette(tiles, 1);
    std::vector<colour> both = dark;
    both.insert(both.end(), light.begin(), light.end());
    struct { int tile; const char* name; const std::vector<colour>* palette; } castles[] = {
        {13, "Neutral Castle", &both}, {14, "Dark Castle", &dark}, {15, "Light Castle", &light}};
    for (const auto& c : castles) {
        double share = share_near(tiles, c.tile, *c.palette, 32);
        std::printf("%-15s %4.1f%% of its pixels within 32 of a unit colour\n", c.name, 100 * share);
        EXPECT_LT(share, 0.10) << c.name << " would read like a unit";
    }
    SDL_FreeSurface(sheet);
}

TEST(board_look, castle_and_rock_tiles_have_no_plain_rim)
{
    image tiles = load("tiles.bmp");
    ASSERT_EQ(tiles.w, 286);
    std::vector<colour> plain;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            plain.push_back(tiles.at(tile_x(8) + x, tile_y(8) + y));
    double grass = stats(tiles, tile_x(9), tile_y(9), 16, 16).luminance;
    for (int n = 12; n <= 15; ++n) {
        int plain_coloured = 0, ring = 0;
        double ring_luma = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (x > 0 && x < 15 && y > 0 && y < 15)
                    continue;
                colour c = tiles.at(tile_x(n) + x, tile_y(n) + y);
                ++ring;
                ring_luma += luma(c);
                bool hit = false;
                for (colour p : plain)
                    hit = hit || distance(c, p) < 24;
                plain_coloured += hit;
            }
        std::printf("tile %d: %d of %d edge pixels Plain-coloured, edge luma %+5.1f against Grasslands\n", n,
                    plain_coloured, ring, ring_luma / ring - grass);
        EXPECT_EQ(plain_coloured, 0) << "tile " << n << " has a Plain rim";
        // A rock's edge is its ground: lighter than Grasslands all round would read as a halo there.
        // A castle's edge is the building itself.
        if (n == 12) {
            EXPECT_LT(ring_luma / ring, grass + 10) << "tile " << n;
        }
    }
}

TEST(board_look, move_cursor_is_not_green_on_grasslands)
{
    image grass_tiles = load("tiles.bmp");
    ASSERT_EQ(grass_tiles.w, 286);
    for (const char* name : {"cmove.png", "cursor.png"}) {
        image cursor = load(name);
        ASSERT_EQ(cursor.w, 18);
        int n = 0, green = 0;
        double dist = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) {
                colour c = cursor.at(x, y);
                if (c == key)
                    continue;
                // The cursor is drawn one pixel up and left of its cell, over Grasslands all round.
                colour under = grass_tiles.at(tile_x(9) + (x + 15) % 16, tile_y(9) + (y + 15) % 16);
                ++n;
                dist += distance(c, under);
                green += c.g > c.r + 24 && c.g > c.b + 24;
            }
        ASSERT_GT(n, 0);
        std::printf("%-10s over Grasslands: mean colour distance %5.1f, green pixels %4.1f%%\n", name, dist / n,
                    100.0 * green / n);
        EXPECT_GT(dist / n, 150) << name;
        EXPECT_EQ(green, 0) << name;
    }
}

namespace {

// Finds text set in the font at 1x as dark ink anywhere inside the frame: every glyph pixel dark
// and every other pixel of its box not. Returns the left edge or -1.
int find_label(const image& img, int frame, const char* text)
{
    int w = text_width(text);
    for (int y0 = 20 * frame; y0 + glyph_rows <= 20 * frame + 20; ++y0)
        for (int x0 = 0; x0 + w <= img.w; ++x0) {
            bool match = true;
            int pen = x0;
            for (const char* p = text; *p && match; ++p) {
                int ch = static_cast<unsigned char>(*p);
                for (int gy = 0; gy < glyph_rows && match; ++gy)
                    for (int gx = 0; gx < glyph_advance(ch) && match; ++gx) {
                        colour c = img.at(pen + gx, y0 + gy);
                        bool dark = c != key && luma(c) < 60;
                        match = dark == glyph_ink(ch, gx, gy);
                    }
                pen += glyph_advance(ch);
            }
            if (match)
                return x0;
        }
    return -1;
}

} // namespace

TEST(title, options_with_one_person_say_which_side_the_person_plays)
{
    image img = load("options.png");
    ASSERT_EQ(img.h, 120);
    struct { int frame; const char* you; const char* other; } cases[] = {{1, "You: Dark", "Light"}, {2, "You: Light", "Dark"}};
    for (const auto& c : cases) {
        int at = find_label(img, c.frame, c.you);
        std::printf("frame %d: \"%s\" %s\n", c.frame, c.you, at >= 0 ? "found" : "not found");
        EXPECT_GE(at, 12) << "frame " << c.frame << " does not say \"" << c.you << "\" clear of the arrows";
        EXPECT_LE(at + text_width(c.you), 148) << "frame " << c.frame;
        EXPECT_LT(find_label(img, c.frame, c.other), 0) << "frame " << c.frame << " names both sides";
        EXPECT_GE(find_label(img, c.frame, "CPU"), 12) << "frame " << c.frame;
    }
}

namespace {

std::vector<char> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fresh_dir()
{
    char pattern[] = "/tmp/umbra_pictures_XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "";
}

} // namespace

TEST(generator, writes_the_same_bytes_every_run)
{
    std::string a = fresh_dir(), b = fresh_dir();
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    ASSERT_EQ(std::system((std::string(UMBRA_EMULATOR) + UMBRA_GENERATOR + " " + a).c_str()), 0);
    ASSERT_EQ(std::system((std::string(UMBRA_EMULATOR) + UMBRA_GENERATOR + " " + b).c_str()), 0);
    for (const expected_picture& p : all_pictures) {
        std::vector<char> first = read_file(a + "/" + p.name);
        EXPECT_FALSE(first.empty()) << p.name;
        EXPECT_TRUE(first == read_file(b + "/" + p.name)) << p.name << " differs between runs";
        EXPECT_TRUE(first == read_file(data_path(p.name))) << p.name << " differs from Data/";
        std::remove((a + "/" + p.name).c_str());
        std::remove((b + "/" + p.name).c_str());
    }
    std::remove(a.c_str());
    std::remove(b.c_str());
}
