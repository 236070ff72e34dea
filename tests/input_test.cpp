// input_test.cpp -- the keyboard and pad event table, the once-per-poll clamp, the quit request,
// clear_input, the timed wait under the virtual clock and the modal screens' button cycle.
#include <cstring>
#include <vector>

#include "harness/harness.h"
#include "platform/input.h"
#include "platform/sound.h"

namespace {

// The GP2X pad's button numbers.
enum {
    pad_up = 0, pad_left = 2, pad_down = 4, pad_right = 6, pad_select = 9, pad_l = 10, pad_r = 11,
    pad_a = 12, pad_b = 13, pad_volume_up = 16, pad_volume_down = 17,
};

int queued_events()
{
    SDL_Event events[64];
    return SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

void push_event(const SDL_Event& e)
{
    SDL_Event copy = e;
    ASSERT_EQ(SDL_PushEvent(&copy), 0);
}

SDL_Event raw_event(Uint8 type)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    return e;
}

// Everything poll_input may touch, so a case can say "nothing changed".
struct InputState {
    int cursor_x, cursor_y, button, key0, shoulder_l, shoulder_r, volume;
    bool operator==(const InputState& o) const
    {
        return cursor_x == o.cursor_x && cursor_y == o.cursor_y && button == o.button &&
               key0 == o.key0 && shoulder_l == o.shoulder_l && shoulder_r == o.shoulder_r &&
               volume == o.volume;
    }
};

InputState snapshot()
{
    return {cursor_x, cursor_y, button, key[0], shoulder_l, shoulder_r, volume};
}

std::ostream& operator<<(std::ostream& out, const InputState& s)
{
    return out << "cursor (" << s.cursor_x << ", " << s.cursor_y << ") button " << s.button
               << " key[0] " << s.key0 << " L " << s.shoulder_l << " R " << s.shoulder_r
               << " volume " << s.volume;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_battlefield();
        saved_volume = volume;
        volume = 64;
        cursor_x = 10;
        cursor_y = 6;
        set_ticks(1000);
        set_clock_step(1);
        set_clock_limit(100000);
    }
    void TearDown() override
    {
        drop_input();
        clear_input();
        change_volume(saved_volume - volume);
        set_clock_limit(0);
    }
    int saved_volume = 64;
};

struct MoveRow {
    const char* name;
    bool pad;
    int code;  // key symbol or pad button
    int dx, dy;
};

const MoveRow move_rows[] = {
    {"Up arrow", false, SDLK_UP, 0, -1},     {"Down arrow", false, SDLK_DOWN, 0, 1},
    {"Left arrow", false, SDLK_LEFT, -1, 0}, {"Right arrow", false, SDLK_RIGHT, 1, 0},
    {"pad Up", true, pad_up, 0, -1},         {"pad Down", true, pad_down, 0, 1},
    {"pad Left", true, pad_left, -1, 0},     {"pad Right", true, pad_right, 1, 0},
};

void push_down(bool pad, int code)
{
    if (pad)
        push_pad(code, true);
    else
        push_key(static_cast<SDLKey>(code), true);
}

void push_up(bool pad, int code)
{
    if (pad)
        push_pad(code, false);
    else
        push_key(static_cast<SDLKey>(code), false);
}

TEST_F(InputTest, EveryDirectionMovesTheCursorOneCellAndItsReleaseDoesNothing)
{
    for (const MoveRow& row : move_rows) {
        SCOPED_TRACE(row.name);
        cursor_x = 10;
        cursor_y = 6;
        push_down(row.pad, row.code);
        poll_input();
        EXPECT_EQ(cursor_x, 10 + row.dx);
        EXPECT_EQ(cursor_y, 6 + row.dy);
        InputState before = snapshot();
        push_up(row.pad, row.code);
        poll_input();
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(queued_events(), 0);
    }
}

