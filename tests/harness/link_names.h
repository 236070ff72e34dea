// link_names.h -- the linker names of SDL calls that tests and benchmarks take over with --wrap.
// On the sdl12on2 layer every SDL 1.2 call links as SDL12_LINK_PREFIX followed by its name, so
// the linker's __wrap_ and __real_ symbols carry that prefix too; with the system's SDL 1.2 they
// are the plain names. link_names.cmake passes the matching --wrap options.
#pragma once
#include <SDL.h>

#ifdef SDL12ON2
#define UMBRA_SDL_LINK_PREFIX SDL12_LINK_PREFIX
#else
#define UMBRA_SDL_LINK_PREFIX ""
#endif

// Declares __wrap_<name> (which the file then defines) and __real_<name> (SDL's own call) for
// the SDL call `name` returning `type` with the parenthesised `params`.
#define UMBRA_WRAP_SDL(type, name, params)                                      \
    extern "C" type __wrap_##name params                                        \
        __asm__("__wrap_" UMBRA_SDL_LINK_PREFIX #name);                         \
    extern "C" type __real_##name params __asm__("__real_" UMBRA_SDL_LINK_PREFIX #name)
