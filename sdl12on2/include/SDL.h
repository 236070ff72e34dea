/* SDL.h -- the SDL 1.2 programming interface that Umbrafront uses, provided on top of SDL2 by this
 * folder's layer (sdl12on2), for targets that have SDL2 but no SDL 1.2: the browser, handhelds,
 * Windows. Types, constants and calls keep SDL 1.2's names, values and results.
 *
 * Every call is linked under the name "sdl12_" + its 1.2 name (SDL12_LINK), so that the layer's
 * SDL_Init and SDL2's own SDL_Init can live in one program. */
#ifndef SDL12ON2_SDL_H
#define SDL12ON2_SDL_H

#include <stddef.h>
#include <stdint.h>

#define SDL12ON2 1
#define SDL12_LINK_PREFIX "sdl12_"
#define SDL12_LINK(name) __asm__(SDL12_LINK_PREFIX #name)

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t Uint8;
typedef int8_t Sint8;
typedef uint16_t Uint16;
typedef int16_t Sint16;
typedef uint32_t Uint32;
typedef int32_t Sint32;
typedef uint64_t Uint64;
typedef int64_t Sint64;
typedef enum { SDL_FALSE = 0, SDL_TRUE = 1 } SDL_bool;

#define SDL_LIL_ENDIAN 1234
#define SDL_BIG_ENDIAN 4321
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define SDL_BYTEORDER SDL_BIG_ENDIAN
#else
#define SDL_BYTEORDER SDL_LIL_ENDIAN
#endif

/* ---- version ---- */
#define SDL_MAJOR_VERSION 1
#define SDL_MINOR_VERSION 2
#define SDL_PATCHLEVEL 15
typedef struct SDL_version {
    Uint8 major;
    Uint8 minor;
    Uint8 patch;
} SDL_version;
#define SDL_VERSION(x) \
    do { (x)->major = SDL_MAJOR_VERSION; (x)->minor = SDL_MINOR_VERSION; (x)->patch = SDL_PATCHLEVEL; } while (0)
const SDL_version* SDL_Linked_Version(void) SDL12_LINK(SDL_Linked_Version);

/* ---- start and stop ---- */
#define SDL_INIT_TIMER 0x00000001
#define SDL_INIT_AUDIO 0x00000010
#define SDL_INIT_VIDEO 0x00000020
#define SDL_INIT_CDROM 0x00000100
#define SDL_INIT_JOYSTICK 0x00000200
#define SDL_INIT_NOPARACHUTE 0x00100000
#define SDL_INIT_EVENTTHREAD 0x01000000
#define SDL_INIT_EVERYTHING 0x0000FFFF
int SDL_Init(Uint32 flags) SDL12_LINK(SDL_Init);
int SDL_InitSubSystem(Uint32 flags) SDL12_LINK(SDL_InitSubSystem);
void SDL_QuitSubSystem(Uint32 flags) SDL12_LINK(SDL_QuitSubSystem);
Uint32 SDL_WasInit(Uint32 flags) SDL12_LINK(SDL_WasInit);
void SDL_Quit(void) SDL12_LINK(SDL_Quit);

/* ---- errors ---- */
void SDL_SetError(const char* format, ...) SDL12_LINK(SDL_SetError);
char* SDL_GetError(void) SDL12_LINK(SDL_GetError);
void SDL_ClearError(void) SDL12_LINK(SDL_ClearError);

/* ---- time ---- */
Uint32 SDL_GetTicks(void) SDL12_LINK(SDL_GetTicks);
void SDL_Delay(Uint32 ms) SDL12_LINK(SDL_Delay);

/* ---- file streams (opaque here; only opened, handed to a loader or saver, and closed) ---- */
typedef struct SDL_RWops SDL_RWops;
SDL_RWops* SDL_RWFromFile(const char* file, const char* mode) SDL12_LINK(SDL_RWFromFile);
SDL_RWops* SDL_RWFromMem(void* mem, int size) SDL12_LINK(SDL_RWFromMem);
int SDL_RWclose(SDL_RWops* context) SDL12_LINK(SDL_RWclose);

