// back_events.cpp -- SDL2's events as SDL 1.2 events: keys as 1.2 key symbols (without SDL2's key
// repeats unless the game asked for repeats), the mouse, the window, and pads. A pad that SDL2 knows
// as a game controller reports the game's own pad button numbers (pad_layout.h).
#include <SDL2/SDL.h>

#include <cstdio>

#include "back.h"
#include "bridge.h"
#include "pad_layout.h"

// 1.2 key symbols that SDL2 numbers differently (values as in 1.2's SDLKey).
enum {
    old_clear = 12, old_pause = 19, old_kp0 = 256, old_kp_period = 266, old_kp_divide = 267,
    old_kp_multiply = 268, old_kp_minus = 269, old_kp_plus = 270, old_kp_enter = 271, old_kp_equals = 272,
    old_up = 273, old_down = 274, old_right = 275, old_left = 276, old_insert = 277, old_home = 278,
    old_end = 279, old_pageup = 280, old_pagedown = 281, old_f1 = 282, old_numlock = 300, old_capslock = 301,
    old_scrollock = 302, old_rshift = 303, old_lshift = 304, old_rctrl = 305, old_lctrl = 306, old_ralt = 307,
    old_lalt = 308, old_lsuper = 311, old_rsuper = 312, old_mode = 313, old_help = 315, old_print = 316,
    old_sysreq = 317, old_menu = 319, old_power = 320, old_undo = 322,
};

static int old_key(SDL_Keycode key)
{
    // Below SDL2's scancode-made keys, SDL2 and 1.2 agree: ASCII, Delete, and the Latin-1 keys.
    if (key >= 0 && key < 256 && !(key & SDLK_SCANCODE_MASK))
        return (key >= 'A' && key <= 'Z') ? key - 'A' + 'a' : key;
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return old_f1 + (key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F15)
        return old_f1 + 12 + (key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return old_kp0 + 1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_KP_0: return old_kp0;
    case SDLK_KP_PERIOD: return old_kp_period;
    case SDLK_KP_DIVIDE: return old_kp_divide;
    case SDLK_KP_MULTIPLY: return old_kp_multiply;
    case SDLK_KP_MINUS: return old_kp_minus;
    case SDLK_KP_PLUS: return old_kp_plus;
    case SDLK_KP_ENTER: return old_kp_enter;
    case SDLK_KP_EQUALS: return old_kp_equals;
    case SDLK_UP: return old_up;
    case SDLK_DOWN: return old_down;
    case SDLK_RIGHT: return old_right;
    case SDLK_LEFT: return old_left;
    case SDLK_INSERT: return old_insert;
    case SDLK_HOME: return old_home;
    case SDLK_END: return old_end;
    case SDLK_PAGEUP: return old_pageup;
    case SDLK_PAGEDOWN: return old_pagedown;
    case SDLK_NUMLOCKCLEAR: return old_numlock;
    case SDLK_CAPSLOCK: return old_capslock;
    case SDLK_SCROLLLOCK: return old_scrollock;
    case SDLK_RSHIFT: return old_rshift;
    case SDLK_LSHIFT: return old_lshift;
    case SDLK_RCTRL: return old_rctrl;
    case SDLK_LCTRL: return old_lctrl;
    case SDLK_RALT: return old_ralt;
    case SDLK_LALT: return old_lalt;
    case SDLK_LGUI: return old_lsuper;
    case SDLK_RGUI: return old_rsuper;
    case SDLK_MODE: return old_mode;
    case SDLK_HELP: return old_help;
    case SDLK_PRINTSCREEN: return old_print;
    case SDLK_SYSREQ: return old_sysreq;
    case SDLK_PAUSE: return old_pause;
    case SDLK_MENU: case SDLK_APPLICATION: return old_menu;
    case SDLK_POWER: return old_power;
    case SDLK_UNDO: return old_undo;
    case SDLK_CLEAR: return old_clear;
    default: return 0;
    }
}

// What 1.2 put in keysym.unicode for a key when asked to: the character the key types, for the
// keys of the US layout (SDL2 reports typed text separately, not with the key).
static int typed_character(int sym, Uint16 mod)
{
    bool shift = (mod & KMOD_SHIFT) != 0;
    if (sym >= 'a' && sym <= 'z')
        return (shift != ((mod & KMOD_CAPS) != 0)) ? sym - 'a' + 'A' : sym;
    if (sym == 8 || sym == 9 || sym == 13 || sym == 27 || sym == 127)
        return sym;
    if (sym < 32 || sym > 126)
        return 0;
    if (!shift)
        return sym;
    static const char plain[] = "`1234567890-=[]\\;',./";
    static const char shifted[] = "~!@#$%^&*()_+{}|:\"<>?";
    for (int i = 0; plain[i]; i++)
        if (plain[i] == sym)
            return shifted[i];
    return sym;
}

static bool key_repeat = false;

void sdl12b_key_repeat(int enabled)
{
    key_repeat = enabled != 0;
}

