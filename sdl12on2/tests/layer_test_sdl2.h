// layer_test_sdl2.h -- what layer_test.cpp asks of SDL2 directly (layer_test_sdl2.cpp): SDL2 events
// put into SDL2's queue and virtual pads, in plain types.
#ifndef SDL12ON2_LAYER_TEST_SDL2_H
#define SDL12ON2_LAYER_TEST_SDL2_H

// SDL2's key code for a key name ("Up", "Page Up", "Z", "Keypad 5"...).
int sdl2_key_code(const char* name);
// An SDL2 key event of the named key; mod holds SDL2's KMOD bits.
void sdl2_push_key(const char* name, int down, int repeat, int mod);
void sdl2_push_quit();
enum { sdl2_focus_gained, sdl2_focus_lost, sdl2_exposed, sdl2_minimized, sdl2_restored };
void sdl2_push_window(int what);
void sdl2_push_mouse_button(int button, int down, int x, int y);
void sdl2_push_wheel(int y);
void sdl2_push_motion(int x, int y, int xrel, int yrel, int left_held);

// A virtual pad of 15 buttons and 6 axes; mapped: SDL2 knows it as a game controller whose button i
// is SDL2's controller button i and whose triggers are axes 4 and 5. Returns its device index.
int sdl2_attach_pad(int mapped);
int sdl2_pad_is_controller(int index);
void sdl2_pad_button(int button, int down);
// Trigger 0 (left) or 1 (right) pressed in by percent of its travel.
void sdl2_pad_trigger(int which, int percent);
void sdl2_detach_pad(int index);

#endif
