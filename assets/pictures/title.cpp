// title.cpp -- the title screen: a dusk battlefield with the Dark's castle on the left and the
// Light's on the right, the name lettering that sits over its sky, and the menu option banners
// that sit on its parchment strip.
#include "assets/pictures/lettering.h"
#include "assets/pictures/pictures.h"

#include <cstdlib>

namespace {

const int horizon = 134;   // where the field meets the hills
const int strip_top = 202; // the parchment strip under the painting starts here

struct stop {
    int at;
    rgb colour;
};

// Colour at position t along a list of stops (held beyond the ends), in 1/256 steps for
// dithering.
void graded(const std::vector<stop>& stops, int t, int out[3])
{
    size_t i = 0;
    while (i + 2 < stops.size() && t > stops[i + 1].at)
        ++i;
    const stop& a = stops[i];
    const stop& b = stops[i + 1];
    int k = t <= a.at ? 0 : t >= b.at ? 256 : (t - a.at) * 256 / (b.at - a.at);
    out[0] = a.colour.r * 256 + (b.colour.r - a.colour.r) * k;
    out[1] = a.colour.g * 256 + (b.colour.g - a.colour.g) * k;
    out[2] = a.colour.b * 256 + (b.colour.b - a.colour.b) * k;
}

void sky(canvas& c)
{
    const std::vector<stop> stops = {
        {0, {14, 10, 44}}, {50, {44, 24, 88}}, {92, {122, 52, 118}}, {118, {222, 110, 100}},
        {horizon, {252, 176, 96}}};
    for (int y = 0; y < horizon; ++y) {
        int col[3];
        graded(stops, y, col);
        for (int x = 0; x < c.w; ++x)
            put(c, x, y, dither_565(col[0], col[1], col[2], x, y));
    }
    // Stars fade out as the sky brightens towards the sunset.
    for (int y = 0; y < 84; ++y)
        for (int x = 0; x < c.w; ++x) {
            int n = noise(x, y, 77);
            if (n > 252 && noise(x, y, 78) < 40 - y / 3)
                put(c, x, y, n > 254 ? rgb{255, 255, 255} : rgb{200, 196, 230});
        }
    const int bright[][2] = {{24, 14}, {61, 40}, {262, 22}, {300, 52}, {132, 84}, {203, 78}};
    for (const auto& s : bright) {
        put(c, s[0], s[1], {255, 255, 255});
        put(c, s[0] - 1, s[1], {150, 140, 200});
        put(c, s[0] + 1, s[1], {150, 140, 200});
        put(c, s[0], s[1] - 1, {150, 140, 200});
        put(c, s[0], s[1] + 1, {150, 140, 200});
    }
}

void sun(canvas& c)
{
    const int cx = 160, cy = 104;
    for (int y = cy - 56; y < horizon; ++y)
        for (int x = cx - 60; x <= cx + 60; ++x) {
            int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 <= 15 * 15) {
                put(c, x, y, d2 <= 12 * 12 ? rgb{255, 246, 196} : rgb{255, 214, 120});
            } else if (d2 < 56 * 56) {
                // Halo: a dithered brightening that falls off with distance.
                rgb p = get(c, x, y);
                int k = (56 * 56 - d2) * 120 / (56 * 56 - 15 * 15);
                rgb glow = mix(p, {255, 214, 140}, k, 256);
                put(c, x, y, dither_565(glow.r * 256, glow.g * 256, glow.b * 256, x, y));
            }
        }
}

// A mountain range: straight slopes between the given peaks and saddles, filled down to the
// horizon, its crest lit by the sunset.
void ridge(canvas& c, const std::vector<std::pair<int, int>>& points, rgb body, rgb crest, rgb shade)
{
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        int x0 = points[i].first, y0 = points[i].second;
        int x1 = points[i + 1].first, y1 = points[i + 1].second;
        for (int x = x0; x < x1; ++x) {
            int top = y0 + (y1 - y0) * (x - x0) / (x1 - x0);
            // A slope going down to the right faces right: towards the sun left of the middle.
            bool falling = y1 > y0;
            bool sunward = (x < 160) == falling;
            for (int y = top; y < horizon; ++y) {
                rgb p = body;
                if (y == top)
                    p = crest;
                else if (!sunward && y < top + 10 + (noise(x, y, 5) & 3))
                    p = shade;
                put(c, x, y, p);
            }
        }
    }
}

