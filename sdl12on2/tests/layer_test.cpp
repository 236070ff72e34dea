// layer_test.cpp -- what the layer makes of SDL2's events, read through the 1.2 calls the game uses:
// key symbols, SDL2's key repeats, modifiers, the window, the mouse (also mapped back from a
// fullscreen display), and pads (controllers under the game's button numbers, triggers with
// hysteresis, unmapped pads as they are).
#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "layer_test_sdl2.h"
#include "pad_layout.h"

namespace {

std::vector<SDL_Event> take_all()
{
    std::vector<SDL_Event> events;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        events.push_back(e);
    return events;
}

class LayerEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE), nullptr) << SDL_GetError();
        take_all();
    }
    void TearDown() override { SDL_Quit(); }
};

TEST_F(LayerEvents, KeysArriveAsTheir12Symbols)
{
    struct Row {
        const char* sdl2_name;
        int sym;
    };
    const Row rows[] = {
        {"Up", SDLK_UP}, {"Down", SDLK_DOWN}, {"Left", SDLK_LEFT}, {"Right", SDLK_RIGHT}, {"Z", SDLK_z},
        {"X", SDLK_x}, {"Tab", SDLK_TAB}, {"Escape", SDLK_ESCAPE}, {"PageUp", SDLK_PAGEUP},
        {"PageDown", SDLK_PAGEDOWN}, {"Return", SDLK_RETURN}, {"Backspace", SDLK_BACKSPACE},
        {"Delete", SDLK_DELETE}, {"Space", SDLK_SPACE}, {"1", SDLK_1}, {"F1", SDLK_F1}, {"F12", SDLK_F12},
        {"F15", SDLK_F15}, {"Keypad 0", SDLK_KP0}, {"Keypad 9", SDLK_KP9}, {"Keypad Enter", SDLK_KP_ENTER},
        {"Keypad .", SDLK_KP_PERIOD}, {"Insert", SDLK_INSERT}, {"Home", SDLK_HOME}, {"End", SDLK_END},
        {"Left Shift", SDLK_LSHIFT}, {"Right Ctrl", SDLK_RCTRL}, {"Left Alt", SDLK_LALT},
        {"Left GUI", SDLK_LSUPER}, {"CapsLock", SDLK_CAPSLOCK}, {"Numlock", SDLK_NUMLOCK},
        {"ScrollLock", SDLK_SCROLLOCK}, {"Pause", SDLK_PAUSE}, {"PrintScreen", SDLK_PRINT}, {"[", SDLK_LEFTBRACKET},
    };
    for (const Row& row : rows) {
        ASSERT_NE(sdl2_key_code(row.sdl2_name), 0) << "SDL2 has no key named " << row.sdl2_name;
        sdl2_push_key(row.sdl2_name, 1, 0, 0);
        sdl2_push_key(row.sdl2_name, 0, 0, 0);
        std::vector<SDL_Event> events = take_all();
        ASSERT_EQ(events.size(), 2u) << row.sdl2_name;
        EXPECT_EQ(events[0].type, SDL_KEYDOWN) << row.sdl2_name;
        EXPECT_EQ(events[0].key.state, SDL_PRESSED) << row.sdl2_name;
        EXPECT_EQ(events[0].key.keysym.sym, row.sym) << row.sdl2_name;
        EXPECT_EQ(events[1].type, SDL_KEYUP) << row.sdl2_name;
        EXPECT_EQ(events[1].key.state, SDL_RELEASED) << row.sdl2_name;
        EXPECT_EQ(events[1].key.keysym.sym, row.sym) << row.sdl2_name;
    }
}

