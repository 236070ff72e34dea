// Checks the menu icons: every pixel of an icon is the pixel of the tile it blows up (the unit
// over the plain, the colour key transparent), on a made-up sheet where every pixel differs, and
// the icons made from the game's own sheet are square, crisp and the same on every run.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "assets/surface_pixel.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

struct rgba {
    int r, g, b, a;
    bool operator==(const rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

std::ostream& operator<<(std::ostream& os, const rgba& p)
{
    return os << p.r << "," << p.g << "," << p.b << "," << p.a;
}

rgba pixel(SDL_Surface* s, int x, int y)
{
    Uint8 r, g, b, a;
    SDL_GetRGBA(raw_pixel(s, x, y), s->format, &r, &g, &b, &a);
    return {r, g, b, a};
}

std::string temp_dir()
{
    char name[] = "/tmp/umbra-icons-XXXXXX";
    return mkdtemp(name) ? name : "";
}

int run_generator(const std::string& args)
{
    std::string command = std::string(UMBRA_EMULATOR) + UMBRA_GENERATOR + " " + args + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string icon_path(const std::string& dir, int size)
{
    return dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/umbrafront.png";
}

std::string file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const rgba key = {174, 105, 174, 255};

// A sheet of four tile columns where every pixel has its own colour, with a few keyed pixels in
// the Dark Knight (tile 1, column 0 row 1) and one in the Plain (tile 8, column 2 row 0), under a
// keyed pixel of the knight: (8, 1) of both tiles.
SDL_Surface* made_up_sheet()
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 24, 0xff0000, 0xff00, 0xff, 0);
    SDL_LockSurface(s);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            Uint32 c = SDL_MapRGB(s->format, x * 4, y * 4, (x * 7 + y * 3) % 256);
            bool knight_key = x < 16 && y >= 16 && y < 32 && (x + y) % 5 == 0;
            bool plain_key = x == 40 && y == 1;
            if (knight_key || plain_key)
                c = SDL_MapRGB(s->format, key.r, key.g, key.b);
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<Uint8>(c >> (8 * i));
        }
    SDL_UnlockSurface(s);
    return s;
}

TEST(Icons, EveryPixelIsItsTilePixelUnitOverPlain)
{
    std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    SDL_Surface* sheet = made_up_sheet();
    ASSERT_EQ(SDL_SaveBMP(sheet, (dir + "/tiles.bmp").c_str()), 0);
    ASSERT_EQ(run_generator(dir + "/tiles.bmp " + dir + " 16 48"), 0);

    SDL_LockSurface(sheet);
    int transparent = 0;
    for (int size : {16, 48}) {
        SDL_Surface* icon = IMG_Load(icon_path(dir, size).c_str());
        ASSERT_NE(icon, nullptr) << size;
        ASSERT_EQ(icon->w, size);
        ASSERT_EQ(icon->h, size);
        int scale = size / 16;
        SDL_LockSurface(icon);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                rgba unit = pixel(sheet, x / scale, 16 + y / scale);
                rgba plain = pixel(sheet, 32 + x / scale, y / scale);
                rgba want = !(unit == key) ? unit : !(plain == key) ? plain : rgba{0, 0, 0, 0};
                rgba got = pixel(icon, x, y);
                if (want.a == 0) {
                    ++transparent;
                    ASSERT_EQ(got.a, 0) << size << " at " << x << "," << y;
                } else {
                    ASSERT_EQ(got, want) << size << " at " << x << "," << y;
                }
            }
        SDL_UnlockSurface(icon);
        SDL_FreeSurface(icon);
    }
    SDL_UnlockSurface(sheet);
    SDL_FreeSurface(sheet);
    // The one tile pixel keyed in both layers: once at 16 pixels, a 3 x 3 block at 48.
    EXPECT_EQ(transparent, 1 + 9);
    std::system(("rm -rf " + dir).c_str());
}

TEST(Icons, RefusesSizesThatAreNotWholeMultiplesAndMissingSheets)
{
    std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(run_generator(std::string(UMBRA_DATA_DIR) + "/tiles.bmp " + dir + " 16 24"), 2);
    EXPECT_EQ(run_generator(std::string(UMBRA_DATA_DIR) + "/tiles.bmp " + dir + " 8"), 2);
    EXPECT_EQ(run_generator(dir + "/no-such-sheet.bmp " + dir + " 16"), 1);
    std::system(("rm -rf " + dir).c_str());
}

TEST(Icons, GameSheetGivesCrispDeterministicIcons)
{
    std::string a = temp_dir(), b = temp_dir();
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    std::string sheet = std::string(UMBRA_DATA_DIR) + "/tiles.bmp";
    const int sizes[] = {16, 32, 48, 64, 128, 256};
    std::string list;
    for (int size : sizes)
        list += " " + std::to_string(size);
    ASSERT_EQ(run_generator(sheet + " " + a + list), 0);
    ASSERT_EQ(run_generator(sheet + " " + b + list), 0);

    SDL_Surface* small = IMG_Load(icon_path(a, 16).c_str());
    ASSERT_NE(small, nullptr);
    SDL_LockSurface(small);
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            opaque += pixel(small, x, y).a == 255;
    EXPECT_GT(opaque, 200) << "the knight on the plain should fill most of the icon";
    for (int size : sizes) {
        EXPECT_EQ(file_bytes(icon_path(a, size)), file_bytes(icon_path(b, size))) << size;
        SDL_Surface* icon = IMG_Load(icon_path(a, size).c_str());
        ASSERT_NE(icon, nullptr) << size;
        ASSERT_EQ(icon->w, size);
        ASSERT_EQ(icon->h, size);
        // Crisp: each pixel of the large icon is the pixel of the small one it stands for.
        SDL_LockSurface(icon);
        int scale = size / 16, wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                wrong += !(pixel(icon, x, y) == pixel(small, x / scale, y / scale));
        EXPECT_EQ(wrong, 0) << size;
        SDL_UnlockSurface(icon);
        SDL_FreeSurface(icon);
    }
    SDL_UnlockSurface(small);
    SDL_FreeSurface(small);
    std::system(("rm -rf " + a + " " + b).c_str());
}

} // namespace
