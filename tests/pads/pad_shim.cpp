// pad_shim.cpp -- for the pad tests only: preloaded (LD_PRELOAD) into umbrafront-pads and the game, it
// stands in for a handheld-style pad plugged in before the program started. Its constructor starts
// SDL2's game controller support, attaches an SDL2 virtual joystick of 16 buttons and 6 axes, and
// gives SDL2 the pad's own mapping line, as if SDL2's database knew the pad: d-pad and face buttons
// numbered as such a handheld numbers them, triggers on axes 2 and 5.
//
// In the game (the program named umbrafront) a thread then reads commands from the FIFO named by
// UMBRA_PAD_FIFO, one a line: "press FIELD" or "release FIELD", FIELD being the control's name in
// the mapping (a, b, back, dpup, leftshoulder, lefttrigger...). A trigger is pressed all the way in.
// Every music volume the game sets is appended to the file named by UMBRA_PAD_VOLUME_LOG.
//
// SDL2 is reached through dlopen and dlsym: sdl12-compat, preloaded before us, exports SDL 1.2
// functions under the same names, and it too dlopens SDL2, so both share one SDL2.
#include <SDL2/SDL.h>

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char* const pad_name = "Umbrafront Handheld Test Pad";
static const char* const pad_fields =
    "a:b1,b:b0,x:b3,y:b2,leftshoulder:b4,rightshoulder:b5,back:b8,start:b9,guide:b10,dpup:b12,"
    "dpdown:b13,dpleft:b14,dpright:b15,leftx:a0,lefty:a1,lefttrigger:a2,rightx:a3,righty:a4,"
    "righttrigger:a5,platform:Linux,";

static int (*sdl_init_sub_system)(Uint32);
static int (*sdl_attach_virtual_ex)(const SDL_VirtualJoystickDesc*);
static SDL_JoystickGUID (*sdl_device_guid)(int);
static void (*sdl_guid_string)(SDL_JoystickGUID, char*, int);
static int (*sdl_add_mapping)(const char*);
static SDL_Joystick* (*sdl_joystick_open)(int);
static int (*sdl_set_button)(SDL_Joystick*, int, Uint8);
static int (*sdl_set_axis)(SDL_Joystick*, int, Sint16);
static const char* (*sdl_get_error)(void);

static SDL_Joystick* pad = nullptr;

static void complain(const char* what)
{
    std::fprintf(stderr, "pad_shim: %s: %s\n", what, sdl_get_error ? sdl_get_error() : dlerror());
}

static bool load_sdl2()
{
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!sdl2)
        return false;
#define LOAD(var, name) var = reinterpret_cast<decltype(var)>(dlsym(sdl2, name)); if (!var) return false
    LOAD(sdl_get_error, "SDL_GetError");
    LOAD(sdl_init_sub_system, "SDL_InitSubSystem");
    LOAD(sdl_attach_virtual_ex, "SDL_JoystickAttachVirtualEx");
    LOAD(sdl_device_guid, "SDL_JoystickGetDeviceGUID");
    LOAD(sdl_guid_string, "SDL_JoystickGetGUIDString");
    LOAD(sdl_add_mapping, "SDL_GameControllerAddMapping");
    LOAD(sdl_joystick_open, "SDL_JoystickOpen");
    LOAD(sdl_set_button, "SDL_JoystickSetVirtualButton");
    LOAD(sdl_set_axis, "SDL_JoystickSetVirtualAxis");
#undef LOAD
    return true;
}

// The binding of FIELD in the pad's mapping: 'b' or 'a' and its number; false when it has none.
static bool binding_of(const char* field, char* kind, int* number)
{
    size_t n = std::strlen(field);
    for (const char* at = pad_fields; *at;) {
        const char* end = std::strchr(at, ',');
        if (static_cast<size_t>(end - at) > n && std::strncmp(at, field, n) == 0 && at[n] == ':') {
            *kind = at[n + 1];
            *number = std::atoi(at + n + 2);
            return *kind == 'a' || *kind == 'b';
        }
        at = end + 1;
    }
    return false;
}