/* ---- surfaces ---- */
typedef struct SDL_Rect {
    Sint16 x, y;
    Uint16 w, h;
} SDL_Rect;

typedef struct SDL_Color {
    Uint8 r;
    Uint8 g;
    Uint8 b;
    Uint8 unused;
} SDL_Color;
#define SDL_Colour SDL_Color

typedef struct SDL_Palette {
    int ncolors;
    SDL_Color* colors;
} SDL_Palette;

typedef struct SDL_PixelFormat {
    SDL_Palette* palette;
    Uint8 BitsPerPixel;
    Uint8 BytesPerPixel;
    Uint8 Rloss, Gloss, Bloss, Aloss;
    Uint8 Rshift, Gshift, Bshift, Ashift;
    Uint32 Rmask, Gmask, Bmask, Amask;
    Uint32 colorkey; /* the transparent pixel value of a keyed surface */
    Uint8 alpha;     /* the per-surface alpha */
} SDL_PixelFormat;

typedef struct SDL_Surface {
    Uint32 flags;
    SDL_PixelFormat* format;
    int w, h;
    Uint16 pitch;
    void* pixels;
    int offset;
    void* hwdata;
    SDL_Rect clip_rect;
    Uint32 unused1;
    Uint32 locked;
    void* map; /* the layer's private blit state */
    unsigned int format_version;
    int refcount;
} SDL_Surface;

#define SDL_SWSURFACE 0x00000000
#define SDL_HWSURFACE 0x00000001
#define SDL_ASYNCBLIT 0x00000004
#define SDL_ANYFORMAT 0x10000000
#define SDL_HWPALETTE 0x20000000
#define SDL_DOUBLEBUF 0x40000000
#define SDL_FULLSCREEN 0x80000000
#define SDL_OPENGL 0x00000002
#define SDL_RESIZABLE 0x00000010
#define SDL_NOFRAME 0x00000020
#define SDL_HWACCEL 0x00000100
#define SDL_SRCCOLORKEY 0x00001000
#define SDL_RLEACCELOK 0x00002000
#define SDL_RLEACCEL 0x00004000
#define SDL_SRCALPHA 0x00010000
#define SDL_PREALLOC 0x01000000

#define SDL_ALPHA_OPAQUE 255
#define SDL_ALPHA_TRANSPARENT 0

#define SDL_MUSTLOCK(surface) \
    ((surface)->offset || (((surface)->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0))

#define SDL_LOGPAL 0x01
#define SDL_PHYSPAL 0x02

SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 Rmask,
                                  Uint32 Gmask, Uint32 Bmask, Uint32 Amask) SDL12_LINK(SDL_CreateRGBSurface);
SDL_Surface* SDL_CreateRGBSurfaceFrom(void* pixels, int width, int height, int depth, int pitch,
                                      Uint32 Rmask, Uint32 Gmask, Uint32 Bmask,
                                      Uint32 Amask) SDL12_LINK(SDL_CreateRGBSurfaceFrom);
#define SDL_AllocSurface SDL_CreateRGBSurface
void SDL_FreeSurface(SDL_Surface* surface) SDL12_LINK(SDL_FreeSurface);
int SDL_LockSurface(SDL_Surface* surface) SDL12_LINK(SDL_LockSurface);
void SDL_UnlockSurface(SDL_Surface* surface) SDL12_LINK(SDL_UnlockSurface);
int SDL_SetColors(SDL_Surface* surface, SDL_Color* colors, int firstcolor, int ncolors) SDL12_LINK(SDL_SetColors);
int SDL_SetPalette(SDL_Surface* surface, int flags, SDL_Color* colors, int firstcolor,
                   int ncolors) SDL12_LINK(SDL_SetPalette);
Uint32 SDL_MapRGB(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b) SDL12_LINK(SDL_MapRGB);
Uint32 SDL_MapRGBA(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b, Uint8 a) SDL12_LINK(SDL_MapRGBA);
void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b) SDL12_LINK(SDL_GetRGB);
void SDL_GetRGBA(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b,
                 Uint8* a) SDL12_LINK(SDL_GetRGBA);