// ---- pads ----

enum { max_pads = 8 };
struct Pad {
    SDL_GameController* controller;
    SDL_Joystick* joystick;
    SDL_JoystickID id;
    bool trigger_down[2];
    Uint8 buttons[64];
};
static Pad pads[max_pads];
static bool told_unmapped = false;

void back_add_pad_mappings()
{
#ifdef __EMSCRIPTEN__
    // The Gamepad API's "standard" layout, for every browser pad; SDL2 2.26 already has it as its
    // default, and adding it again keeps an older SDL2 right too.
    SDL_GameControllerAddMapping(
        "default,Standard Gamepad,a:b0,b:b1,back:b8,dpdown:b13,dpleft:b14,dpright:b15,dpup:b12,guide:b16,"
        "leftshoulder:b4,leftstick:b10,lefttrigger:b6,leftx:a0,lefty:a1,rightshoulder:b5,rightstick:b11,"
        "righttrigger:b7,rightx:a2,righty:a3,start:b9,x:b2,y:b3,");
#endif
}

static Pad* pad_at(int index)
{
    if (index < 0 || index >= max_pads)
        return nullptr;
    Pad* pad = &pads[index];
    return (pad->controller || pad->joystick) ? pad : nullptr;
}

int sdl12b_joy_count(void)
{
    return SDL_WasInit(SDL_INIT_JOYSTICK) ? SDL_NumJoysticks() : 0;
}

const char* sdl12b_joy_name(int index)
{
    if (SDL_IsGameController(index))
        return SDL_GameControllerNameForIndex(index);
    return SDL_JoystickNameForIndex(index);
}

int sdl12b_joy_open(int index)
{
    if (index < 0 || index >= max_pads || index >= sdl12b_joy_count()) {
        SDL_SetError("Invalid joystick device index");
        return -1;
    }
    Pad* pad = &pads[index];
    if (pad->controller || pad->joystick)
        return 0;
    *pad = Pad();
    if (SDL_IsGameController(index)) {
        pad->controller = SDL_GameControllerOpen(index);
        if (!pad->controller)
            return -1;
        pad->id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad->controller));
        return 0;
    }
    pad->joystick = SDL_JoystickOpen(index);
    if (!pad->joystick)
        return -1;
    pad->id = SDL_JoystickInstanceID(pad->joystick);
    if (!told_unmapped) {
        const char* name = SDL_JoystickName(pad->joystick);
        std::fprintf(stderr, "sdl12on2: SDL2 knows no controller layout for the pad \"%s\"; "
                             "its buttons keep their own numbers\n", name ? name : "?");
        told_unmapped = true;
    }
    return 0;
}

void sdl12b_joy_close(int index)
{
    Pad* pad = pad_at(index);
    if (!pad)
        return;
    if (pad->controller)
        SDL_GameControllerClose(pad->controller);
    if (pad->joystick)
        SDL_JoystickClose(pad->joystick);
    *pad = Pad();
}

void back_close_pads()
{
    for (int i = 0; i < max_pads; i++)
        sdl12b_joy_close(i);
}

int sdl12b_joy_buttons(int index)
{
    Pad* pad = pad_at(index);
    if (!pad)
        return -1;
    if (pad->controller)
        return pad_layout_buttons;
    return SDL_JoystickNumButtons(pad->joystick);
}

int sdl12b_joy_button(int index, int button)
{
    Pad* pad = pad_at(index);
    if (!pad || button < 0 || button >= 64)
        return 0;
    if (pad->joystick)
        return SDL_JoystickGetButton(pad->joystick, button);
    return pad->buttons[button];
}

static int pad_index_of(SDL_JoystickID id, bool controller)
{
    for (int i = 0; i < max_pads; i++) {
        const Pad& pad = pads[i];
        if ((controller ? pad.controller != nullptr : pad.joystick != nullptr) && pad.id == id)
            return i;
    }
    return -1;
}

static void game_button(int index, int control, bool down)
{
    if (control < 0 || control >= pad_control_count)
        return;
    int button = pad_layout[control];
    if (button < 0)
        return;
    Uint8& state = pads[index].buttons[button];
    if (state == (down ? 1 : 0))
        return;
    state = down ? 1 : 0;
    sdl12f_joy_button(index, button, down ? 1 : 0);
}

