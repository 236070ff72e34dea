// input_events.cpp -- keyboard and pad events for scripted and random input.
#include "input_events.h"

#include <cstring>

SDL_Event key_event(SDLKey sym, bool down)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event pad_event(int which, bool down)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    e.jbutton.type = e.type;
    e.jbutton.which = 0;
    e.jbutton.button = static_cast<Uint8>(which);
    e.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    return e;
}
