// The two pieces of music the game plays.
#pragma once

#include "mod_writer.h"

mod_song make_pyramid();   // battle march, D minor
mod_song make_spacemaz();  // the Light's winning theme, G major
