// events.cpp -- SDL 1.2's event queue, fed by the back's translation of SDL2 events: 128 events at
// most, taken and peeked by type mask, with per-type filters, the key state table and joysticks.
#include "events.h"

#include <cstring>

#include "SDL.h"
#include "bridge.h"

enum { max_events = 127 };  // 1.2's ring of 128 keeps one place free
static SDL_Event queue[max_events];
static int queue_head = 0;
static int queue_count = 0;

static Uint8 type_state[SDL_NUMEVENTS];
static bool type_state_set = false;
static Uint8 key_state[SDLK_LAST];
static SDLMod mod_state = KMOD_NONE;
static int repeat_delay = 0;
static int repeat_interval = 0;
static bool unicode_on = false;
static Uint8 mouse_buttons = 0;

static void default_type_states()
{
    if (type_state_set)
        return;
    std::memset(type_state, SDL_ENABLE, sizeof type_state);
    type_state[SDL_SYSWMEVENT] = SDL_IGNORE;  // as in 1.2: window manager messages are off by default
    type_state_set = true;
}

static bool queue_active()
{
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

static bool add_event(const SDL_Event& event)
{
    if (queue_count >= max_events)
        return false;
    queue[(queue_head + queue_count) % max_events] = event;
    queue_count++;
    return true;
}

static void remove_at(int position)
{
    // Later events move up one place, keeping their order.
    for (int i = position; i < queue_count - 1; i++)
        queue[(queue_head + i) % max_events] = queue[(queue_head + i + 1) % max_events];
    queue_count--;
}

int SDL_PeepEvents(SDL_Event* events, int numevents, SDL_eventaction action, Uint32 mask)
{
    if (!queue_active()) {
        SDL_SetError("Video subsystem has not been initialized");
        return -1;
    }
    int used = 0;
    if (action == SDL_ADDEVENT) {
        for (; used < numevents; used++)
            if (!add_event(events[used]))
                break;
        return used;
    }
    for (int i = 0; i < queue_count && used < numevents;) {
        SDL_Event& e = queue[(queue_head + i) % max_events];
        if (!(SDL_EVENTMASK(e.type) & mask)) {
            i++;
            continue;
        }
        if (events)
            events[used] = e;
        used++;
        if (action == SDL_GETEVENT) {
            if (i == 0) {
                queue_head = (queue_head + 1) % max_events;
                queue_count--;
            } else {
                remove_at(i);
            }
        } else {
            i++;
        }
    }
    return used;
}

void SDL_PumpEvents(void)
{
    default_type_states();
    sdl12b_pump();
    // Nothing to do: in the browser this is where the page gets its turn, once a frame.
    if (queue_count == 0)
        sdl12b_idle();
}

int SDL_PollEvent(SDL_Event* event)
{
    SDL_PumpEvents();
    return SDL_PeepEvents(event, 1, event ? SDL_GETEVENT : SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 ? 1 : 0;
}

int SDL_WaitEvent(SDL_Event* event)
{
    for (;;) {
        SDL_PumpEvents();
        int got = SDL_PeepEvents(event, 1, event ? SDL_GETEVENT : SDL_PEEKEVENT, SDL_ALLEVENTS);
        if (got < 0)
            return 0;
        if (got > 0)
            return 1;
        SDL_Delay(10);
    }
}

int SDL_PushEvent(SDL_Event* event)
{
    return SDL_PeepEvents(event, 1, SDL_ADDEVENT, 0) <= 0 ? -1 : 0;
}

// As in 1.2, setting a state (not a query) discards every pending event, of any type.
Uint8 SDL_EventState(Uint8 type, int state)
{
    default_type_states();
    SDL_Event discarded;
    if (type == 0xFF) {
        // 1.2 stores even a query here, which then counts as neither enabled nor ignored.
        Uint8 was = SDL_IGNORE;
        for (int t = 0; t < SDL_NUMEVENTS; t++) {
            if (type_state[t] != SDL_IGNORE)
                was = SDL_ENABLE;
            type_state[t] = static_cast<Uint8>(state);
        }
        while (SDL_PollEvent(&discarded) > 0) {
        }
        return was;
    }
    if (type >= SDL_NUMEVENTS)
        return SDL_IGNORE;
    Uint8 was = type_state[type];
    if (state == SDL_IGNORE || state == SDL_ENABLE) {
        type_state[type] = static_cast<Uint8>(state);
        while (SDL_PollEvent(&discarded) > 0) {
        }
    }
    return was;
}

static void post(const SDL_Event& event)
{
    default_type_states();
    if (type_state[event.type] == SDL_ENABLE)
        add_event(event);
}

void sdl12_events_reset()
{
    queue_head = 0;
    queue_count = 0;
    type_state_set = false;
    std::memset(key_state, 0, sizeof key_state);
    mod_state = KMOD_NONE;
    repeat_delay = repeat_interval = 0;
    unicode_on = false;
    mouse_buttons = 0;
    sdl12b_key_repeat(0);
}

// ---- keys ----

int SDL_EnableKeyRepeat(int delay, int interval)
{
    if (delay < 0 || interval < 0) {
        SDL_SetError("keyboard repeat value less than zero");
        return -1;
    }
    repeat_delay = delay;
    repeat_interval = interval;
    // SDL2 repeats keys at the system's pace; the layer only passes its repeats on or drops them.
    sdl12b_key_repeat(delay > 0);
    return 0;
}

void SDL_GetKeyRepeat(int* delay, int* interval)
{
    if (delay)
        *delay = repeat_delay;
    if (interval)
        *interval = repeat_interval;
}

int SDL_EnableUNICODE(int enable)
{
    int was = unicode_on ? 1 : 0;
    if (enable >= 0)
        unicode_on = enable != 0;
    return was;
}

Uint8* SDL_GetKeyState(int* numkeys)
{
    if (numkeys)
        *numkeys = SDLK_LAST;
    return key_state;
}

SDLMod SDL_GetModState(void)
{
    return mod_state;
}

void sdl12f_key(int down, int sym, int scancode, int mod, int unicode)
{
    if (sym < 0 || sym >= SDLK_LAST)
        sym = 0;
    // 1.2 drops a press of a key already down and a release of one already up.
    Uint8 state = down ? SDL_PRESSED : SDL_RELEASED;
    if (key_state[sym] == state)
        return;
    key_state[sym] = state;
    mod_state = static_cast<SDLMod>(mod);
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.which = 0;
    event.key.state = state;
    event.key.keysym.scancode = static_cast<Uint8>(scancode);
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    event.key.keysym.mod = mod_state;
    event.key.keysym.unicode = (down && unicode_on) ? static_cast<Uint16>(unicode) : 0;
    post(event);
}

// ---- mouse and window ----

void sdl12f_mouse_motion(int x, int y, int xrel, int yrel, int buttons)
{
    mouse_buttons = static_cast<Uint8>(buttons);
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_MOUSEMOTION;
    event.motion.state = mouse_buttons;
    event.motion.x = static_cast<Uint16>(x < 0 ? 0 : x);
    event.motion.y = static_cast<Uint16>(y < 0 ? 0 : y);
    event.motion.xrel = static_cast<Sint16>(xrel);
    event.motion.yrel = static_cast<Sint16>(yrel);
    post(event);
}

void sdl12f_mouse_button(int down, int button, int x, int y)
{
    if (button >= 1 && button <= 8) {
        if (down)
            mouse_buttons |= static_cast<Uint8>(1 << (button - 1));
        else
            mouse_buttons &= static_cast<Uint8>(~(1 << (button - 1)));
    }
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = static_cast<Uint16>(x < 0 ? 0 : x);
    event.button.y = static_cast<Uint16>(y < 0 ? 0 : y);
    post(event);
}

void sdl12f_active(int gain, int state)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = static_cast<Uint8>(gain);
    event.active.state = static_cast<Uint8>(state);
    post(event);
}

void sdl12f_quit(void)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_QUIT;
    post(event);
}

