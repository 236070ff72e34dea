// gen_icons.cpp -- the menu icons: a Dark Knight standing on the plain, taken from the game's own
// tiles sheet and blown up by whole factors with nearest-neighbour sampling, so every tile pixel
// stays a crisp square. Writes <out>/<n>x<n>/apps/umbrafront.png for each size n given, each a
// whole multiple of the tile size.
#include <SDL.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "assets/surface_pixel.h"

namespace {

const int tile = 16;
const int unit_tile = 1;     // Dark Knight
const int ground_tile = 8;   // Plain
const Uint8 key_r = 174, key_g = 105, key_b = 174;

struct rgba {
    Uint8 r, g, b, a;
};

// Pixel (x, y) of tile n; the colour key becomes fully transparent. Tiles sit in columns of four.
rgba tile_pixel(SDL_Surface* sheet, int n, int x, int y)
{
    Uint8 r, g, b;
    SDL_GetRGB(raw_pixel(sheet, tile * (n / 4) + x, tile * (n % 4) + y), sheet->format, &r, &g, &b);
    if (r == key_r && g == key_g && b == key_b)
        return {0, 0, 0, 0};
    return {r, g, b, 255};
}

bool make_dirs(const std::string& path)
{
    for (size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            struct stat st;
            if (stat(part.c_str(), &st) != 0 && mkdir(part.c_str(), 0755) != 0)
                return false;
        }
    return true;
}

bool write_png(const std::string& path, const std::vector<rgba>& px, int size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(&px[static_cast<size_t>(y) * size]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: gen_icons <tiles.bmp> <output-dir> <size>...\n");
        return 2;
    }
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) {
        int size = std::atoi(argv[i]);
        if (size < tile || size % tile != 0) {
            std::fprintf(stderr, "gen_icons: size %s is not a whole multiple of %d\n", argv[i], tile);
            return 2;
        }
        sizes.push_back(size);
    }
    SDL_Surface* sheet = SDL_LoadBMP(argv[1]);
    if (!sheet) {
        std::fprintf(stderr, "gen_icons: cannot read %s: %s\n", argv[1], SDL_GetError());
        return 1;
    }
    if (sheet->w < tile * (ground_tile / 4 + 1) || sheet->h < 4 * tile) {
        std::fprintf(stderr, "gen_icons: %s is too small for the tiles sheet\n", argv[1]);
        SDL_FreeSurface(sheet);
        return 1;
    }
    SDL_LockSurface(sheet);
    rgba art[tile * tile];
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            rgba p = tile_pixel(sheet, unit_tile, x, y);
            art[y * tile + x] = p.a ? p : tile_pixel(sheet, ground_tile, x, y);
        }
    SDL_UnlockSurface(sheet);
    SDL_FreeSurface(sheet);

    for (int size : sizes) {
        int scale = size / tile;
        std::vector<rgba> px(static_cast<size_t>(size) * size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                px[static_cast<size_t>(y) * size + x] = art[(y / scale) * tile + x / scale];
        std::string dir = std::string(argv[2]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!make_dirs(dir) || !write_png(dir + "/umbrafront.png", px, size)) {
            std::fprintf(stderr, "gen_icons: cannot write %s/umbrafront.png\n", dir.c_str());
            return 1;
        }
    }
    return 0;
}