TEST_F(InputTest, MovesAreSummedWithinOnePoll)
{
    for (int i = 0; i < 3; i++)
        push_key(SDLK_RIGHT, true);
    push_pad(pad_down, true);
    push_pad(pad_down, true);
    poll_input();
    EXPECT_EQ(cursor_x, 13);
    EXPECT_EQ(cursor_y, 8);
}

TEST_F(InputTest, TheClampIsAppliedOnceWhenTheQueueIsEmpty)
{
    // Clamping each event would give 1 and 18 and 1 and 10 here.
    cursor_x = 0;
    push_key(SDLK_LEFT, true);
    push_key(SDLK_LEFT, true);
    push_key(SDLK_RIGHT, true);
    poll_input();
    EXPECT_EQ(cursor_x, 0);

    cursor_x = 19;
    push_pad(pad_right, true);
    push_pad(pad_right, true);
    push_pad(pad_left, true);
    poll_input();
    EXPECT_EQ(cursor_x, 19);

    cursor_y = 0;
    push_pad(pad_up, true);
    push_pad(pad_up, true);
    push_key(SDLK_DOWN, true);
    poll_input();
    EXPECT_EQ(cursor_y, 0);

    cursor_y = 11;
    push_key(SDLK_DOWN, true);
    push_key(SDLK_DOWN, true);
    push_pad(pad_up, true);
    poll_input();
    EXPECT_EQ(cursor_y, 11);
}

TEST_F(InputTest, TheCursorStopsAtEveryEdge)
{
    struct Edge {
        bool pad;
        int code, x, y;
    };
    const Edge edges[] = {
        {false, SDLK_RIGHT, 19, 5}, {true, pad_right, 19, 5}, {false, SDLK_LEFT, 0, 5},
        {true, pad_left, 0, 5},     {false, SDLK_DOWN, 7, 11}, {true, pad_down, 7, 11},
        {false, SDLK_UP, 7, 0},     {true, pad_up, 7, 0},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.code);
        cursor_x = e.x;
        cursor_y = e.y;
        push_down(e.pad, e.code);
        poll_input();
        EXPECT_EQ(cursor_x, e.x);
        EXPECT_EQ(cursor_y, e.y);
    }
    // A cursor set out of range elsewhere is brought back by the next poll, even an empty one.
    cursor_x = 25;
    cursor_y = -3;
    poll_input();
    EXPECT_EQ(cursor_x, 19);
    EXPECT_EQ(cursor_y, 0);
}

