# link_names.cmake -- umbra_wrap_sdl(<target> <call>...) links <target> with --wrap=<call> for
# each SDL call, under the name the call links as: its own with the system's SDL 1.2, the layer's
# prefixed one (sdl12_<call>) on sdl12on2. The sources declare those wrappers with UMBRA_WRAP_SDL
# (link_names.h). Functions that are not SDL's (rand, the game's own) keep plain --wrap options.
set(UMBRA_SDL_LINK_PREFIX "")
if(UMBRA_SDL_LAYER)
  set(UMBRA_SDL_LINK_PREFIX "sdl12_")
endif()

function(umbra_wrap_sdl target)
  foreach(call ${ARGN})
    target_link_options(${target} PRIVATE "LINKER:--wrap=${UMBRA_SDL_LINK_PREFIX}${call}")
  endforeach()
endfunction()