int SDL_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key) SDL12_LINK(SDL_SetColorKey);
int SDL_SetAlpha(SDL_Surface* surface, Uint32 flag, Uint8 alpha) SDL12_LINK(SDL_SetAlpha);
SDL_bool SDL_SetClipRect(SDL_Surface* surface, const SDL_Rect* rect) SDL12_LINK(SDL_SetClipRect);
void SDL_GetClipRect(SDL_Surface* surface, SDL_Rect* rect) SDL12_LINK(SDL_GetClipRect);
SDL_Surface* SDL_ConvertSurface(SDL_Surface* src, SDL_PixelFormat* fmt, Uint32 flags) SDL12_LINK(SDL_ConvertSurface);
SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) SDL12_LINK(SDL_DisplayFormat);
SDL_Surface* SDL_DisplayFormatAlpha(SDL_Surface* surface) SDL12_LINK(SDL_DisplayFormatAlpha);
int SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) SDL12_LINK(SDL_UpperBlit);
int SDL_LowerBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) SDL12_LINK(SDL_LowerBlit);
#define SDL_BlitSurface SDL_UpperBlit
int SDL_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32 color) SDL12_LINK(SDL_FillRect);
SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* src, int freesrc) SDL12_LINK(SDL_LoadBMP_RW);
#define SDL_LoadBMP(file) SDL_LoadBMP_RW(SDL_RWFromFile(file, "rb"), 1)
int SDL_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* dst, int freedst) SDL12_LINK(SDL_SaveBMP_RW);
#define SDL_SaveBMP(surface, file) SDL_SaveBMP_RW(surface, SDL_RWFromFile(file, "wb"), 1)

/* ---- the display ---- */
typedef struct SDL_VideoInfo {
    Uint32 hw_available : 1;
    Uint32 wm_available : 1;
    Uint32 UnusedBits1 : 6;
    Uint32 UnusedBits2 : 1;
    Uint32 blit_hw : 1;
    Uint32 blit_hw_CC : 1;
    Uint32 blit_hw_A : 1;
    Uint32 blit_sw : 1;
    Uint32 blit_sw_CC : 1;
    Uint32 blit_sw_A : 1;
    Uint32 blit_fill : 1;
    Uint32 UnusedBits3 : 16;
    Uint32 video_mem;
    SDL_PixelFormat* vfmt;
    int current_w;
    int current_h;
} SDL_VideoInfo;

const SDL_VideoInfo* SDL_GetVideoInfo(void) SDL12_LINK(SDL_GetVideoInfo);
char* SDL_VideoDriverName(char* namebuf, int maxlen) SDL12_LINK(SDL_VideoDriverName);
int SDL_VideoModeOK(int width, int height, int bpp, Uint32 flags) SDL12_LINK(SDL_VideoModeOK);
SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) SDL12_LINK(SDL_SetVideoMode);
SDL_Surface* SDL_GetVideoSurface(void) SDL12_LINK(SDL_GetVideoSurface);
int SDL_Flip(SDL_Surface* screen) SDL12_LINK(SDL_Flip);
void SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) SDL12_LINK(SDL_UpdateRect);
void SDL_UpdateRects(SDL_Surface* screen, int numrects, SDL_Rect* rects) SDL12_LINK(SDL_UpdateRects);
void SDL_WM_SetCaption(const char* title, const char* icon) SDL12_LINK(SDL_WM_SetCaption);
void SDL_WM_GetCaption(char** title, char** icon) SDL12_LINK(SDL_WM_GetCaption);
void SDL_WM_SetIcon(SDL_Surface* icon, Uint8* mask) SDL12_LINK(SDL_WM_SetIcon);
#define SDL_QUERY -1
#define SDL_IGNORE 0
#define SDL_DISABLE 0
#define SDL_ENABLE 1
int SDL_ShowCursor(int toggle) SDL12_LINK(SDL_ShowCursor);