static void command(char* line)
{
    char verb[16], field[32];
    char kind;
    int number;
    if (std::sscanf(line, "%15s %31s", verb, field) != 2 || !binding_of(field, &kind, &number)) {
        std::fprintf(stderr, "pad_shim: cannot follow \"%s\"\n", line);
        return;
    }
    bool down = std::strcmp(verb, "press") == 0;
    if (!down && std::strcmp(verb, "release") != 0) {
        std::fprintf(stderr, "pad_shim: unknown command \"%s\"\n", line);
        return;
    }
    int result = kind == 'b' ? sdl_set_button(pad, number, down ? SDL_PRESSED : SDL_RELEASED)
                             : sdl_set_axis(pad, number, down ? 32767 : -32768);
    if (result != 0)
        complain(line);
}

static void* read_commands(void* fifo)
{
    for (;;) {
        FILE* in = std::fopen(static_cast<const char*>(fifo), "r");  // waits for a writer
        if (!in) {
            std::fprintf(stderr, "pad_shim: cannot open %s: %s\n", static_cast<const char*>(fifo), std::strerror(errno));
            return nullptr;
        }
        char line[128];
        while (std::fgets(line, sizeof line, in)) {
            line[std::strcspn(line, "\n")] = '\0';
            command(line);
        }
        std::fclose(in);
    }
}

__attribute__((constructor)) static void attach_pad()
{
    // Only the two programs the tests start; the launcher's shell and its helpers are left alone.
    bool game = std::strcmp(program_invocation_short_name, "umbrafront") == 0;
    if (!game && std::strcmp(program_invocation_short_name, "umbrafront-pads") != 0)
        return;
    if (!load_sdl2()) {
        std::fprintf(stderr, "pad_shim: cannot reach SDL2: %s\n", dlerror());
        return;
    }
    if (sdl_init_sub_system(SDL_INIT_GAMECONTROLLER) != 0)
        return complain("SDL_InitSubSystem");
    SDL_VirtualJoystickDesc desc;
    std::memset(&desc, 0, sizeof desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;  // SDL2 makes up no mapping of its own for it
    desc.naxes = 6;
    desc.nbuttons = 16;
    desc.vendor_id = 0x1209;
    desc.product_id = 0x0a11;
    desc.name = pad_name;
    int index = sdl_attach_virtual_ex(&desc);
    if (index < 0)
        return complain("SDL_JoystickAttachVirtualEx");
    char guid[64];
    sdl_guid_string(sdl_device_guid(index), guid, sizeof guid);
    char mapping[512];
    std::snprintf(mapping, sizeof mapping, "%s,%s,%s", guid, pad_name, pad_fields);
    // A mapping the player set (SDL_GAMECONTROLLERCONFIG) takes precedence over this one.
    if (sdl_add_mapping(mapping) < 0)
        return complain("SDL_GameControllerAddMapping");
    pad = sdl_joystick_open(index);
    if (!pad)
        return complain("SDL_JoystickOpen");
    // Triggers rest fully out, as a real pad's do.
    sdl_set_axis(pad, 2, -32768);
    sdl_set_axis(pad, 5, -32768);

    const char* fifo = std::getenv("UMBRA_PAD_FIFO");
    if (game && fifo) {
        pthread_t thread;
        if (pthread_create(&thread, nullptr, read_commands, const_cast<char*>(fifo)) == 0)
            pthread_detach(thread);
    }
}

// The volume the game sets, for the test to read.
extern "C" int Mix_VolumeMusic(int volume)
{
    static int (*next)(int) = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "Mix_VolumeMusic"));
    const char* log = std::getenv("UMBRA_PAD_VOLUME_LOG");
    if (log && volume >= 0) {
        int fd = open(log, O_WRONLY | O_APPEND | O_CREAT, 0644);
        if (fd >= 0) {
            char text[32];
            int n = std::snprintf(text, sizeof text, "music %d\n", volume);
            if (write(fd, text, n) != n)
                std::fprintf(stderr, "pad_shim: cannot write to %s\n", log);
            close(fd);
        }
    }
    return next ? next(volume) : 0;
}