TEST_F(LayerEvents, Sdl2KeyRepeatsAreDroppedUnlessTheGameAsksForRepeats)
{
    sdl2_push_key("Left", 1, 0, 0);
    sdl2_push_key("Left", 1, 1, 0);
    sdl2_push_key("Left", 1, 1, 0);
    EXPECT_EQ(take_all().size(), 1u) << "1.2 repeats no key by default";
    EXPECT_EQ(SDL_GetKeyState(nullptr)[SDLK_LEFT], SDL_PRESSED);
    sdl2_push_key("Left", 0, 0, 0);
    take_all();
    EXPECT_EQ(SDL_GetKeyState(nullptr)[SDLK_LEFT], SDL_RELEASED);

    ASSERT_EQ(SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL), 0);
    sdl2_push_key("Left", 1, 0, 0);
    sdl2_push_key("Left", 0, 0, 0);
    sdl2_push_key("Left", 1, 0, 0);
    sdl2_push_key("Left", 1, 1, 0);
    std::vector<SDL_Event> events = take_all();
    // The repeat of a held key is a press of a key already down, passed on only with repeats on.
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].type, SDL_KEYDOWN);
    SDL_EnableKeyRepeat(0, 0);
    sdl2_push_key("Left", 1, 1, 0);
    EXPECT_EQ(take_all().size(), 0u);
}

TEST_F(LayerEvents, ModifiersAndTypedCharacters)
{
    const int shift_and_numlock = KMOD_LSHIFT | KMOD_NUM;  // SDL2 uses 1.2's bits
    sdl2_push_key("A", 1, 0, shift_and_numlock);
    std::vector<SDL_Event> events = take_all();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].key.keysym.sym, SDLK_a);
    EXPECT_EQ(events[0].key.keysym.mod, shift_and_numlock);
    EXPECT_EQ(events[0].key.keysym.unicode, 0) << "no characters before SDL_EnableUNICODE";
    EXPECT_EQ(SDL_GetModState(), shift_and_numlock);
    sdl2_push_key("A", 0, 0, shift_and_numlock);
    SDL_EnableUNICODE(1);
    sdl2_push_key("A", 1, 0, KMOD_LSHIFT);
    sdl2_push_key("A", 0, 0, KMOD_LSHIFT);
    sdl2_push_key("1", 1, 0, KMOD_RSHIFT);
    sdl2_push_key("1", 0, 0, 0);
    sdl2_push_key("1", 1, 0, 0);
    events = take_all();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[1].key.keysym.unicode, 'A');
    EXPECT_EQ(events[2].key.keysym.unicode, 0) << "a release types nothing";
    EXPECT_EQ(events[3].key.keysym.unicode, '!');
    EXPECT_EQ(events[5].key.keysym.unicode, '1');
}

TEST_F(LayerEvents, TheWindowsRequestsAndFocus)
{
    sdl2_push_window(sdl2_focus_lost);
    sdl2_push_window(sdl2_focus_gained);
    sdl2_push_window(sdl2_minimized);
    sdl2_push_window(sdl2_exposed);
    sdl2_push_quit();
    std::vector<SDL_Event> events = take_all();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].type, SDL_ACTIVEEVENT);
    EXPECT_EQ(events[0].active.gain, 0);
    EXPECT_EQ(events[0].active.state, SDL_APPINPUTFOCUS);
    EXPECT_EQ(events[1].active.gain, 1);
    EXPECT_EQ(events[2].type, SDL_ACTIVEEVENT);
    EXPECT_EQ(events[2].active.state, SDL_APPACTIVE);
    EXPECT_EQ(events[3].type, SDL_VIDEOEXPOSE);
    EXPECT_EQ(events[4].type, SDL_QUIT);

    SDL_EventState(SDL_ACTIVEEVENT, SDL_IGNORE);
    sdl2_push_window(sdl2_focus_gained);
    sdl2_push_quit();
    events = take_all();
    ASSERT_EQ(events.size(), 1u) << "an ignored type is never queued";
    EXPECT_EQ(events[0].type, SDL_QUIT);
}