void field(canvas& c)
{
    const std::vector<stop> stops = {{horizon, {118, 112, 92}}, {160, {84, 104, 64}}, {strip_top, {58, 92, 48}}};
    for (int y = horizon; y < strip_top; ++y) {
        int col[3];
        graded(stops, y, col);
        for (int x = 0; x < c.w; ++x) {
            // The Dark's half lies in violet shadow, the Light's catches the last warm light.
            int tint = (x - 160) * 24 / 160;
            int r = col[0] + tint * 256 / 3, g = col[1] + tint * 128 / 3, b = col[2] - tint * 256 / 2;
            rgb p = dither_565(r, g, b, x, y);
            // Grass blades: short dark strokes, denser towards the front.
            int n = noise(x, y / 2, 31);
            if (n < 6 + (y - horizon) / 5)
                p = mix(p, {20, 44, 20}, 1, 4);
            put(c, x, y, p);
        }
    }
}

// The road from the front of the picture forking to both gates.
void road(canvas& c)
{
    const rgb dirt = {168, 140, 98}, edge = {120, 96, 66};
    auto lane = [&](int x0, int y0, int x1, int y1, int w0, int w1) {
        int steps = std::abs(y1 - y0);
        for (int i = 0; i <= steps; ++i) {
            int y = y0 + (y1 > y0 ? i : -i);
            int x = x0 + (x1 - x0) * i / steps;
            int w = w0 + (w1 - w0) * i / steps;
            for (int dx = -w; dx <= w; ++dx)
                put(c, x + dx, y, (dx == -w || dx == w) ? edge : dirt);
        }
    };
    lane(160, strip_top - 1, 160, 176, 12, 5);
    lane(160, 176, 70, 156, 5, 2);
    lane(160, 176, 250, 156, 5, 2);
}

struct stone {
    rgb lit, mid, dark, roof, roof_dark, banner, window, outline;
};

void crenels(canvas& c, int x, int y, int w, const stone& s)
{
    for (int i = 0; i < w; i += 3)
        fill_rect(c, x + i, y - 2, 2, 2, s.mid);
}

// One tower: a shaded stone shaft with a window slit and a pointed roof carrying a pennant.
// lit_left tells which side faces the sun.
void tower(canvas& c, int x, int top, int w, int bottom, int roof_h, bool lit_left, const stone& s,
           bool pennant_right)
{
    for (int y = top; y < bottom; ++y)
        for (int i = 0; i < w; ++i) {
            int from_lit = lit_left ? i : w - 1 - i;
            rgb p = from_lit < 2 ? s.lit : from_lit > w - 3 ? s.dark : s.mid;
            // Courses of masonry every fourth row, offset brick joints.
            if ((y - top) % 4 == 3 || (((y - top) / 4) % 2 == 0 ? i % 6 == 2 : i % 6 == 5))
                p = mix(p, s.dark, 1, 2);
            put(c, x + i, y, p);
        }
    fill_rect(c, x - 1, top, w + 2, 2, s.lit);
    // Conical roof
    for (int r = 0; r < roof_h; ++r) {
        int half = (w / 2 + 1) * (r + 1) / roof_h;
        for (int dx = -half; dx <= half; ++dx) {
            bool lit = lit_left ? dx < 0 : dx > 0;
            put(c, x + w / 2 + dx, top - roof_h + r, lit ? s.roof : s.roof_dark);
        }
    }
    // Pennant on a short pole above the roof tip.
    int px = x + w / 2, py = top - roof_h;
    fill_rect(c, px, py - 7, 1, 7, s.outline);
    int dir = pennant_right ? 1 : -1;
    for (int i = 1; i <= 6; ++i)
        fill_rect(c, px + dir * i, py - 7 + i / 3, 1, 3 - i / 3, s.banner);
    // Window slits, lit from within.
    for (int wy = top + 5; wy + 4 < bottom - 6; wy += 9)
        fill_rect(c, x + w / 2, wy, 1, 3, s.window);
}