/* ---- keys ---- */
typedef enum {
    SDLK_UNKNOWN = 0, SDLK_FIRST = 0,
    SDLK_BACKSPACE = 8, SDLK_TAB = 9, SDLK_CLEAR = 12, SDLK_RETURN = 13, SDLK_PAUSE = 19,
    SDLK_ESCAPE = 27, SDLK_SPACE = 32, SDLK_EXCLAIM = 33, SDLK_QUOTEDBL = 34, SDLK_HASH = 35,
    SDLK_DOLLAR = 36, SDLK_AMPERSAND = 38, SDLK_QUOTE = 39, SDLK_LEFTPAREN = 40,
    SDLK_RIGHTPAREN = 41, SDLK_ASTERISK = 42, SDLK_PLUS = 43, SDLK_COMMA = 44, SDLK_MINUS = 45,
    SDLK_PERIOD = 46, SDLK_SLASH = 47,
    SDLK_0 = 48, SDLK_1, SDLK_2, SDLK_3, SDLK_4, SDLK_5, SDLK_6, SDLK_7, SDLK_8, SDLK_9,
    SDLK_COLON = 58, SDLK_SEMICOLON = 59, SDLK_LESS = 60, SDLK_EQUALS = 61, SDLK_GREATER = 62,
    SDLK_QUESTION = 63, SDLK_AT = 64, SDLK_LEFTBRACKET = 91, SDLK_BACKSLASH = 92,
    SDLK_RIGHTBRACKET = 93, SDLK_CARET = 94, SDLK_UNDERSCORE = 95, SDLK_BACKQUOTE = 96,
    SDLK_a = 97, SDLK_b, SDLK_c, SDLK_d, SDLK_e, SDLK_f, SDLK_g, SDLK_h, SDLK_i, SDLK_j, SDLK_k,
    SDLK_l, SDLK_m, SDLK_n, SDLK_o, SDLK_p, SDLK_q, SDLK_r, SDLK_s, SDLK_t, SDLK_u, SDLK_v,
    SDLK_w, SDLK_x, SDLK_y, SDLK_z,
    SDLK_DELETE = 127,
    SDLK_KP0 = 256, SDLK_KP1, SDLK_KP2, SDLK_KP3, SDLK_KP4, SDLK_KP5, SDLK_KP6, SDLK_KP7,
    SDLK_KP8, SDLK_KP9, SDLK_KP_PERIOD = 266, SDLK_KP_DIVIDE, SDLK_KP_MULTIPLY, SDLK_KP_MINUS,
    SDLK_KP_PLUS, SDLK_KP_ENTER, SDLK_KP_EQUALS,
    SDLK_UP = 273, SDLK_DOWN, SDLK_RIGHT, SDLK_LEFT, SDLK_INSERT, SDLK_HOME, SDLK_END,
    SDLK_PAGEUP, SDLK_PAGEDOWN,
    SDLK_F1 = 282, SDLK_F2, SDLK_F3, SDLK_F4, SDLK_F5, SDLK_F6, SDLK_F7, SDLK_F8, SDLK_F9,
    SDLK_F10, SDLK_F11, SDLK_F12, SDLK_F13, SDLK_F14, SDLK_F15,
    SDLK_NUMLOCK = 300, SDLK_CAPSLOCK, SDLK_SCROLLOCK, SDLK_RSHIFT, SDLK_LSHIFT, SDLK_RCTRL,
    SDLK_LCTRL, SDLK_RALT, SDLK_LALT, SDLK_RMETA, SDLK_LMETA, SDLK_LSUPER, SDLK_RSUPER,
    SDLK_MODE, SDLK_COMPOSE,
    SDLK_HELP = 315, SDLK_PRINT, SDLK_SYSREQ, SDLK_BREAK, SDLK_MENU, SDLK_POWER, SDLK_EURO,
    SDLK_UNDO,
    SDLK_LAST
} SDLKey;

