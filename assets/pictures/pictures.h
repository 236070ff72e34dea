// pictures.h -- the painters of every picture the game loads; gen_pictures.cpp writes them out.
#pragma once

#include "assets/pictures/canvas.h"

// One 16 x 16 unit tile on key background: side 0 the Dark, 1 the Light; unit 0..3 soldier,
// knight, archer, mage.
canvas draw_unit(int side, int unit);
// Opaque terrain tiles: 8 plain, 9 grasslands, 10 forest, 12 rock, 13..15 the castles.
canvas draw_terrain(int tile);
// Tile 11, drawn over a unit that is being struck.
canvas draw_strike_marker();
// The 205 x 64 credits logo, on key so the credits' white shows around it.
canvas draw_logo();
canvas draw_tiles();       // tiles.bmp, 286 x 64
// The badge (shield and crossed swords), each grid pixel scale x scale, outlined, on key.
canvas draw_emblem(int scale, rgb outline);

canvas draw_title();       // title.png, 320 x 240
canvas draw_title_text();  // title_text.png, 160 x 72
canvas draw_options();     // options.png, 160 x 120

canvas draw_balance();     // balance.png, 176 x 22
canvas draw_balance_bg();  // balancebg.png, 630 x 22
canvas draw_cursor();      // cursor.png, 18 x 18
canvas draw_move_cursor(); // cmove.png, 18 x 18
