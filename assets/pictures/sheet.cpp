// sheet.cpp -- tiles.bmp: the unit, terrain and marker tiles in columns of four, and the credits
// logo beside them.
#include "assets/pictures/lettering.h"
#include "assets/pictures/pictures.h"

canvas draw_logo()
{
    // Made for the credits' white page: the badge on the left, the name in gold beside it and a
    // line under the name, all outlined dark so the gold holds on white.
    canvas c = make_canvas(205, 64, key_colour);
    const rgb outline = {30, 14, 30};
    canvas badge = draw_emblem(2, outline);
    blit(c, badge, 0, (64 - badge.h) / 2);
    lettering_style style = {3, 4, {255, 226, 110}, {200, 90, 24}, outline, {170, 160, 176}, 2,
                             {255, 248, 200}};
    const char* name = "Umbrafront";
    int text_x = badge.w + 2;
    draw_display_text(c, text_x, 6, name, style);
    const char* motto = "The Dark and the Light";
    int name_w = lettering_width(name, 3) - 3;
    int motto_w = lettering_width(motto, 1) - 1;
    int mx = text_x + (name_w - motto_w) / 2;
    fill_rect(c, text_x, 44, name_w, 1, {120, 60, 130});
    draw_text(c, mx, 47, motto, 1, 1, {60, 30, 70});
    return c;
}

canvas draw_tiles()
{
    canvas sheet = make_canvas(286, 64, key_colour);
    // Tile n sits in column n / 4, row n % 4. Every pixel is copied, key included.
    auto place = [&](int n, const canvas& tile) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                put(sheet, 16 * (n / 4) + x, 16 * (n % 4) + y, get(tile, x, y));
    };
    for (int n = 0; n < 8; ++n)
        place(n, draw_unit(n / 4, n % 4));
    for (int n = 8; n < 16; ++n)
        place(n, n == 11 ? draw_strike_marker() : draw_terrain(n));
    blit(sheet, draw_logo(), 81, 0);
    return sheet;
}
