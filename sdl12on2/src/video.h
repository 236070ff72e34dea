// video.h -- the 1.2 display: the screen surface and the window that shows it.
#ifndef SDL12ON2_VIDEO_H
#define SDL12ON2_VIDEO_H

#include "SDL.h"
#include "bridge.h"

// Closes the window and frees the screen surface (SDL_QuitSubSystem of video).
void sdl12_video_quit();

// A 1.2 surface holding a copy of pixels handed over by the back (which are then released), in
// their own format, with palette and colour key; null (error set) when out of memory.
SDL_Surface* sdl12_surface_from_pixels(sdl12_pixels* pixels);

#endif
