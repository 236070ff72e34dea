// canvas.cpp -- drawing primitives and file writers for the picture generator.
#include "assets/pictures/canvas.h"

#include <SDL.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>

bool same_565_as_key(rgb c)
{
    return (c.r >> 3) == (key_colour.r >> 3) && (c.g >> 2) == (key_colour.g >> 2) &&
           (c.b >> 3) == (key_colour.b >> 3);
}

canvas make_canvas(int w, int h, rgb fill)
{
    canvas c;
    c.w = w;
    c.h = h;
    c.px.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
    return c;
}

bool inside(const canvas& c, int x, int y) { return x >= 0 && y >= 0 && x < c.w && y < c.h; }

rgb get(const canvas& c, int x, int y)
{
    if (!inside(c, x, y)) {
        std::fprintf(stderr, "gen_pictures: read outside canvas at %d,%d\n", x, y);
        std::abort();
    }
    return c.px[static_cast<size_t>(y) * c.w + x];
}

void put(canvas& c, int x, int y, rgb colour)
{
    if (inside(c, x, y))
        c.px[static_cast<size_t>(y) * c.w + x] = colour;
}

void fill_rect(canvas& c, int x, int y, int w, int h, rgb colour)
{
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            put(c, xx, yy, colour);
}

void blit(canvas& dst, const canvas& src, int dx, int dy)
{
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            rgb p = get(src, x, y);
            if (p != key_colour)
                put(dst, dx + x, dy + y, p);
        }
}

void draw_grid(canvas& c, int x0, int y0, const std::vector<std::string>& rows,
               const legend& colours, bool mirrored)
{
    for (size_t y = 0; y < rows.size(); ++y) {
        const std::string& row = rows[y];
        for (size_t x = 0; x < row.size(); ++x) {
            char ch = row[x];
            if (ch == '.')
                continue;
            const ink* found = nullptr;
            for (const ink& i : colours)
                if (i.ch == ch)
                    found = &i;
            if (!found) {
                std::fprintf(stderr, "gen_pictures: grid character '%c' has no colour\n", ch);
                std::abort();
            }
            int px = mirrored ? x0 + static_cast<int>(row.size()) - 1 - static_cast<int>(x)
                              : x0 + static_cast<int>(x);
            put(c, px, y0 + static_cast<int>(y), found->colour);
        }
    }
}

void outline_box(canvas& c, int x, int y, int w, int h, rgb outline)
{
    canvas before = c;
    auto solid = [&](int xx, int yy) {
        return xx >= x && yy >= y && xx < x + w && yy < y + h && inside(before, xx, yy) &&
               get(before, xx, yy) != key_colour;
    };
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            if (!solid(xx, yy) && (solid(xx - 1, yy) || solid(xx + 1, yy) || solid(xx, yy - 1) ||
                                   solid(xx, yy + 1)))
                put(c, xx, yy, outline);
}

rgb mix(rgb a, rgb b, int num, int den)
{
    auto ch = [&](int p, int q) {
        int v = p * den + (q - p) * num;
        return static_cast<std::uint8_t>((v + (v >= 0 ? den / 2 : -den / 2)) / den);
    };
    return {ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b)};
}

namespace {

const int bayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// How the screen turns an n-bit level back into 8 bits.
int expand(int level, int bits)
{
    return bits == 5 ? (level << 3) | (level >> 2) : (level << 2) | (level >> 4);
}

std::uint8_t dither_channel(int v256, int bits, int threshold)
{
    int top = (1 << bits) - 1;
    if (v256 <= 0)
        return 0;
    if (v256 >= 255 * 256)
        return 255;
    int level = 0;
    while (level < top && expand(level + 1, bits) * 256 <= v256)
        ++level;
    if (level == top)
        return static_cast<std::uint8_t>(expand(level, bits));
    int low = expand(level, bits) * 256;
    int span = expand(level + 1, bits) * 256 - low;
    // Round up when the fraction beats this pixel's threshold (threshold + 0.5) / 16.
    bool up = static_cast<long long>(v256 - low) * 32 > static_cast<long long>(2 * threshold + 1) * span;
    return static_cast<std::uint8_t>(expand(level + (up ? 1 : 0), bits));
}

} // namespace

rgb dither_565(int r256, int g256, int b256, int x, int y)
{
    int t = bayer4[y & 3][x & 3];
    return {dither_channel(r256, 5, t), dither_channel(g256, 6, t), dither_channel(b256, 5, t)};
}

int noise(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<int>(h & 255u);
}

bool write_png(const std::string& path, const canvas& c)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "gen_pictures: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        std::fprintf(stderr, "gen_pictures: libpng failed on %s\n", path.c_str());
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(c.w), static_cast<png_uint_32>(c.h), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(c.w) * 3);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            rgb p = get(c, x, y);
            row[x * 3 + 0] = p.r;
            row[x * 3 + 1] = p.g;
            row[x * 3 + 2] = p.b;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool write_bmp(const std::string& path, const canvas& c)
{
    // 24-bit BGR, the layout SDL_SaveBMP writes as is.
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, c.w, c.h, 24, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
    if (!s) {
        std::fprintf(stderr, "gen_pictures: %s\n", SDL_GetError());
        return false;
    }
    SDL_LockSurface(s);
    for (int y = 0; y < c.h; ++y) {
        std::uint8_t* row = static_cast<std::uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < c.w; ++x) {
            rgb p = get(c, x, y);
            row[x * 3 + 0] = p.b;
            row[x * 3 + 1] = p.g;
            row[x * 3 + 2] = p.r;
        }
        // Row padding is written too: keep it zero so files never differ.
        for (int x = c.w * 3; x < s->pitch; ++x)
            row[x] = 0;
    }
    SDL_UnlockSurface(s);
    bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
    if (!ok)
        std::fprintf(stderr, "gen_pictures: cannot write %s: %s\n", path.c_str(), SDL_GetError());
    SDL_FreeSurface(s);
    return ok;
}