void sdl12f_expose(void)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_VIDEOEXPOSE;
    post(event);
}

void sdl12f_resize(int w, int h)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_VIDEORESIZE;
    event.resize.w = w;
    event.resize.h = h;
    post(event);
}

// ---- joysticks ----

struct SDL_Joystick {
    int index;
    int opened;  // 1.2 counts opens of one device and hands out the same joystick
};
enum { max_joysticks = 8 };
static SDL_Joystick joysticks[max_joysticks];

int SDL_NumJoysticks(void)
{
    int n = sdl12b_joy_count();
    return n > max_joysticks ? max_joysticks : n;
}

const char* SDL_JoystickName(int device_index)
{
    if (device_index < 0 || device_index >= SDL_NumJoysticks()) {
        SDL_SetError("There are %d joysticks available", SDL_NumJoysticks());
        return nullptr;
    }
    return sdl12b_joy_name(device_index);
}

SDL_Joystick* SDL_JoystickOpen(int device_index)
{
    if (device_index < 0 || device_index >= SDL_NumJoysticks()) {
        SDL_SetError("There are %d joysticks available", SDL_NumJoysticks());
        return nullptr;
    }
    SDL_Joystick* joystick = &joysticks[device_index];
    if (joystick->opened == 0 && sdl12b_joy_open(device_index) < 0)
        return nullptr;
    joystick->index = device_index;
    joystick->opened++;
    return joystick;
}