typedef enum {
    KMOD_NONE = 0x0000, KMOD_LSHIFT = 0x0001, KMOD_RSHIFT = 0x0002, KMOD_LCTRL = 0x0040,
    KMOD_RCTRL = 0x0080, KMOD_LALT = 0x0100, KMOD_RALT = 0x0200, KMOD_LMETA = 0x0400,
    KMOD_RMETA = 0x0800, KMOD_NUM = 0x1000, KMOD_CAPS = 0x2000, KMOD_MODE = 0x4000,
    KMOD_RESERVED = 0x8000
} SDLMod;
#define KMOD_CTRL (KMOD_LCTRL | KMOD_RCTRL)
#define KMOD_SHIFT (KMOD_LSHIFT | KMOD_RSHIFT)
#define KMOD_ALT (KMOD_LALT | KMOD_RALT)
#define KMOD_META (KMOD_LMETA | KMOD_RMETA)

typedef struct SDL_keysym {
    Uint8 scancode;
    SDLKey sym;
    SDLMod mod;
    Uint16 unicode;
} SDL_keysym;

#define SDL_DEFAULT_REPEAT_DELAY 500
#define SDL_DEFAULT_REPEAT_INTERVAL 30
int SDL_EnableKeyRepeat(int delay, int interval) SDL12_LINK(SDL_EnableKeyRepeat);
void SDL_GetKeyRepeat(int* delay, int* interval) SDL12_LINK(SDL_GetKeyRepeat);
int SDL_EnableUNICODE(int enable) SDL12_LINK(SDL_EnableUNICODE);
Uint8* SDL_GetKeyState(int* numkeys) SDL12_LINK(SDL_GetKeyState);
SDLMod SDL_GetModState(void) SDL12_LINK(SDL_GetModState);

/* ---- events ---- */
#define SDL_RELEASED 0
#define SDL_PRESSED 1

typedef enum {
    SDL_NOEVENT = 0, SDL_ACTIVEEVENT, SDL_KEYDOWN, SDL_KEYUP, SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN,
    SDL_MOUSEBUTTONUP, SDL_JOYAXISMOTION, SDL_JOYBALLMOTION, SDL_JOYHATMOTION, SDL_JOYBUTTONDOWN,
    SDL_JOYBUTTONUP, SDL_QUIT, SDL_SYSWMEVENT, SDL_EVENT_RESERVEDA, SDL_EVENT_RESERVEDB,
    SDL_VIDEORESIZE, SDL_VIDEOEXPOSE,
    SDL_USEREVENT = 24,
    SDL_NUMEVENTS = 32
} SDL_EventType;

#define SDL_EVENTMASK(type) (1u << (type))
#define SDL_ALLEVENTS 0xFFFFFFFFu

#define SDL_APPMOUSEFOCUS 0x01
#define SDL_APPINPUTFOCUS 0x02
#define SDL_APPACTIVE 0x04

#define SDL_HAT_CENTERED 0x00
#define SDL_HAT_UP 0x01
#define SDL_HAT_RIGHT 0x02
#define SDL_HAT_DOWN 0x04
#define SDL_HAT_LEFT 0x08

typedef struct SDL_ActiveEvent { Uint8 type; Uint8 gain; Uint8 state; } SDL_ActiveEvent;
typedef struct SDL_KeyboardEvent { Uint8 type; Uint8 which; Uint8 state; SDL_keysym keysym; } SDL_KeyboardEvent;
typedef struct SDL_MouseMotionEvent {
    Uint8 type; Uint8 which; Uint8 state; Uint16 x, y; Sint16 xrel, yrel;
} SDL_MouseMotionEvent;
typedef struct SDL_MouseButtonEvent {
    Uint8 type; Uint8 which; Uint8 button; Uint8 state; Uint16 x, y;
} SDL_MouseButtonEvent;
typedef struct SDL_JoyAxisEvent { Uint8 type; Uint8 which; Uint8 axis; Sint16 value; } SDL_JoyAxisEvent;
typedef struct SDL_JoyBallEvent {
    Uint8 type; Uint8 which; Uint8 ball; Sint16 xrel, yrel;
} SDL_JoyBallEvent;
typedef struct SDL_JoyHatEvent { Uint8 type; Uint8 which; Uint8 hat; Uint8 value; } SDL_JoyHatEvent;
typedef struct SDL_JoyButtonEvent { Uint8 type; Uint8 which; Uint8 button; Uint8 state; } SDL_JoyButtonEvent;
typedef struct SDL_ResizeEvent { Uint8 type; int w; int h; } SDL_ResizeEvent;
typedef struct SDL_ExposeEvent { Uint8 type; } SDL_ExposeEvent;
typedef struct SDL_QuitEvent { Uint8 type; } SDL_QuitEvent;
typedef struct SDL_UserEvent { Uint8 type; int code; void* data1; void* data2; } SDL_UserEvent;
typedef struct SDL_SysWMEvent { Uint8 type; void* msg; } SDL_SysWMEvent;

