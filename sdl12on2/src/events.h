// events.h -- the 1.2 event queue, key state and joysticks of the layer.
#ifndef SDL12ON2_EVENTS_H
#define SDL12ON2_EVENTS_H

// Empties the queue and forgets keys, repeat settings and filters (SDL_Quit).
void sdl12_events_reset();
// Closes every open joystick (SDL_QuitSubSystem of joysticks).
void sdl12_joysticks_quit();

#endif
