// emblem.cpp -- the game's badge: a shield halved between the Dark and the Light, two swords
// crossed behind it. Shown on the title lettering and the credits logo.
#include "assets/pictures/pictures.h"

namespace {

// M m blade / blade shade, G hilt gold, K grip, Y shield rim, D d the Dark's field, V its crescent,
// L l the Light's field, W its sun.
const std::vector<std::string> emblem = {
    "M.......................M",
    "mM.....................Mm",
    ".mM...................Mm.",
    "..mM.................Mm..",
    "...mM...............Mm...",
    "....mMYYYYYYYYYYYYYMm....",
    ".....mYddDDDYLLLllYm.....",
    "......YddVVDYLLLllY......",
    "......YdVVDDYLLWllY......",
    "......YdVVDDYLWWWlY......",
    "......YdVVDDYLLWllY......",
    "......YddVVDYLLLllY......",
    "......YddDDDYLLLllY......",
    "......YddDDDYLLLllY......",
    ".......YdDDDYLLLlY.......",
    ".......YdDDDYLLLlY.......",
    "....G...YDDDYLLLY...G....",
    ".....G.MmYDDYLLYmM.G.....",
    "......G...YDYLY...G......",
    ".....K.G...YYY...G.K.....",
    "....K...G...Y...G...K....",
    "...K.................K...",
    "..G...................G..",
};

const legend emblem_colours = {
    {'M', {236, 240, 250}}, {'m', {140, 150, 176}}, {'G', {236, 186, 52}}, {'K', {96, 58, 34}},
    {'Y', {244, 198, 60}},  {'D', {112, 44, 148}},  {'d', {76, 26, 104}},  {'V', {226, 44, 70}},
    {'L', {110, 186, 250}}, {'l', {64, 134, 222}},  {'W', {255, 250, 214}},
};

} // namespace

canvas draw_emblem(int scale, rgb outline)
{
    int w = static_cast<int>(emblem[0].size()), h = static_cast<int>(emblem.size());
    canvas small = make_canvas(w, h, key_colour);
    draw_grid(small, 0, 0, emblem, emblem_colours);
    canvas big = make_canvas(w * scale + 2, h * scale + 2, key_colour);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (get(small, x, y) != key_colour)
                fill_rect(big, 1 + x * scale, 1 + y * scale, scale, scale, get(small, x, y));
    outline_box(big, 0, 0, big.w, big.h, outline);
    return big;
}
