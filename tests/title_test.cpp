// title_test.cpp -- the title menu and the credits screen under scheduled key presses: stepping
// through the options, starting each kind of battle, credits and back, and quitting.
// The title and credits screens are compared with the same reference pictures the end-to-end
// test compares the real window with.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/state.h"
#include "harness/harness.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "shell/game.h"

namespace {

int count_sound(Mix_Chunk* chunk)
{
    int n = 0;
    for (Mix_Chunk* c : started_sounds())
        n += c == chunk;
    return n;
}

bool same_surface(SDL_Surface* a, SDL_Surface* b)
{
    SDL_LockSurface(a);
    SDL_LockSurface(b);
    bool same = a->w == b->w && a->h == b->h;
    for (int y = 0; y < a->h && same; y++)
        same = std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch,
                           static_cast<Uint8*>(b->pixels) + y * b->pitch, a->w * 2) == 0;
    SDL_UnlockSurface(b);
    SDL_UnlockSurface(a);
    return same;
}

// The last value logged with this prefix, e.g. "yes" for "P1 is cpu: yes".
std::string last_logged(const std::string& prefix)
{
    std::string log = read_file(test_directory() + "/logfile.txt");
    size_t at = log.rfind(prefix);
    if (at == std::string::npos)
        return "(not logged)";
    size_t end = log.find('\n', at);
    return log.substr(at + prefix.size(), end - at - prefix.size());
}

// Presses (and releases 1 ms later) at every `gap` ms from `from`.
Uint32 taps(Uint32 from, SDLKey sym, int count, Uint32 gap = 10)
{
    for (int i = 0; i < count; i++) {
        schedule_key(from, sym, true);
        schedule_key(from + 1, sym, false);
        from += gap;
    }
    return from;
}

}  // namespace

class TitleMenu : public ::testing::Test {
protected:
    static constexpr Uint32 start = 20000;

    void SetUp() override
    {
        reset_battlefield();
        cpu_player[0] = 7;  // anything the menu must overwrite
        cpu_player[1] = 7;
        started_sounds().clear();
        set_ticks(start);
        set_clock_limit(60 * 1000);
    }
    void TearDown() override
    {
        capture_flips(false);
        drop_input();
        clear_input();
    }
};

TEST_F(TitleMenu, SixPressesOfBComeBackToOptionZero)
{
    capture_flips(true);
    Uint32 t = taps(start + 100, SDLK_x, 5);
    schedule_key(t, SDLK_x, true);  // the sixth press is held: it still advances only once
    schedule_key(t + 200, SDLK_x, false);
    taps(t + 300, SDLK_z, 1);
    title_menu();

    ASSERT_EQ(flipped_screen_count(), 7u) << "the first drawing and one per press";
    EXPECT_TRUE(surface_matches(flipped_screen(0), "e2e_title"));
    EXPECT_TRUE(same_surface(flipped_screen(6), flipped_screen(0))) << "back at option 0";
    for (size_t i = 1; i < 6; i++)
        for (size_t j = 0; j < i; j++)
            EXPECT_FALSE(same_surface(flipped_screen(i), flipped_screen(j)))
                << "options " << i << " and " << j << " look alike";
    EXPECT_EQ(count_sound(sound_chains), 6);
    EXPECT_EQ(started_sounds().size(), 6u);
    EXPECT_EQ(cpu_player[0], 0);
    EXPECT_EQ(cpu_player[1], 0);
}

