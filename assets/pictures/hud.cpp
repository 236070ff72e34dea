// hud.cpp -- the battle's heads-up pictures: the balance gem and its sliding strip, and the two
// cell cursors.
#include "assets/pictures/pictures.h"

#include <cmath>

namespace {

const rgb dark_deep = {34, 12, 52}, dark_mid = {96, 36, 132}, dark_glow = {214, 40, 72};
const rgb light_deep = {44, 112, 206}, light_mid = {120, 196, 252}, light_glow = {255, 222, 110};

} // namespace

canvas draw_balance()
{
    // A round gem lit like the moon: frame 0 wholly the Dark's, frame 7 wholly the Light's, the
    // Light's crescent waxing from the right in between. Its gold rim warms as the Light gains.
    canvas c = make_canvas(176, 22, key_colour);
    for (int k = 0; k < 8; ++k) {
        int x0 = 22 * k;
        const rgb bezel = {46, 40, 58}, bezel_lit = {88, 80, 104}, bezel_dark = {24, 20, 32};
        fill_rect(c, x0, 0, 22, 22, bezel);
        fill_rect(c, x0, 0, 22, 1, bezel_lit);
        fill_rect(c, x0, 0, 1, 22, bezel_lit);
        fill_rect(c, x0, 21, 22, 1, bezel_dark);
        fill_rect(c, x0 + 21, 0, 1, 22, bezel_dark);
        double phase = k / 7.0; // share of the disc that is the Light's
        rgb rim = mix(dark_glow, light_glow, k, 7);
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 22; ++x) {
                double u = (x - 10.5) / 8.5, v = (y - 10.5) / 8.5;
                double r2 = u * u + v * v;
                double outer = ((x - 10.5) * (x - 10.5) + (y - 10.5) * (y - 10.5)) / (9.6 * 9.6);
                if (outer > 1.0)
                    continue;
                if (r2 > 1.0) {
                    put(c, x0 + x, y, rim);
                    continue;
                }
                // Lit where u lies beyond the terminator, an ellipse sweeping right to left.
                bool lit = u > (1.0 - 2.0 * phase) * std::sqrt(1.0 - v * v);
                if (k == 0)
                    lit = false;
                if (k == 7)
                    lit = true;
                // Shade each half darker towards the lower right, like a glass bead.
                int depth = static_cast<int>((u + v + 2.0) * 64.0); // 0..256
                rgb p = lit ? mix(light_mid, light_deep, depth, 256) : mix(dark_mid, dark_deep, depth, 256);
                put(c, x0 + x, y, dither_565(p.r * 256, p.g * 256, p.b * 256, x, y));
            }
        // Highlight: a small glint on the upper left of the bead.
        put(c, x0 + 6, 6, {255, 255, 255});
        put(c, x0 + 7, 6, {230, 226, 240});
        put(c, x0 + 6, 7, {230, 226, 240});
    }
    return c;
}

canvas draw_balance_bg()
{
    // The Dark's colours fill everything left of the seam between columns 320 and 321, the
    // Light's everything right of it. The game slides a 320-wide window over this strip, so the
    // share of each colour on screen follows who is ahead. Chevrons on both sides push towards
    // the seam, and each half glows hotter near it.
    canvas c = make_canvas(630, 22, key_colour);
    const int seam = 321; // first column of the Light's half
    for (int x = 0; x < c.w; ++x) {
        bool light = x >= seam;
        int dist = light ? x - seam : seam - 1 - x; // columns from the seam
        int heat = dist < 48 ? 48 - dist : 0;       // 0..48, close to the seam
        for (int y = 0; y < c.h; ++y) {
            rgb base = light ? mix(light_mid, light_deep, y, 21) : mix(dark_mid, dark_deep, y, 21);
            base = mix(base, light ? rgb{250, 250, 236} : dark_glow, heat, 96);
            // Chevrons 12 columns apart pointing at the seam.
            int phase = (dist + (y < 11 ? y : 21 - y)) % 12;
            if (y > 2 && y < 19 && phase < 3)
                base = mix(base, light ? rgb{255, 255, 255} : rgb{0, 0, 0}, light ? 3 : 2, 8);
            put(c, x, y, dither_565(base.r * 256, base.g * 256, base.b * 256, x, y));
        }
        // Frame lines top and bottom.
        put(c, x, 0, light ? rgb{250, 230, 160} : rgb{150, 90, 170});
        put(c, x, 1, light ? rgb{200, 160, 70} : rgb{60, 20, 80});
        put(c, x, 20, light ? rgb{30, 70, 150} : rgb{20, 6, 30});
        put(c, x, 21, light ? rgb{20, 40, 100} : rgb{10, 2, 16});
    }
    // The seam itself: a white-hot line where the two fronts meet.
    for (int y = 2; y < 20; ++y) {
        put(c, seam - 1, y, {255, 200, 210});
        put(c, seam, y, {255, 255, 240});
    }
    return c;
}

namespace {

// W white, Y gold, o dark rim: four bright corner brackets that show on any ground or unit.
const std::vector<std::string> cursor_grid = {
    "WWWWWWo....oWWWWWW",
    "WYYYYYo....oYYYYYW",
    "WYooooo....oooooYW",
    "WYo............oYW",
    "WYo............oYW",
    "WYo............oYW",
    "ooo............ooo",
    "..................",
    "..................",
    "..................",
    "..................",
    "ooo............ooo",
    "WYo............oYW",
    "WYo............oYW",
    "WYo............oYW",
    "WYooooo....oooooYW",
    "WYYYYYo....oYYYYYW",
    "WWWWWWo....oWWWWWW",
};

// g deep amber, G bright orange, o dark rim: a closed frame with an arrowhead on every side
// pointing in, "move here". Orange holds against every ground green and the blue target fill.
const std::vector<std::string> move_grid = {
    "gggggggggggggggggg",
    "gGGGGGGGGGGGGGGGGg",
    "gGoooooGGGGoooooGg",
    "gGo...ooGGoo...oGg",
    "gGo....oooo....oGg",
    "gGo............oGg",
    "gGo............oGg",
    "gGGo..........oGGg",
    "gGGGo........oGGGg",
    "gGGGo........oGGGg",
    "gGGo..........oGGg",
    "gGo............oGg",
    "gGo............oGg",
    "gGo....oooo....oGg",
    "gGo...ooGGoo...oGg",
    "gGoooooGGGGoooooGg",
    "gGGGGGGGGGGGGGGGGg",
    "gggggggggggggggggg",
};

} // namespace

canvas draw_cursor()
{
    canvas c = make_canvas(18, 18, key_colour);
    draw_grid(c, 0, 0, cursor_grid, {{'W', {255, 255, 255}}, {'Y', {255, 210, 50}}, {'o', {30, 20, 10}}});
    return c;
}

canvas draw_move_cursor()
{
    canvas c = make_canvas(18, 18, key_colour);
    draw_grid(c, 0, 0, move_grid, {{'g', {150, 60, 0}}, {'G', {255, 160, 40}}, {'o', {40, 14, 0}}});
    return c;
}
