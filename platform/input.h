// input.h -- keyboard and pad input turned into cursor, button and quit state; timed waits.
#pragma once
#include <SDL.h>

extern int cursor_x;    // board column under the cursor, 0..19
extern int cursor_y;    // board row under the cursor, 0..11
extern int button;      // 0 none, 1 A (confirm), 2 B (back, statistics), 3 Select (end turn)
extern int key[256];    // key[0] = 1: the player asks to quit
extern int shoulder_l;  // pad L held
extern int shoulder_r;  // pad R held
extern SDL_Joystick* joystick;  // joystick 0, or null when there is none

void init_vidkit();
void poll_input();
void clear_input();
void wait_ms(Uint32 ms);
// The modal screens' dismissal: release, press and release of any button.
void wait_button_cycle();