TEST_F(TitleMenu, OptionsZeroToThreeStartTheRightBattle)
{
    const char* expected[4][2] = {{"no", "no"}, {"no", "yes"}, {"yes", "no"}, {"yes", "yes"}};
    const int players[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int option = 0; option < 4; option++) {
        SCOPED_TRACE(::testing::Message() << "option " << option);
        set_ticks(start);
        Uint32 t = taps(start + 100, SDLK_x, option);
        taps(t + 50, SDLK_z, 1);
        title_menu();
        EXPECT_EQ(cpu_player[0], players[option][0]);
        EXPECT_EQ(cpu_player[1], players[option][1]);

        // The battle ends on Escape: a computer side notices it after its first unit's pause,
        // a person's side after its banner, which waits for a press.
        drop_input();
        clear_input();
        Uint32 battle = ticks_now();
        schedule_key(battle + 200, SDLK_ESCAPE, true);
        taps(battle + 1500, SDLK_z, 1);
        std::srand(option + 1);
        play_battle();
        EXPECT_EQ(winner, -1);
        EXPECT_EQ(last_logged("P1 is cpu: "), expected[option][0]);
        EXPECT_EQ(last_logged("P2 is cpu: "), expected[option][1]);
        std::string log = read_file(test_directory() + "/logfile.txt");
        EXPECT_NE(log.rfind("New game started.\nP1 is cpu: "), std::string::npos);
        poll_input();
        clear_input();
        drop_input();
    }
}

TEST_F(TitleMenu, CreditsAndBackThenAStartsAPersonsBattle)
{
    capture_flips(true);
    Uint32 t = taps(start + 100, SDLK_x, 4);
    t = taps(t + 50, SDLK_z, 1);       // credits
    t = taps(t + 100, SDLK_x, 1);      // B, Select and Escape do not leave the credits
    t = taps(t + 100, SDLK_TAB, 1);
    t = taps(t + 100, SDLK_ESCAPE, 1);
    t = taps(t + 100, SDLK_z, 1);      // back to the title
    taps(t + 100, SDLK_z, 1);          // no B pressed: option 0
    title_menu();

    ASSERT_EQ(flipped_screen_count(), 7u) << "title, four options, credits, title again";
    EXPECT_TRUE(surface_matches(flipped_screen(5), "e2e_credits"));
    EXPECT_TRUE(same_surface(flipped_screen(6), flipped_screen(0)));
    EXPECT_EQ(count_sound(sound_chains), 4) << "nothing pressed on the credits screen reached the menu";
    EXPECT_EQ(cpu_player[0], 0);
    EXPECT_EQ(cpu_player[1], 0);
}

TEST_F(TitleMenu, OptionFiveQuits)
{
    Uint32 t = taps(start + 100, SDLK_x, 5);
    taps(t + 50, SDLK_z, 1);
    title_menu();
    EXPECT_EQ(cpu_player[0], -1);
    EXPECT_EQ(cpu_player[1], 0);
}

TEST_F(TitleMenu, EscapeQuitsFromAnyOption)
{
    schedule_key(start + 100, SDLK_ESCAPE, true);
    title_menu();
    EXPECT_EQ(cpu_player[0], -1);

    drop_input();
    clear_input();
    Uint32 t = taps(ticks_now() + 100, SDLK_x, 2);
    schedule_key(t + 50, SDLK_ESCAPE, true);
    title_menu();
    EXPECT_EQ(cpu_player[0], -1);
}

TEST_F(TitleMenu, AAndEscapeInOnePollStartTheHighlightedOption)
{
    Uint32 t = taps(start + 100, SDLK_x, 3);
    schedule_key(t + 50, SDLK_ESCAPE, true);
    schedule_key(t + 50, SDLK_z, true);
    title_menu();
    EXPECT_EQ(cpu_player[0], 1);
    EXPECT_EQ(cpu_player[1], 1);
}

TEST_F(TitleMenu, SelectDoesNothing)
{
    capture_flips(true);
    Uint32 t = taps(start + 100, SDLK_TAB, 3);
    taps(t + 50, SDLK_z, 1);
    title_menu();
    EXPECT_EQ(flipped_screen_count(), 1u);
    EXPECT_TRUE(started_sounds().empty());
    EXPECT_EQ(cpu_player[0], 0);
    EXPECT_EQ(cpu_player[1], 0);
}

TEST_F(TitleMenu, PadButtonsWorkLikeTheKeys)
{
    // B (13) twice, then A (12): option 2, the Dark played by the computer.
    schedule_pad(start + 100, 13, true);
    schedule_pad(start + 101, 13, false);
    schedule_pad(start + 110, 13, true);
    schedule_pad(start + 111, 13, false);
    schedule_pad(start + 120, 12, true);
    title_menu();
    EXPECT_EQ(cpu_player[0], 1);
    EXPECT_EQ(cpu_player[1], 0);
}