TEST_F(LayerEvents, TheMouseWithItsWheelAsButtonsFourAndFive)
{
    sdl2_push_motion(10, 20, 3, -4, 1);
    sdl2_push_mouse_button(1, 1, 10, 20);
    sdl2_push_wheel(1);
    sdl2_push_wheel(-2);
    sdl2_push_mouse_button(4, 1, 0, 0);  // SDL2's first extra button
    std::vector<SDL_Event> events = take_all();
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0].type, SDL_MOUSEMOTION);
    EXPECT_EQ(events[0].motion.x, 10);
    EXPECT_EQ(events[0].motion.yrel, -4);
    EXPECT_EQ(events[0].motion.state, 1);
    EXPECT_EQ(events[1].type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(events[1].button.button, 1);
    EXPECT_EQ(events[2].button.button, 4);
    EXPECT_EQ(events[2].type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(events[3].type, SDL_MOUSEBUTTONUP);
    EXPECT_EQ(events[4].button.button, 5);
    EXPECT_EQ(events[6].button.button, 6) << "1.2 calls the first extra button 6";
}

// Fullscreen, the window is the display's size (the dummy driver's desktop is 1024x768: scale 3
// at +32+24), the game's screen stays 320x240, and the mouse reaches the game in its terms.
TEST(LayerFullscreen, TheMouseIsMappedOntoThePictureAndTheScreenKeepsItsSize)
{
    setenv("SDL12ON2_FULLSCREEN", "1", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Surface* screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    unsetenv("SDL12ON2_FULLSCREEN");
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    EXPECT_EQ(screen->w, 320);
    EXPECT_EQ(screen->h, 240);
    take_all();
    sdl2_push_motion(32 + 3 * 100 + 2, 24 + 3 * 50, 6, -3, 0);  // from (30 + ..., 51) in picture terms
    sdl2_push_mouse_button(1, 1, 32 + 3 * 319 + 2, 24 + 3 * 239 + 2);
    sdl2_push_mouse_button(1, 0, 5, 1000);  // in the black: clamped to the picture's edge
    std::vector<SDL_Event> events = take_all();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].motion.x, 100);
    EXPECT_EQ(events[0].motion.y, 50);
    EXPECT_EQ(events[0].motion.xrel, 2);
    EXPECT_EQ(events[0].motion.yrel, -1);
    EXPECT_EQ(events[1].button.x, 319);
    EXPECT_EQ(events[1].button.y, 239);
    EXPECT_EQ(events[2].button.x, 0);
    EXPECT_EQ(events[2].button.y, 239);
    SDL_Quit();

    // Without the variable the window is the screen, and points pass as they are.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_NE(SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE), nullptr) << SDL_GetError();
    take_all();
    sdl2_push_mouse_button(1, 1, 200, 100);
    events = take_all();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].button.x, 200);
    EXPECT_EQ(events[0].button.y, 100);
    SDL_Quit();
}

// The pad's button numbers as the game reads them, from the events of one poll.
std::vector<std::pair<int, int>> pad_presses()
{
    std::vector<std::pair<int, int>> presses;
    for (const SDL_Event& e : take_all()) {
        EXPECT_TRUE(e.type == SDL_JOYBUTTONDOWN || e.type == SDL_JOYBUTTONUP) << "event type " << int(e.type);
        if (e.type == SDL_JOYBUTTONDOWN || e.type == SDL_JOYBUTTONUP)
            presses.emplace_back(e.jbutton.button, e.type == SDL_JOYBUTTONDOWN ? 1 : 0);
    }
    return presses;
}