void castle(canvas& c, int x, bool dark)
{
    // The two castles are mirror images in layout; x is the left edge of an 84-wide footprint.
    const stone dark_stone = {{96, 72, 126}, {64, 46, 92}, {38, 26, 58}, {126, 30, 58}, {78, 16, 40},
                              {226, 40, 64}, {255, 96, 70}, {14, 8, 20}};
    const stone light_stone = {{255, 252, 240}, {222, 218, 206}, {168, 164, 160}, {84, 160, 236},
                               {44, 104, 190}, {250, 204, 52}, {255, 222, 110}, {40, 44, 80}};
    const stone& s = dark ? dark_stone : light_stone;
    bool lit_left = !dark; // both face the sun in the middle
    auto mx = [&](int lx, int w) { return dark ? x + lx : x + 84 - lx - w; };
    const int base = 158;
    // Curtain wall with a gate.
    for (int y = 126; y < base; ++y)
        for (int i = 0; i < 64; ++i) {
            rgb p = (y - 126) % 4 == 3 || ((y - 126) / 4 % 2 == 0 ? i % 7 == 3 : i % 7 == 0) ? s.dark : s.mid;
            put(c, mx(10, 64) + i, y, p);
        }
    crenels(c, mx(10, 64), 126, 64, s);
    int gate_x = mx(36, 12);
    fill_rect(c, gate_x, 140, 12, base - 140, s.outline);
    fill_rect(c, gate_x + 1, 138, 10, 2, s.outline);
    fill_rect(c, gate_x + 3, 137, 6, 1, s.outline);
    for (int gx = gate_x + 2; gx < gate_x + 11; gx += 3)
        fill_rect(c, gx, 141, 1, base - 141, s.banner);
    // Keep and towers.
    tower(c, mx(30, 22), 96, 22, 126, 16, lit_left, s, !dark);
    tower(c, mx(0, 14), 112, 14, base, 12, lit_left, s, !dark);
    tower(c, mx(70, 14), 112, 14, base, 12, lit_left, s, !dark);
    tower(c, mx(54, 10), 104, 10, 126, 10, lit_left, s, !dark);
    // Banner hanging over the gate.
    fill_rect(c, gate_x + 2, 128, 8, 8, s.banner);
    put(c, gate_x + 2, 136, s.banner);
    put(c, gate_x + 9, 136, s.banner);
}

// Two small hosts drawn up before their gates: h helmet, b body, p spear shaft, t spear tip.
const std::vector<std::string> footman = {
    "...t",
    ".h.p",
    "hhhp",
    ".bbp",
    ".bbp",
    ".b.b",
};

void host(canvas& c, int x0, int y0, int count, const legend& colours, bool facing_left)
{
    for (int i = 0; i < count; ++i)
        draw_grid(c, x0 + (facing_left ? -i : i) * 6, y0 + (i % 2) * 3, footman, colours, facing_left);
}

// Copses along the far edge of the field: L light leaves, F leaves, f shade, k trunk.
const std::vector<std::string> copse = {
    "..LF.LF..",
    ".LFFFFFf.",
    "LFFfFFFff",
    "FFffFfff.",
    ".ff.kf...",
    "....k....",
};

void parchment(canvas& c)
{
    const rgb paper = {246, 236, 210}, fleck = {236, 224, 194};
    for (int y = strip_top; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            put(c, x, y, noise(x, y, 55) < 40 ? fleck : paper);
    fill_rect(c, 0, strip_top, c.w, 1, {58, 36, 26});
    fill_rect(c, 0, strip_top + 1, c.w, 1, {214, 170, 76});
    fill_rect(c, 0, strip_top + 2, c.w, 1, {150, 110, 60});
}

} // namespace

