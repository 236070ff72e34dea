// The game's pixel font as data: every printable ASCII character drawn as a small grid of
// pixels. The TrueType generator turns these grids into outlines, and the title pictures and
// tests read the same grids, so there is exactly one drawing of each letter.
#pragma once

const int glyph_rows = 11;     // rows of every glyph grid, top to bottom
const int glyph_baseline = 8;  // rows 0..7 stand on the baseline (row 7 is the lowest above it), 8..10 hang below

int glyph_width(int ch);              // columns of the glyph's grid (ink box width), 0 for characters outside 32..126
int glyph_advance(int ch);            // pen advance in pixels
bool glyph_ink(int ch, int x, int y); // is pixel (x, y) of the grid inked; false outside the grid
int text_width(const char* text);     // sum of advances, as SDL_ttf will measure it
