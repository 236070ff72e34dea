/* SDL_image.h -- the SDL_image 1.2 interface Umbrafront uses, provided by the sdl12on2 layer over
 * SDL2_image. Loaded pictures arrive as 1.2 surfaces in the file's own pixel format. */
#ifndef SDL12ON2_SDL_IMAGE_H
#define SDL12ON2_SDL_IMAGE_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SDL_IMAGE_MAJOR_VERSION 1
#define SDL_IMAGE_MINOR_VERSION 2
#define SDL_IMAGE_PATCHLEVEL 12

const SDL_version* IMG_Linked_Version(void) SDL12_LINK(IMG_Linked_Version);
SDL_Surface* IMG_Load(const char* file) SDL12_LINK(IMG_Load);
SDL_Surface* IMG_Load_RW(SDL_RWops* src, int freesrc) SDL12_LINK(IMG_Load_RW);

#define IMG_SetError SDL_SetError
#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