TEST_F(InputTest, ButtonsPressedFromKeyboardAndPad)
{
    struct Row {
        bool pad;
        int code, button;
    };
    const Row rows[] = {
        {false, SDLK_z, 1}, {false, SDLK_x, 2}, {false, SDLK_TAB, 3},
        {true, pad_a, 1},   {true, pad_b, 2},   {true, pad_select, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        button = 0;
        push_down(row.pad, row.code);
        poll_input();
        EXPECT_EQ(button, row.button);
        EXPECT_EQ(cursor_x, 10);
        EXPECT_EQ(cursor_y, 6);
        EXPECT_EQ(key[0], 0);
    }
}

TEST_F(InputTest, ReleasingZXAOrBClearsTheButtonWhateverItHolds)
{
    struct Row {
        bool pad;
        int code;
    };
    const Row releases[] = {{false, SDLK_z}, {false, SDLK_x}, {true, pad_a}, {true, pad_b}};
    for (const Row& row : releases) {
        for (int held = 1; held <= 3; held++) {
            SCOPED_TRACE(row.code);
            button = held;
            push_up(row.pad, row.code);
            poll_input();
            EXPECT_EQ(button, 0) << "button was " << held;
        }
    }
}

TEST_F(InputTest, ReleasesOutsideTheTableDoNothing)
{
    struct Row {
        bool pad;
        int code;
    };
    const Row releases[] = {
        {false, SDLK_TAB},      {false, SDLK_UP},       {false, SDLK_DOWN},  {false, SDLK_LEFT},
        {false, SDLK_RIGHT},    {false, SDLK_PAGEUP},   {false, SDLK_PAGEDOWN},
        {true, pad_up},         {true, pad_left},       {true, pad_down},    {true, pad_right},
        {true, pad_select},     {true, pad_volume_up},  {true, pad_volume_down},
    };
    for (const Row& row : releases) {
        for (int held = 1; held <= 3; held++) {
            SCOPED_TRACE(row.code);
            button = held;
            key[0] = 1;
            shoulder_l = 1;
            shoulder_r = 0;
            InputState before = snapshot();
            push_up(row.pad, row.code);
            poll_input();
            EXPECT_EQ(snapshot(), before);
        }
    }
}

TEST_F(InputTest, OtherKeysButtonsAndEventsAreTakenAndIgnored)
{
    const SDLKey keys[] = {SDLK_a, SDLK_y, SDLK_c, SDLK_q, SDLK_SPACE, SDLK_RETURN,
                           SDLK_BACKSPACE, SDLK_HOME, SDLK_END, SDLK_F1, SDLK_LSHIFT, SDLK_KP8};
    const int pad_buttons[] = {1, 3, 5, 7, 8, 14, 15, 18, 19};
    const Uint8 types[] = {SDL_QUIT, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEMOTION,
                           SDL_JOYAXISMOTION, SDL_JOYHATMOTION, SDL_ACTIVEEVENT, SDL_VIDEOEXPOSE};
    button = 2;
    key[0] = 0;
    InputState before = snapshot();
    for (SDLKey k : keys) {
        push_key(k, true);
        push_key(k, false);
    }
    for (int b : pad_buttons) {
        push_pad(b, true);
        push_pad(b, false);
    }
    for (Uint8 t : types)
        push_event(raw_event(t));
    ASSERT_GT(queued_events(), 0);
    poll_input();
    EXPECT_EQ(queued_events(), 0) << "poll_input must drain the queue";
    EXPECT_EQ(snapshot(), before);
}

TEST_F(InputTest, TheWindowCloseRequestDoesNotAskToQuit)
{
    push_event(raw_event(SDL_QUIT));
    poll_input();
    EXPECT_EQ(key[0], 0);
    EXPECT_EQ(queued_events(), 0);
}

TEST_F(InputTest, ButtonsOfAnyJoystickCount)
{
    SDL_Event e = raw_event(SDL_JOYBUTTONDOWN);
    e.jbutton.which = 1;
    e.jbutton.button = pad_b;
    e.jbutton.state = SDL_PRESSED;
    push_event(e);
    e.jbutton.button = pad_right;
    push_event(e);
    poll_input();
    EXPECT_EQ(button, 2);
    EXPECT_EQ(cursor_x, 11);
}

TEST_F(InputTest, PressAndReleaseInOnePollAreNotSeen)
{
    push_key_press(SDLK_z);
    poll_input();
    EXPECT_EQ(button, 0);
    push_pad_press(pad_a);
    poll_input();
    EXPECT_EQ(button, 0);
    push_key_press(SDLK_x);
    poll_input();
    EXPECT_EQ(button, 0);
    push_pad_press(pad_b);
    poll_input();
    EXPECT_EQ(button, 0);
}

TEST_F(InputTest, SelectStaysUntilZXAOrBIsReleasedOrInputCleared)
{
    push_key_press(SDLK_TAB);
    poll_input();
    EXPECT_EQ(button, 3);
    poll_input();
    poll_input();
    EXPECT_EQ(button, 3) << "Select lasts across polls";
    push_pad(pad_b, false);
    poll_input();
    EXPECT_EQ(button, 0);

    push_pad_press(pad_select);
    poll_input();
    EXPECT_EQ(button, 3);
    clear_input();
    EXPECT_EQ(button, 0);

    // Z, then Tab, then Z released: the release clears whatever is held.
    push_key(SDLK_z, true);
    push_key(SDLK_TAB, true);
    push_key(SDLK_z, false);
    poll_input();
    EXPECT_EQ(button, 0);

    // The same spread over three polls.
    push_key(SDLK_z, true);
    poll_input();
    EXPECT_EQ(button, 1);
    push_key(SDLK_TAB, true);
    poll_input();
    EXPECT_EQ(button, 3);
    push_key(SDLK_z, false);
    poll_input();
    EXPECT_EQ(button, 0);
}

TEST_F(InputTest, TheLastButtonPressedWins)
{
    push_key(SDLK_x, true);
    push_pad(pad_a, true);
    poll_input();
    EXPECT_EQ(button, 1);
    push_pad(pad_select, true);
    push_key(SDLK_x, true);
    poll_input();
    EXPECT_EQ(button, 2);
}

TEST_F(InputTest, EscapeRaisesTheQuitRequestAndItsReleaseLowersIt)
{
    push_key(SDLK_ESCAPE, true);
    poll_input();
    EXPECT_EQ(key[0], 1);
    poll_input();
    EXPECT_EQ(key[0], 1) << "the request stays until Escape is released";
    push_key(SDLK_ESCAPE, false);
    poll_input();
    EXPECT_EQ(key[0], 0);

    push_key_press(SDLK_ESCAPE);
    poll_input();
    EXPECT_EQ(key[0], 0) << "press and release in one poll leave no request";
    EXPECT_EQ(button, 0);
}

TEST_F(InputTest, HoldingLThenRAsksToQuitAndReleasingRDoesNotTakeItBack)
{
    push_pad(pad_l, true);
    poll_input();
    EXPECT_EQ(shoulder_l, 1);
    EXPECT_EQ(shoulder_r, 0);
    EXPECT_EQ(key[0], 0) << "L alone is not a quit request";
    push_pad(pad_r, true);
    poll_input();
    EXPECT_EQ(shoulder_r, 1);
    EXPECT_EQ(key[0], 1);
    push_pad(pad_r, false);
    poll_input();
    EXPECT_EQ(shoulder_r, 0);
    EXPECT_EQ(shoulder_l, 1);
    EXPECT_EQ(key[0], 1);
    push_pad(pad_l, false);
    poll_input();
    EXPECT_EQ(shoulder_l, 0);
    EXPECT_EQ(key[0], 1);
    EXPECT_EQ(button, 0) << "shoulders are not buttons";
}

TEST_F(InputTest, TheShoulderRuleLooksOnlyAtTheEndOfThePoll)
{
    push_pad(pad_r, true);
    push_pad(pad_l, true);
    push_pad(pad_r, false);
    poll_input();
    EXPECT_EQ(key[0], 0);
    EXPECT_EQ(shoulder_l, 1);

    // With both held the request comes back at the end of every poll, even after Escape's release.
    push_pad(pad_r, true);
    push_key(SDLK_ESCAPE, false);
    poll_input();
    EXPECT_EQ(key[0], 1);
    push_key(SDLK_ESCAPE, false);
    poll_input();
    EXPECT_EQ(key[0], 1);

    // clear_input forgets the held shoulders, so the next poll raises nothing.
    clear_input();
    poll_input();
    EXPECT_EQ(key[0], 0);
}

TEST_F(InputTest, ClearInputForgetsEverythingButTheCursor)
{
    cursor_x = 17;
    cursor_y = 3;
    button = 2;
    for (int& k : key)
        k = 1;
    shoulder_l = 1;
    shoulder_r = 1;
    clear_input();
    EXPECT_EQ(button, 0);
    for (int i = 0; i < 256; i++)
        EXPECT_EQ(key[i], 0) << "key[" << i << "]";
    EXPECT_EQ(shoulder_l, 0);
    EXPECT_EQ(shoulder_r, 0);
    EXPECT_EQ(cursor_x, 17);
    EXPECT_EQ(cursor_y, 3);
}

TEST_F(InputTest, HoldingADirectionMovesOneCellOnly)
{
    push_key(SDLK_RIGHT, true);
    for (int i = 0; i < 50; i++)
        poll_input();
    EXPECT_EQ(cursor_x, 11);
    int delay = -1, interval = -1;
    SDL_GetKeyRepeat(&delay, &interval);
    EXPECT_EQ(delay, 0) << "key repeat must stay off";
}

// ---- timed waits ----

TEST_F(InputTest, WaitReturnsNoEarlierThanAskedAndNotMuchLater)
{
    // A wait that never polls would never see time pass below; find that out first.
    schedule_key(1002, SDLK_RIGHT, true);
    wait_ms(10);
    ASSERT_EQ(cursor_x, 11) << "wait_ms must poll input";

    // Reading the clock costs nothing now, and each poll of the empty queue costs 1 ms, so the
    // clock after the wait is exactly when the wait ended.
    set_clock_step(0);
    const Uint32 lengths[] = {1, 2, 17, 700, 5000};
    for (Uint32 ms : lengths) {
        set_ticks(1000);
        wait_ms(ms);
        Uint32 elapsed = ticks_now() - 1000;
        EXPECT_GE(elapsed, ms);
        EXPECT_LE(elapsed, ms + 1) << "the wait ends at the first reading past its end";
    }
    // A coarse clock cannot end it early either.
    set_clock_step(50);
    set_ticks(1000);
    wait_ms(700);
    EXPECT_GE(ticks_now() - 1000, 700u);
}

TEST_F(InputTest, WaitKeepsPollingForItsWholeLength)
{
    // One Right every 100 ms: every one must be seen, so the polling never stops.
    set_ticks(1000);
    for (Uint32 t = 1050; t < 1700; t += 100)
        schedule_key_press(t, SDLK_RIGHT);
    schedule_key(1690, SDLK_x, true);
    wait_ms(700);
    EXPECT_EQ(cursor_x, 17);
    EXPECT_EQ(button, 2) << "a press just before the end is seen";
}

TEST_F(InputTest, WaitKeepsTheVolumeAndQuitKeysLive)
{
    set_ticks(1000);
    schedule_key_press(1200, SDLK_PAGEUP);
    schedule_pad(1300, pad_l, true);
    schedule_pad(1400, pad_r, true);
    wait_ms(700);
    EXPECT_EQ(volume, 72);
    EXPECT_EQ(key[0], 1);
}

TEST_F(InputTest, WaitOfZeroReturnsAtOnceWithoutPolling)
{
    set_ticks(5000);
    push_key(SDLK_RIGHT, true);
    wait_ms(0);
    EXPECT_EQ(cursor_x, 10);
    EXPECT_EQ(queued_events(), 1) << "wait_ms(0) must not take events from the queue";
    EXPECT_LE(ticks_now() - 5000, 2u);
}

TEST_F(InputTest, WaitIsFullLengthWhenTheTickCounterWraps)
{
    const Uint32 starts[] = {0xFFFFFF00u, 0xFFFFFFFFu, 0xFFFFFD44u};
    for (Uint32 start : starts) {
        SCOPED_TRACE(start);
        set_ticks(start);
        cursor_x = 10;
        schedule_key_press(start + 600, SDLK_LEFT);  // after the wrap
        wait_ms(700);
        Uint32 elapsed = ticks_now() - start;
        EXPECT_GE(elapsed, 700u);
        EXPECT_LE(elapsed, 704u);
        EXPECT_EQ(cursor_x, 9);
    }
}

// ---- the modal screens' button cycle ----

TEST_F(InputTest, ButtonCycleNeedsReleasePressAndRelease)
{
    set_ticks(1000);
    button = 1;  // still held from the press that opened the screen
    schedule_key(1100, SDLK_z, false);
    schedule_pad(1200, pad_a, true);
    schedule_pad(1300, pad_a, false);
    wait_button_cycle();
    EXPECT_GE(ticks_now(), 1300u);
    EXPECT_EQ(button, 0);

    // From nothing held, a press alone does not end it: the release does.
    set_ticks(2000);
    schedule_key(2100, SDLK_x, true);
    schedule_key(2600, SDLK_x, false);
    wait_button_cycle();
    EXPECT_GE(ticks_now(), 2600u);
    EXPECT_LT(ticks_now(), 2610u);
}

}  // namespace
