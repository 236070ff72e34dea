// canvas.h -- a plain RGB drawing surface and the few primitives the picture generator paints with,
// plus the PNG/BMP writers. Everything is integer maths so every run paints the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct rgb {
    std::uint8_t r, g, b;
};

inline bool operator==(rgb a, rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(rgb a, rgb b) { return !(a == b); }

// Pixels of exactly this colour are transparent in keyed pictures.
const rgb key_colour = {174, 105, 174};

// The game converts pictures to RGB565 before keying, so any colour landing in the key's 565 cell
// would vanish too.
bool same_565_as_key(rgb c);

struct canvas {
    int w = 0;
    int h = 0;
    std::vector<rgb> px;
};

canvas make_canvas(int w, int h, rgb fill);
bool inside(const canvas& c, int x, int y);
rgb get(const canvas& c, int x, int y);
void put(canvas& c, int x, int y, rgb colour); // silently clipped
void fill_rect(canvas& c, int x, int y, int w, int h, rgb colour);
void blit(canvas& dst, const canvas& src, int dx, int dy); // key-coloured source pixels skipped

// One legend entry of a text-grid picture: character -> colour. '.' always means "leave alone".
struct ink {
    char ch;
    rgb colour;
};
using legend = std::vector<ink>;

// Paints a text grid (one string per row, one character per pixel) at (x0, y0). Unknown
// characters abort the generator so a typo in a grid never slips through as a stray pixel.
void draw_grid(canvas& c, int x0, int y0, const std::vector<std::string>& rows,
               const legend& colours, bool mirrored = false);

// Gives every key-coloured pixel inside the box that touches (4-neighbour) a non-key pixel of the
// box the outline colour: sprites drawn on key then stand out over any terrain.
void outline_box(canvas& c, int x, int y, int w, int h, rgb outline);

// a + (b - a) * num / den, per channel, rounded.
rgb mix(rgb a, rgb b, int num, int den);

// Ordered (4x4 Bayer) dithering onto the RGB565 grid: smooth gradients stay smooth on the 16-bit
// screen instead of banding. Channels are in 1/256 steps (0..255*256).
rgb dither_565(int r256, int g256, int b256, int x, int y);

// A stable pseudo-random value 0..255 for (x, y, seed): textures without a random generator.
int noise(int x, int y, int seed);

// File writers. Both return false with a message on stderr on failure.
bool write_png(const std::string& path, const canvas& c);
bool write_bmp(const std::string& path, const canvas& c);
