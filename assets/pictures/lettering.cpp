// lettering.cpp -- scaled, outlined text from the font's glyph grids.
#include "assets/pictures/lettering.h"

#include "assets/font/glyphs.h"

int lettering_width(const char* text, int sx) { return text_width(text) * sx; }

void draw_text(canvas& c, int x, int y, const char* text, int sx, int sy, rgb colour)
{
    int pen = x;
    for (const char* p = text; *p; ++p) {
        int ch = static_cast<unsigned char>(*p);
        for (int gy = 0; gy < glyph_rows; ++gy)
            for (int gx = 0; gx < glyph_width(ch); ++gx)
                if (glyph_ink(ch, gx, gy))
                    fill_rect(c, pen + gx * sx, y + gy * sy, sx, sy, colour);
        pen += glyph_advance(ch) * sx;
    }
}

void draw_display_text(canvas& c, int x, int y, const char* text, const lettering_style& style)
{
    // Work on a key layer one pixel larger all round than the text, so the outline has room.
    int w = lettering_width(text, style.sx) + 2, h = glyph_rows * style.sy + 2;
    const rgb ink_mark = {255, 255, 255};
    canvas ink = make_canvas(w, h, key_colour);
    draw_text(ink, 1, 1, text, style.sx, style.sy, ink_mark);

    canvas layer = make_canvas(w, h, key_colour);
    // Capitals span glyph rows 1..7: grade the fill across them, holding the ends beyond.
    int cap_top = 1 + 1 * style.sy, cap_bottom = 1 + glyph_baseline * style.sy - 1;
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            if (get(ink, xx, yy) == key_colour)
                continue;
            int t = yy < cap_top ? 0 : yy > cap_bottom ? cap_bottom - cap_top : yy - cap_top;
            rgb fill = mix(style.top, style.bottom, t, cap_bottom - cap_top);
            bool top_edge = yy == 0 || get(ink, xx, yy - 1) == key_colour;
            put(layer, xx, yy, top_edge ? style.shine : fill);
        }
    outline_box(layer, 0, 0, w, h, style.outline);

    if (style.shadow_d > 0)
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx)
                if (get(layer, xx, yy) != key_colour)
                    put(c, x - 1 + xx + style.shadow_d, y - 1 + yy + style.shadow_d, style.shadow);
    blit(c, layer, x - 1, y - 1);
}