bool back_pad_event(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        int index = pad_index_of(event.cbutton.which, true);
        if (index >= 0 && event.cbutton.button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT)
            game_button(index, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        int index = pad_index_of(event.caxis.which, true);
        if (index < 0)
            return true;
        int axis = event.caxis.axis;
        if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
            // Pressed past half the travel, released below a third: a trigger resting near the
            // middle does not chatter.
            int which = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT ? 0 : 1;
            bool& down = pads[index].trigger_down[which];
            bool now = down ? event.caxis.value >= 10923 : event.caxis.value >= 16384;
            if (now != down) {
                down = now;
                game_button(index, which == 0 ? pad_control_left_trigger : pad_control_right_trigger, now);
            }
        } else {
            sdl12f_joy_axis(index, axis, event.caxis.value);
        }
        return true;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: {
        int index = pad_index_of(event.jbutton.which, false);
        if (index >= 0)
            sdl12f_joy_button(index, event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
        return true;
    }
    case SDL_JOYAXISMOTION: {
        int index = pad_index_of(event.jaxis.which, false);
        if (index >= 0)
            sdl12f_joy_axis(index, event.jaxis.axis, event.jaxis.value);
        return true;
    }
    case SDL_JOYHATMOTION: {
        int index = pad_index_of(event.jhat.which, false);
        if (index >= 0)
            sdl12f_joy_hat(index, event.jhat.hat, event.jhat.value);  // SDL2 keeps 1.2's hat bits
        return true;
    }
    case SDL_JOYBALLMOTION: {
        int index = pad_index_of(event.jball.which, false);
        if (index >= 0)
            sdl12f_joy_ball(index, event.jball.ball, event.jball.xrel, event.jball.yrel);
        return true;
    }
    default:
        return false;
    }
}

// ---- the pump ----

static int old_mouse_button(int button)
{
    // 1.2 numbers the wheel 4 and 5, so SDL2's extra buttons 4 and 5 are 1.2's 6 and 7.
    return button >= 4 ? button + 2 : button;
}

// A point of the window as the point of the 1.2 screen under it; the same unless scaled.
static void to_screen(int* x, int* y)
{
    if (back_scaled && back_picture_w > 0)
        scaling_to_picture(back_fit, back_picture_w, back_picture_h, x, y);
}

static void window_event(const SDL_WindowEvent& w)
{
    switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: sdl12f_active(1, 0x02); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: sdl12f_active(0, 0x02); break;
    case SDL_WINDOWEVENT_ENTER: sdl12f_active(1, 0x01); break;
    case SDL_WINDOWEVENT_LEAVE: sdl12f_active(0, 0x01); break;
    case SDL_WINDOWEVENT_MINIMIZED: sdl12f_active(0, 0x04); break;
    case SDL_WINDOWEVENT_RESTORED: sdl12f_active(1, 0x04); break;
    case SDL_WINDOWEVENT_EXPOSED: sdl12f_expose(); break;
    case SDL_WINDOWEVENT_RESIZED:
        // Fullscreen on the desktop the window takes the display's size; the game's screen stays.
        if (!back_scaled)
            sdl12f_resize(w.data1, w.data2);
        break;
    default: break;
    }
}

void sdl12b_pump(void)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) && !SDL_WasInit(SDL_INIT_JOYSTICK))
        return;
    // Asking the devices costs system calls (udev, D-Bus) on every pump, and the game polls in a
    // busy loop: ask them at most once a millisecond; what is already queued is taken every time.
    static Uint64 last_pump = 0;
    Uint64 now = SDL_GetPerformanceCounter();
    if (last_pump == 0 || now - last_pump >= SDL_GetPerformanceFrequency() / 1000) {
        SDL_PumpEvents();
        last_pump = now;
    }
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (back_pad_event(event))
            continue;
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (event.key.repeat && !key_repeat)
                break;
            int sym = old_key(event.key.keysym.sym);
            int mod = event.key.keysym.mod & 0x7FFF;
            sdl12f_key(event.type == SDL_KEYDOWN, sym, event.key.keysym.scancode & 0xFF, mod,
                       typed_character(sym, event.key.keysym.mod));
            break;
        }
        case SDL_MOUSEMOTION: {
            Uint32 s = event.motion.state;
            int buttons = (s & 7) | ((s & 0x18) << 2);
            int x = event.motion.x, y = event.motion.y, xrel = event.motion.xrel, yrel = event.motion.yrel;
            if (back_scaled) {
                // Moves as the difference of the mapped points, so whole steps of the picture add up.
                int from_x = x - xrel, from_y = y - yrel;
                to_screen(&from_x, &from_y);
                to_screen(&x, &y);
                xrel = x - from_x;
                yrel = y - from_y;
            }
            sdl12f_mouse_motion(x, y, xrel, yrel, buttons);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            int x = event.button.x, y = event.button.y;
            to_screen(&x, &y);
            sdl12f_mouse_button(event.type == SDL_MOUSEBUTTONDOWN, old_mouse_button(event.button.button), x, y);
            break;
        }
        case SDL_MOUSEWHEEL: {
            if (event.wheel.y == 0)
                break;
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            to_screen(&x, &y);
            int button = event.wheel.y > 0 ? 4 : 5;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
                button = 9 - button;
            sdl12f_mouse_button(1, button, x, y);
            sdl12f_mouse_button(0, button, x, y);
            break;
        }
        case SDL_WINDOWEVENT:
            window_event(event.window);
            break;
        case SDL_QUIT:
            sdl12f_quit();
            break;
        default:
            break;
        }
    }
}
