// terrain.cpp -- the terrain tiles and the strike marker. Ground textures depend only on the pixel's
// place in its tile, and features keep clear of the edges, so every tile repeats without seams.
#include "assets/pictures/pictures.h"

namespace {

void plain_ground(canvas& c)
{
    const rgb base = {150, 192, 88}, dark = {132, 174, 76}, light = {174, 210, 110};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int n = noise(x, y, 8);
            put(c, x, y, n < 34 ? dark : n > 232 ? light : base);
        }
    // A few pale flowers, the only thing that sets the plain apart from a flat colour.
    put(c, 4, 5, {236, 230, 150});
    put(c, 12, 11, {236, 230, 150});
    put(c, 9, 2, {240, 214, 200});
}

// Grass tufts: a dark stem fan with a bright tip.
void tuft(canvas& c, int x, int y, rgb stem, rgb tip)
{
    put(c, x, y, stem);
    put(c, x - 1, y - 1, stem);
    put(c, x + 1, y - 1, stem);
    put(c, x, y - 1, stem);
    put(c, x - 1, y - 2, tip);
    put(c, x + 1, y - 2, tip);
}

void grass_ground(canvas& c)
{
    const rgb base = {72, 154, 62}, dark = {62, 140, 54};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            put(c, x, y, noise(x, y, 9) < 60 ? dark : base);
    const int spots[][2] = {{3, 4}, {10, 3}, {13, 9}, {6, 10}, {2, 14}, {10, 14}};
    for (const auto& s : spots)
        tuft(c, s[0], s[1], {44, 112, 44}, {122, 196, 86});
}

void forest_ground(canvas& c)
{
    const rgb base = {50, 112, 50}, dark = {42, 98, 44};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            put(c, x, y, noise(x, y, 10) < 70 ? dark : base);
}

// F foliage, f foliage shade, l foliage light, k trunk.
const std::vector<std::string> tree = {
    "..lll..",
    ".lFFFf.",
    "lFFFFFf",
    "FlFFFff",
    "FFFFfff",
    ".fFfff.",
    "...k...",
};
const legend tree_colours = {
    {'F', {40, 136, 54}}, {'f', {26, 96, 42}}, {'l', {96, 184, 80}}, {'k', {96, 62, 36}},
};

// Scree: broken stone and grit all the way to the cell's edge, darker than either meadow, so a
// rock reads as a rough patch and shows no rim of another ground round it.
void scree_ground(canvas& c)
{
    const rgb base = {92, 90, 78}, dark = {70, 68, 60}, light = {120, 116, 102};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int n = noise(x, y, 12);
            put(c, x, y, n < 70 ? dark : n > 220 ? light : base);
        }
}

// R rock light, r rock mid, q rock dark, w snow or lichen highlight.
const std::vector<std::string> rock = {
    "......RR........",
    ".....RwRq.......",
    ".....RRrq.......",
    "....RRrrqq......",
    "...RRRrrqqq.....",
    "...RrRrrqqq..R..",
    "..RRrRRrqqqqRRq.",
    "..RrrRrrqqqqRrq.",
    ".RRrrRrrrqqqRrqq",
    ".RrrrrrrrqqqqqqR",
    "RRrrrrrrrqqqq.Rr",
    "qqqqqqqqqqq..RRr",
    "...........qqqq.",
};
const legend rock_colours = {
    {'R', {178, 170, 160}}, {'r', {134, 126, 120}}, {'q', {92, 86, 84}}, {'w', {236, 234, 228}},
};

// A castle fills its whole cell, so no ground shows round it and it reads as a building: two
// towers, the keep between them behind a crenellated wall, masonry courses, a gate.
// P flag pole, F f flag and shade, A a stone and its shaded side, k the keep's stone,
// z mortar, Y window, D gate, W portcullis, e ground between the merlons.
const std::vector<std::string> castle = {
    "AeAeAeePFFeAeAeA",
    "AAAAaeePffeAAAAa",
    "zzzzakekkekzzzza",
    "AYAAakkkkkkAYAAa",
    "AYAAakkYYkkAYAAa",
    "zzzzakkYYkkzzzza",
    "AAzAazzzzzzAAzAa",
    "AAzAaAeAAeAAAzAa",
    "zzzzaAAAAAAzzzza",
    "AzAAaAzzzzAAzAAa",
    "AzAAaAzDDzAAzAAa",
    "zzzzazDDDDzzzzza",
    "AAzAazDWWDzAAzAa",
    "AAzAazDDDDzAAzAa",
    "zzzzazDWWDzzzzza",
    "aaaaaaaaaaaaaaaa",
};