int SDL_JoystickOpened(int device_index)
{
    if (device_index < 0 || device_index >= max_joysticks)
        return 0;
    return joysticks[device_index].opened > 0 ? 1 : 0;
}

static bool valid(SDL_Joystick* joystick)
{
    if (!joystick || joystick < joysticks || joystick >= joysticks + max_joysticks || joystick->opened == 0) {
        SDL_SetError("Joystick hasn't been opened yet");
        return false;
    }
    return true;
}

int SDL_JoystickIndex(SDL_Joystick* joystick)
{
    return valid(joystick) ? joystick->index : -1;
}

int SDL_JoystickNumButtons(SDL_Joystick* joystick)
{
    return valid(joystick) ? sdl12b_joy_buttons(joystick->index) : -1;
}

Uint8 SDL_JoystickGetButton(SDL_Joystick* joystick, int button)
{
    if (!valid(joystick))
        return 0;
    return static_cast<Uint8>(sdl12b_joy_button(joystick->index, button));
}

void SDL_JoystickClose(SDL_Joystick* joystick)
{
    if (!valid(joystick))
        return;
    if (--joystick->opened == 0)
        sdl12b_joy_close(joystick->index);
}

void sdl12_joysticks_quit()
{
    for (int i = 0; i < max_joysticks; i++) {
        if (joysticks[i].opened)
            sdl12b_joy_close(i);
        joysticks[i].opened = 0;
    }
}

void sdl12f_joy_button(int which, int button, int down)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.which = static_cast<Uint8>(which);
    event.jbutton.button = static_cast<Uint8>(button);
    event.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    post(event);
}

void sdl12f_joy_axis(int which, int axis, int value)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.which = static_cast<Uint8>(which);
    event.jaxis.axis = static_cast<Uint8>(axis);
    event.jaxis.value = static_cast<Sint16>(value);
    post(event);
}

void sdl12f_joy_hat(int which, int hat, int value)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_JOYHATMOTION;
    event.jhat.which = static_cast<Uint8>(which);
    event.jhat.hat = static_cast<Uint8>(hat);
    event.jhat.value = static_cast<Uint8>(value);
    post(event);
}

void sdl12f_joy_ball(int which, int ball, int xrel, int yrel)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_JOYBALLMOTION;
    event.jball.which = static_cast<Uint8>(which);
    event.jball.ball = static_cast<Uint8>(ball);
    event.jball.xrel = static_cast<Sint16>(xrel);
    event.jball.yrel = static_cast<Sint16>(yrel);
    post(event);
}
