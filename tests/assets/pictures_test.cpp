// Checks the generated pictures the way the game meets them: loaded with IMG_Load, converted to
// the 16-bit RGB565 screen format before keying, and read at their fixed layouts. Also checks
// that the generator writes the same bytes on every run.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

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

Uint32 raw_pixel(SDL_Surface* s, int x, int y)
{
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1: return *p;
    case 2: return *reinterpret_cast<const Uint16*>(p);
    case 3: return SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[2] | p[1] << 8 | p[0] << 16;
    default: return *reinterpret_cast<const Uint32*>(p);
    }
}

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

// The picture as the game shows it: converted to RGB565, then every pixel equal to the mapped key
// is transparent. Returns how many pixels vanish.
int transparent_on_screen(const char* name)
{
    SDL_Surface* s = IMG_Load(data_path(name).c_str());
    if (!s)
        return -1;
    SDL_PixelFormat f = {};
    f.BitsPerPixel = 16;
    f.BytesPerPixel = 2;
    f.Rmask = 0xf800, f.Gmask = 0x07e0, f.Bmask = 0x001f;
    f.Rshift = 11, f.Gshift = 5, f.Bshift = 0;
    f.Rloss = 3, f.Gloss = 2, f.Bloss = 3;
    f.alpha = 255;
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
