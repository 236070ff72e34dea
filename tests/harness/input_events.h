// input_events.h -- the keyboard and pad events a test feeds the game, built as SDL delivers them,
// for the harness's scripted input and the soak's random stream alike.
#pragma once
#include <SDL.h>

SDL_Event key_event(SDLKey sym, bool down);
// Button `which` of joystick 0, the handheld's pad.
SDL_Event pad_event(int which, bool down);
