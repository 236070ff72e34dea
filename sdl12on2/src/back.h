// back.h -- what the layer's SDL2-side files share among themselves (never seen by the front).
#ifndef SDL12ON2_BACK_H
#define SDL12ON2_BACK_H

#include <SDL2/SDL.h>

#include "scaling.h"

// The window showing the 1.2 screen, or null before a video mode is set.
extern SDL_Window* back_window;
// Fullscreen on the desktop (SDL12ON2_FULLSCREEN=1): the picture, back_picture_w x back_picture_h
// when last shown, sits in the window as back_fit says.
extern bool back_scaled;
extern struct scaling_fit back_fit;
extern int back_picture_w;
extern int back_picture_h;
// SDL_Init asked for audio and no device could be had: 1.2 still reports audio as started.
extern bool back_audio_missing;

// Adds controller mappings SDL2 lacks (the browser's "standard" pads) before pads are opened.
void back_add_pad_mappings();
void back_close_pads();
// Turns one SDL2 event about the opened pad into 1.2 pad events; false when it was no pad event.
bool back_pad_event(const SDL_Event& event);

#endif