legend castle_colours(int kind)
{
    // Each side's stone keeps clear of its own units' colours; the banners and windows say whose.
    if (kind == 0) // neutral: brown fieldstone in pale mortar, a green pennant nobody has claimed
        return {{'P', {70, 50, 36}}, {'F', {200, 220, 160}}, {'f', {150, 170, 110}}, {'A', {168, 140, 96}},
                {'a', {136, 100, 60}}, {'k', {152, 124, 84}}, {'z', {212, 182, 136}}, {'Y', {16, 60, 56}},
                {'D', {30, 58, 26}}, {'W', {80, 110, 100}}, {'e', {50, 70, 40}}};
    if (kind == 1) // the Dark: black-green basalt laid in pale mortar, blood-red banners, ember windows
        return {{'P', {40, 34, 30}}, {'F', {180, 16, 30}}, {'f', {110, 10, 24}}, {'A', {72, 90, 70}},
                {'a', {40, 72, 40}}, {'k', {60, 78, 58}}, {'z', {112, 106, 90}}, {'Y', {255, 150, 50}},
                {'D', {48, 30, 12}}, {'W', {150, 90, 40}}, {'e', {50, 70, 40}}};
    // the Light: pale blue-grey limestone, amber banners, warm-lit windows
    return {{'P', {120, 84, 40}}, {'F', {240, 138, 36}}, {'f', {180, 90, 20}}, {'A', {222, 228, 240}},
            {'a', {176, 186, 206}}, {'k', {204, 212, 228}}, {'z', {160, 170, 190}}, {'Y', {255, 240, 160}},
            {'D', {40, 48, 64}}, {'W', {150, 150, 130}}, {'e', {150, 160, 180}}};
}

// Draws a feature grid on its own key layer, outlines it, and lays it over the ground.
void stamp(canvas& ground, const std::vector<std::string>& grid, const legend& colours, int x, int y,
           rgb outline)
{
    canvas layer = make_canvas(16, 16, key_colour);
    draw_grid(layer, x, y, grid, colours);
    outline_box(layer, 0, 0, 16, 16, outline);
    blit(ground, layer, 0, 0);
}

} // namespace

canvas draw_terrain(int tile)
{
    canvas c = make_canvas(16, 16, key_colour);
    switch (tile) {
    case 8:
        plain_ground(c);
        break;
    case 9:
        grass_ground(c);
        break;
    case 10: {
        forest_ground(c);
        canvas layer = make_canvas(16, 16, key_colour);
        draw_grid(layer, 1, 1, tree, tree_colours);
        draw_grid(layer, 8, 3, tree, tree_colours);
        draw_grid(layer, 4, 8, tree, tree_colours);
        outline_box(layer, 0, 0, 16, 16, {18, 54, 26});
        blit(c, layer, 0, 0);
        break;
    }
    case 12:
        scree_ground(c);
        stamp(c, rock, rock_colours, 0, 1, {40, 36, 34});
        break;
    case 13:
    case 14:
    case 15:
        draw_grid(c, 0, 0, castle, castle_colours(tile - 13));
        break;
    default:
        break;
    }
    return c;
}

canvas draw_strike_marker()
{
    // A bold slash from upper right to lower left, white at the core and red at the edges,
    // tapering to points, with a few sparks flying off where it bites.
    canvas c = make_canvas(16, 16, key_colour);
    const rgb red = {232, 30, 40}, white = {255, 255, 255}, yellow = {255, 226, 90};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int across = x + y - 15; // distance across the slash, in diagonal steps
            int along = x - y;       // position along it
            if (along < -12 || along > 12)
                continue;
            int half = along > -6 && along < 6 ? 2 : along > -10 && along < 10 ? 1 : 0;
            if (across >= -half && across <= half)
                put(c, x, y, across > -half && across < half ? white : red);
            if (half == 0 && across == 0)
                put(c, x, y, red);
        }
    const int sparks[][2] = {{4, 4}, {3, 2}, {11, 11}, {13, 12}, {12, 3}, {3, 12}};
    for (const auto& s : sparks)
        put(c, s[0], s[1], yellow);
    outline_box(c, 0, 0, 16, 16, {70, 0, 12});
    return c;
}
