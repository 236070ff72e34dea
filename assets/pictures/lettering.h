// lettering.h -- words on pictures, set in the game's own pixel font (umbra_glyphs) at any scale.
#pragma once

#include "assets/pictures/canvas.h"

// Width in pixels of text set at horizontal scale sx (pen advances, no outline).
int lettering_width(const char* text, int sx);

// Inks text with its glyph grid's top-left at (x, y), every font pixel drawn as an sx x sy block.
void draw_text(canvas& c, int x, int y, const char* text, int sx, int sy, rgb colour);

// Display lettering: each font pixel an sx x sy block, filled with a vertical gradient from top to
// bottom over the capital height, a one-pixel outline and a drop shadow (shadow_dy pixels down and
// right). (x, y) is where the glyph grid's top-left lands; the outline reaches one pixel beyond.
struct lettering_style {
    int sx, sy;
    rgb top, bottom;  // fill at the cap line and at the baseline
    rgb outline;
    rgb shadow;
    int shadow_d;     // 0 for no shadow
    rgb shine;        // the topmost pixel row of every stroke, 'top' to skip
};
void draw_display_text(canvas& c, int x, int y, const char* text, const lettering_style& style);