typedef union SDL_Event {
    Uint8 type;
    SDL_ActiveEvent active;
    SDL_KeyboardEvent key;
    SDL_MouseMotionEvent motion;
    SDL_MouseButtonEvent button;
    SDL_JoyAxisEvent jaxis;
    SDL_JoyBallEvent jball;
    SDL_JoyHatEvent jhat;
    SDL_JoyButtonEvent jbutton;
    SDL_ResizeEvent resize;
    SDL_ExposeEvent expose;
    SDL_QuitEvent quit;
    SDL_UserEvent user;
    SDL_SysWMEvent syswm;
} SDL_Event;

typedef enum { SDL_ADDEVENT, SDL_PEEKEVENT, SDL_GETEVENT } SDL_eventaction;

void SDL_PumpEvents(void) SDL12_LINK(SDL_PumpEvents);
int SDL_PeepEvents(SDL_Event* events, int numevents, SDL_eventaction action, Uint32 mask) SDL12_LINK(SDL_PeepEvents);
int SDL_PollEvent(SDL_Event* event) SDL12_LINK(SDL_PollEvent);
int SDL_WaitEvent(SDL_Event* event) SDL12_LINK(SDL_WaitEvent);
int SDL_PushEvent(SDL_Event* event) SDL12_LINK(SDL_PushEvent);
Uint8 SDL_EventState(Uint8 type, int state) SDL12_LINK(SDL_EventState);

/* ---- joysticks ---- */
typedef struct SDL_Joystick SDL_Joystick;
int SDL_NumJoysticks(void) SDL12_LINK(SDL_NumJoysticks);
const char* SDL_JoystickName(int device_index) SDL12_LINK(SDL_JoystickName);
SDL_Joystick* SDL_JoystickOpen(int device_index) SDL12_LINK(SDL_JoystickOpen);
int SDL_JoystickOpened(int device_index) SDL12_LINK(SDL_JoystickOpened);
int SDL_JoystickIndex(SDL_Joystick* joystick) SDL12_LINK(SDL_JoystickIndex);
int SDL_JoystickNumButtons(SDL_Joystick* joystick) SDL12_LINK(SDL_JoystickNumButtons);
Uint8 SDL_JoystickGetButton(SDL_Joystick* joystick, int button) SDL12_LINK(SDL_JoystickGetButton);
void SDL_JoystickClose(SDL_Joystick* joystick) SDL12_LINK(SDL_JoystickClose);

/* ---- audio (the device itself is opened through SDL_mixer) ---- */
#define AUDIO_U8 0x0008
#define AUDIO_S8 0x8008
#define AUDIO_U16LSB 0x0010
#define AUDIO_S16LSB 0x8010
#define AUDIO_U16MSB 0x1010
#define AUDIO_S16MSB 0x9010
#define AUDIO_U16 AUDIO_U16LSB
#define AUDIO_S16 AUDIO_S16LSB
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
#define AUDIO_U16SYS AUDIO_U16LSB
#define AUDIO_S16SYS AUDIO_S16LSB
#else
#define AUDIO_U16SYS AUDIO_U16MSB
#define AUDIO_S16SYS AUDIO_S16MSB
#endif
#define SDL_MIX_MAXVOLUME 128
void SDL_LockAudio(void) SDL12_LINK(SDL_LockAudio);
void SDL_UnlockAudio(void) SDL12_LINK(SDL_UnlockAudio);
char* SDL_AudioDriverName(char* namebuf, int maxlen) SDL12_LINK(SDL_AudioDriverName);

#ifdef __cplusplus
}
#endif

#endif