TEST_F(LayerEvents, AControllerPlaysTheGamesPadButtons)
{
    int index = sdl2_attach_pad(1);
    ASSERT_GE(index, 0) << "no virtual pad";
    ASSERT_TRUE(sdl2_pad_is_controller(index));
    ASSERT_EQ(SDL_NumJoysticks(), 1);
    SDL_Joystick* joystick = SDL_JoystickOpen(0);
    ASSERT_NE(joystick, nullptr);
    EXPECT_EQ(SDL_JoystickNumButtons(joystick), 18);
    take_all();

    const std::pair<int, int> expected[] = {
        {pad_control_dpad_up, 0}, {pad_control_dpad_left, 2}, {pad_control_dpad_down, 4},
        {pad_control_dpad_right, 6}, {pad_control_a, 12}, {pad_control_b, 13}, {pad_control_back, 9},
        {pad_control_left_shoulder, 10}, {pad_control_right_shoulder, 11},
    };
    for (const auto& [control, button] : expected) {
        ASSERT_EQ(pad_layout[control], button) << "control " << control;
        sdl2_pad_button(control, 1);
        EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{button, 1}})) << "control " << control;
        EXPECT_EQ(SDL_JoystickGetButton(joystick, button), 1);
        sdl2_pad_button(control, 0);
        EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{button, 0}})) << "control " << control;
        EXPECT_EQ(SDL_JoystickGetButton(joystick, button), 0);
    }
    sdl2_pad_button(pad_control_x, 1);
    sdl2_pad_button(pad_control_start, 1);
    EXPECT_TRUE(pad_presses().empty()) << "controls the game has no use for say nothing";
    SDL_JoystickClose(joystick);
    sdl2_detach_pad(index);
}

TEST_F(LayerEvents, TriggersPressPastHalfAndReleaseBelowAThird)
{
    int index = sdl2_attach_pad(1);
    ASSERT_GE(index, 0);
    SDL_Joystick* joystick = SDL_JoystickOpen(0);
    ASSERT_NE(joystick, nullptr);
    take_all();
    const int up = pad_layout[pad_control_left_trigger];
    const int down = pad_layout[pad_control_right_trigger];
    ASSERT_EQ(up, 16);
    ASSERT_EQ(down, 17);
    sdl2_pad_trigger(0, 40);
    EXPECT_TRUE(pad_presses().empty());
    sdl2_pad_trigger(0, 60);
    EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{up, 1}}));
    sdl2_pad_trigger(0, 45);  // eased off a little: still held
    EXPECT_TRUE(pad_presses().empty());
    sdl2_pad_trigger(0, 90);
    EXPECT_TRUE(pad_presses().empty()) << "pressing further is no second press";
    sdl2_pad_trigger(0, 20);
    EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{up, 0}}));
    // A virtual pad is read once a poll, so each change gets a poll of its own.
    sdl2_pad_trigger(1, 100);
    EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{down, 1}}));
    sdl2_pad_trigger(1, 0);
    EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{down, 0}}));
    SDL_JoystickClose(joystick);
    sdl2_detach_pad(index);
}

TEST_F(LayerEvents, APadWithoutAMappingKeepsItsOwnNumbersAndSaysSoOnce)
{
    int index = sdl2_attach_pad(0);
    ASSERT_GE(index, 0);
    ASSERT_FALSE(sdl2_pad_is_controller(index));
    testing::internal::CaptureStderr();
    SDL_Joystick* joystick = SDL_JoystickOpen(0);
    SDL_JoystickClose(joystick);
    joystick = SDL_JoystickOpen(0);
    std::string said = testing::internal::GetCapturedStderr();
    ASSERT_NE(joystick, nullptr);
    EXPECT_NE(said.find("no controller layout"), std::string::npos) << said;
    EXPECT_EQ(said.find("no controller layout"), said.rfind("no controller layout")) << said;
    EXPECT_EQ(SDL_JoystickNumButtons(joystick), 15);
    take_all();
    sdl2_pad_button(3, 1);
    EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{3, 1}}));
    EXPECT_EQ(SDL_JoystickGetButton(joystick, 3), 1);
    sdl2_pad_button(3, 0);
    EXPECT_EQ(pad_presses(), (std::vector<std::pair<int, int>>{{3, 0}}));
    SDL_JoystickClose(joystick);
    sdl2_detach_pad(index);
}

}  // namespace