canvas draw_title()
{
    canvas c = make_canvas(320, 240, key_colour);
    sky(c);
    sun(c);
    ridge(c, {{0, 100}, {30, 86}, {56, 104}, {84, 90}, {112, 108}, {138, 96}, {170, 112}, {196, 94},
              {224, 106}, {250, 88}, {282, 102}, {304, 92}, {320, 98}},
          {130, 96, 150}, {250, 170, 130}, {104, 76, 128});
    ridge(c, {{0, 118}, {40, 110}, {76, 122}, {110, 116}, {146, 126}, {176, 124}, {210, 114},
              {248, 122}, {286, 112}, {320, 120}},
          {82, 62, 100}, {210, 130, 110}, {66, 50, 86});
    field(c);
    road(c);
    castle(c, 12, true);
    castle(c, 224, false);
    const legend copse_colours = {{'L', {86, 130, 70}}, {'F', {52, 92, 50}}, {'f', {34, 64, 40}},
                                  {'k', {60, 40, 30}}};
    const int copses[][2] = {{104, 131}, {113, 133}, {196, 130}, {205, 132}, {150, 133}};
    for (const auto& p : copses)
        draw_grid(c, p[0], p[1], copse, copse_colours);
    host(c, 96, 164, 5, {{'h', {70, 62, 92}}, {'b', {110, 36, 140}}, {'p', {60, 40, 30}}, {'t', {240, 70, 90}}},
         false);
    host(c, 220, 164, 5, {{'h', {250, 250, 250}}, {'b', {80, 170, 250}}, {'p', {110, 80, 40}}, {'t', {255, 220, 80}}},
         true);
    parchment(c);
    return c;
}

canvas draw_title_text()
{
    canvas c = make_canvas(160, 72, key_colour);
    canvas badge = draw_emblem(1, {20, 12, 30});
    blit(c, badge, (160 - badge.w) / 2, 2);
    const char* name = "Umbrafront";
    lettering_style style = {3, 4, {255, 240, 150}, {214, 112, 30}, {30, 14, 30}, {10, 4, 20}, 2,
                             {255, 252, 220}};
    int w = lettering_width(name, 3) - 3; // the last glyph's trailing gap is not ink
    draw_display_text(c, (160 - w) / 2, 24, name, style);
    return c;
}

canvas draw_options()
{
    // With one person playing, the label says which side that person leads; the Dark is named
    // first, as it moves first.
    const char* labels[6] = {"Person vs Person", "You: Dark  vs  CPU", "CPU  vs  You: Light", "CPU vs CPU",
                             "Credits", "Quit"};
    canvas c = make_canvas(160, 120, key_colour);
    const rgb ribbon = {252, 246, 226}, ribbon_shade = {222, 196, 144}, edge = {70, 42, 26};
    const rgb ink_colour = {28, 16, 12}, arrow = {200, 30, 44}, arrow_light = {255, 120, 100};
    for (int i = 0; i < 6; ++i) {
        int top = 20 * i;
        canvas f = make_canvas(160, 20, key_colour);
        // Ribbon tails tucked behind the band, a swallowtail notch cut into each outer end.
        fill_rect(f, 14, 5, 22, 13, ribbon_shade);
        fill_rect(f, 124, 5, 22, 13, ribbon_shade);
        for (int k = 0; k < 4; ++k) {
            fill_rect(f, 14 + k, 8 + k, 1, 7 - 2 * k, key_colour);
            fill_rect(f, 145 - k, 8 + k, 1, 7 - 2 * k, key_colour);
        }
        fill_rect(f, 28, 2, 104, 14, ribbon);
        outline_box(f, 0, 0, 160, 20, edge);
        // Fold shadows where the band meets its tails.
        fill_rect(f, 29, 15, 102, 1, ribbon_shade);
        int w = lettering_width(labels[i], 1) - 1;
        draw_text(f, 80 - w / 2, 4, labels[i], 1, 1, ink_colour);
        // Arrows pointing in at the chosen option.
        for (int k = 0; k < 5; ++k) {
            fill_rect(f, 3 + k, 5 + k, 1, 9 - 2 * k, k == 0 ? arrow_light : arrow);
            fill_rect(f, 156 - k, 5 + k, 1, 9 - 2 * k, k == 0 ? arrow_light : arrow);
        }
        outline_box(f, 0, 0, 12, 20, edge);
        outline_box(f, 148, 0, 12, 20, edge);
        blit(c, f, 0, top);
    }
    return c;
}
