// pad_mapping.h -- rewrites an SDL2 game controller mapping line so that a pad read through SDL 1.2
// over SDL2 with game controllers on (sdl12-compat's SDL12COMPAT_USE_GAME_CONTROLLERS=1, which
// reports controller button k as joystick button k) presses the game's own pad buttons.
//
// Each physical control keeps its binding text (b6, h0.1, +a2...) and moves to the controller field
// whose SDL2 button number is the game's button for the control's role, as pad_layout.h gives it.
// Controls the game does not use are dropped; the sticks' axes and the meta fields (platform:,
// hint:, crc:, sdk>=:, sdk<=:) stay as they are.
#ifndef UMBRA_PAD_MAPPING_H
#define UMBRA_PAD_MAPPING_H

#include <string>

// Rewrites one mapping line ("GUID,name,field:binding,...,"). On success fills `out` (ending in a
// comma, as SDL2 writes them) and returns true; otherwise leaves `out` empty, puts a one-line reason
// in `message` and returns false.
bool rewrite_pad_mapping(const std::string& line, std::string& out, std::string& message);

// SDL2's name of game controller button `index` ("a", "dpdown", "paddle1"...), or null when SDL2
// has no button of that number.
const char* controller_button_name(int index);

#endif
