// harness.h -- what every game test needs: the real start-up in a private directory, a virtual
// clock, scripted rand() results, scripted input, reference screens and a record of sounds.
#pragma once
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// ---- time: SDL_GetTicks is the test's (linked with --wrap=SDL_GetTicks) ----
// Every SDL_GetTicks call advances the clock by clock_step ms (1 by default) and every poll of an
// empty event queue by 1 ms, so any waiting loop makes progress in microseconds.
void set_ticks(Uint32 now);
Uint32 ticks_now();
void set_clock_step(Uint32 step);
// A run whose virtual clock passes this many ms beyond the last set_ticks aborts with a message:
// a loop that never ends is a failure, not a hang.
void set_clock_limit(Uint32 span_ms);

// ---- randomness: rand is the test's (linked with --wrap=rand) ----
// The scripted values are handed out first, in order; after them rand() falls back to the C
// library's generator (seed it with srand). rand_calls() counts every call since the last script.
void script_rand(const std::vector<int>& values);
int rand_calls();
size_t rand_script_left();

// ---- input ----
void push_key(SDLKey sym, bool down);
void push_key_press(SDLKey sym);  // down then up, both queued now
void push_pad(int which, bool down);
void push_pad_press(int which);
// Queues the event when the virtual clock reaches `at` (checked on every clock read and poll).
void schedule_key(Uint32 at, SDLKey sym, bool down);
void schedule_pad(Uint32 at, int which, bool down);
void schedule_key_press(Uint32 at, SDLKey sym);  // down at `at`, up 20 ms later
void drop_input();  // empties the SDL queue and every scheduled event

// ---- screens ----
// Compares `screen` with tests/reference/<name>.png, pixel for pixel. On a difference the actual
// picture is written to <build>/test-output/<name>.png. With UMBRA_UPDATE_REFERENCES=1 in the
// environment the reference is (re)written instead.
::testing::AssertionResult screen_matches(const char* name);
::testing::AssertionResult surface_matches(SDL_Surface* surface, const char* name);
// The pieces of the comparison, for a test that has to adjust the expected picture first:
// whether references are being rewritten, reference <name> in the screen's format (null when
// missing; the caller frees it), and an exact comparison that saves the actual picture on failure.
bool updating_references();
SDL_Surface* load_reference(const char* name);
::testing::AssertionResult surface_equals(SDL_Surface* surface, SDL_Surface* expected, const char* name);
// SDL_Flip is wrapped too: flip_count() counts every flip; while capture_flips(true) is on, a
// copy of the screen is kept at each flip (flipped_screen(i), oldest first; capture_flips(false)
// frees them). This is how a test sees a modal box that is gone by the time the call returns.
int flip_count();
void capture_flips(bool on);
size_t flipped_screen_count();
SDL_Surface* flipped_screen(size_t i);
bool write_png(SDL_Surface* surface, const std::string& path);
Uint32 screen_pixel(int x, int y);  // the raw pixel value of `screen` at (x, y)
Uint32 surface_pixel(SDL_Surface* surface, int x, int y);  // the same for any 16-bit surface

// ---- sound: every Mix_PlayChannelTimed call is recorded (linked with --wrap) ----
std::vector<Mix_Chunk*>& started_sounds();

// ---- game set-up ----
// Runs the real startup_game once per test program in a fresh temporary directory (with Data/
// linked in); shut down at the end of the program. Called by the global environment.
const std::string& test_directory();
std::string read_file(const std::string& path);
// A quiet battlefield: every cell Plain, no units, Dark to move, nothing selected, both sides
// played by persons, winner -1, status empty.
void reset_battlefield();
void place_unit(int x, int y, int type);
void set_terrain(int x, int y, int code);
