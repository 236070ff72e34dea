// layer_test_sdl2.cpp -- the SDL2 side of layer_test: puts SDL2 events into SDL2's queue and drives
// virtual pads, so the tests can read what the layer makes of them through the 1.2 calls. Only
// plain types cross to layer_test.cpp (which sees the 1.2 headers, not SDL2's).
#include <SDL2/SDL.h>

#include "layer_test_sdl2.h"

static SDL_Joystick* pad = nullptr;

int sdl2_key_code(const char* name)
{
    return SDL_GetKeyFromName(name);
}

void sdl2_push_key(const char* name, int down, int repeat, int mod)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = static_cast<Uint8>(repeat);
    e.key.keysym.sym = SDL_GetKeyFromName(name);
    e.key.keysym.scancode = SDL_GetScancodeFromKey(e.key.keysym.sym);
    e.key.keysym.mod = static_cast<Uint16>(mod);
    SDL_PushEvent(&e);
}

void sdl2_push_quit()
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void sdl2_push_window(int what)
{
    static const Uint8 events[] = {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST,
                                   SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED};
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = events[what];
    SDL_PushEvent(&e);
}

void sdl2_push_mouse_button(int button, int down, int x, int y)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void sdl2_push_wheel(int y)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
}

void sdl2_push_motion(int x, int y, int xrel, int yrel, int left_held)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = xrel;
    e.motion.yrel = yrel;
    e.motion.state = left_held ? SDL_BUTTON_LMASK : 0;
    SDL_PushEvent(&e);
}

int sdl2_attach_pad(int mapped)
{
    // SDL2 lays out a virtual pad of the controller type by itself; an arcade stick it leaves alone.
    int index = SDL_JoystickAttachVirtual(mapped ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_ARCADE_STICK,
                                          6, 15, 0);
    if (index < 0)
        return -1;
    if (mapped) {
        char guid[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
        // Button i of the pad is SDL2's controller button i; triggers are axes 4 and 5.
        char mapping[512];
        SDL_snprintf(mapping, sizeof mapping,
                     "%s,Layer Test Pad,a:b0,b:b1,x:b2,y:b3,back:b4,guide:b5,start:b6,leftstick:b7,rightstick:b8,"
                     "leftshoulder:b9,rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,dpright:b14,leftx:a0,"
                     "lefty:a1,rightx:a2,righty:a3,lefttrigger:a4,righttrigger:a5,",
                     guid);
        if (SDL_GameControllerAddMapping(mapping) < 0)
            return -1;
    }
    pad = SDL_JoystickOpen(index);
    return pad ? index : -1;
}

int sdl2_pad_is_controller(int index)
{
    return SDL_IsGameController(index);
}

void sdl2_pad_button(int button, int down)
{
    SDL_JoystickSetVirtualButton(pad, button, static_cast<Uint8>(down));
    SDL_JoystickUpdate();  // queue the change now: the layer asks the devices only once a millisecond
}

void sdl2_pad_trigger(int which, int percent)
{
    // A full-range axis read as a trigger: -32768 is at rest, 32767 fully in.
    int raw = -32768 + (65535 * percent) / 100;
    SDL_JoystickSetVirtualAxis(pad, 4 + which, static_cast<Sint16>(raw));
    SDL_JoystickUpdate();
}

void sdl2_detach_pad(int index)
{
    if (pad)
        SDL_JoystickClose(pad);
    pad = nullptr;
    SDL_JoystickDetachVirtual(index);
}
