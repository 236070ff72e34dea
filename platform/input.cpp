// input.cpp -- one poll turns every pending keyboard and pad event into the game's input state.
// The same controls arrive as keys on a desktop and as joystick buttons on the handheld's pad.
#include "platform/input.h"

#include "platform/log.h"
#include "platform/sound.h"

int cursor_x = 0;
int cursor_y = 0;
int button = 0;
int key[256] = {};
int shoulder_l = 0;
int shoulder_r = 0;
SDL_Joystick* joystick = nullptr;

// Pad buttons as the handheld reports them.
enum {
    pad_up = 0, pad_left = 2, pad_down = 4, pad_right = 6, pad_select = 9,
    pad_l = 10, pad_r = 11, pad_a = 12, pad_b = 13, pad_volume_up = 16, pad_volume_down = 17,
};

void init_vidkit()
{
    log_line("Initiating vidkit");
    log_line("Initiating joystick");
    joystick = SDL_JoystickOpen(0);
    log_line("Done with init_vidkit");
}

static void key_down(SDLKey sym)
{
    switch (sym) {
    case SDLK_UP: cursor_y--; break;
    case SDLK_DOWN: cursor_y++; break;
    case SDLK_LEFT: cursor_x--; break;
    case SDLK_RIGHT: cursor_x++; break;
    case SDLK_z: button = 1; break;
    case SDLK_x: button = 2; break;
    case SDLK_TAB: button = 3; break;
    case SDLK_ESCAPE: key[0] = 1; break;
    case SDLK_PAGEUP: change_volume(8); break;
    case SDLK_PAGEDOWN: change_volume(-8); break;
    default: break;
    }
}

static void key_up(SDLKey sym)
{
    if (sym == SDLK_z || sym == SDLK_x)
        button = 0;
    else if (sym == SDLK_ESCAPE)
        key[0] = 0;
}

static void pad_down_event(int which)
{
    switch (which) {
    case pad_up: cursor_y--; break;
    case pad_left: cursor_x--; break;
    case pad_down: cursor_y++; break;
    case pad_right: cursor_x++; break;
    case pad_select: button = 3; break;
    case pad_l: shoulder_l = 1; break;
    case pad_r: shoulder_r = 1; break;
    case pad_a: button = 1; break;
    case pad_b: button = 2; break;
    case pad_volume_up: change_volume(8); break;
    case pad_volume_down: change_volume(-8); break;
    default: break;
    }
}

static void pad_up_event(int which)
{
    switch (which) {
    case pad_a: case pad_b: button = 0; break;
    case pad_l: shoulder_l = 0; break;
    case pad_r: shoulder_r = 0; break;
    default: break;
    }
}

void poll_input()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN: key_down(event.key.keysym.sym); break;
        case SDL_KEYUP: key_up(event.key.keysym.sym); break;
        case SDL_JOYBUTTONDOWN: pad_down_event(event.jbutton.button); break;
        case SDL_JOYBUTTONUP: pad_up_event(event.jbutton.button); break;
        default: break;  // mouse, axes, hats and the window's close request do nothing
        }
    }
    // Moves are summed over the whole poll and clamped once, so Left, Left, Right at 0 stays at 0.
    if (cursor_x < 0) cursor_x = 0;
    if (cursor_x > 19) cursor_x = 19;
    if (cursor_y < 0) cursor_y = 0;
    if (cursor_y > 11) cursor_y = 11;
    if (shoulder_r && shoulder_l)
        key[0] = 1;
}

void clear_input()
{
    button = 0;
    for (int& k : key)
        k = 0;
    shoulder_r = 0;
    shoulder_l = 0;
}

void wait_ms(Uint32 ms)
{
    // Mended: elapsed time is measured from the start, so a tick counter about to wrap
    // cannot end the wait early.
    Uint32 start = SDL_GetTicks();
    while (SDL_GetTicks() - start < ms)
        poll_input();
}

void wait_button_cycle()
{
    while (button != 0)
        poll_input();
    while (button == 0)
        poll_input();
    while (button != 0)
        poll_input();
}
