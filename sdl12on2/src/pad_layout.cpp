// pad_layout.cpp -- the standard controller's controls as the game's pad buttons (see pad_layout.h).
#include "pad_layout.h"

const int pad_layout[pad_control_count] = {
    12, /* a: the game's A (confirm) */
    13, /* b: the game's B (change) */
    -1, /* x */
    -1, /* y */
    9,  /* back: Select */
    -1, /* guide */
    -1, /* start */
    -1, /* left stick click */
    -1, /* right stick click */
    10, /* left shoulder: L */
    11, /* right shoulder: R */
    0,  /* d-pad up */
    4,  /* d-pad down */
    2,  /* d-pad left */
    6,  /* d-pad right */
    16, /* left trigger: volume up */
    17, /* right trigger: volume down */
};

const int pad_layout_buttons = 18;
