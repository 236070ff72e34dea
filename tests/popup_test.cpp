// popup_test.cpp -- the centred box and the unit statistics pop-up: what each flip shows, the
// rows of its lines, the button cycle that closes it, and the board it leaves behind.
#include "harness/harness.h"

#include <cstdio>
#include <string>
#include <vector>

#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "view/board.h"
#include "view/popup.h"

namespace {

SDL_Surface* copy_of(SDL_Surface* surface)
{
    return SDL_ConvertSurface(surface, surface->format, SDL_SWSURFACE);
}

int differences(SDL_Surface* a, SDL_Surface* b)
{
    int n = 0;
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (surface_pixel(a, x, y) != surface_pixel(b, x, y))
                n++;
    return n;
}

const int line_rows[5] = {83, 108, 120, 132, 143};

// `before` with the box and the five lines at the given rows, drawn with the plain primitives.
SDL_Surface* expected_box(SDL_Surface* before, const std::vector<std::string>& lines, const int rows[5])
{
    SDL_Surface* want = copy_of(before);
    fill_rect(want, 80, 80, 240, 160, map_colour(3));
    draw_rect(want, 80, 80, 240, 160, 0);
    for (int i = 0; i < 5; i++)
        draw_text_centred(want, lines[i].c_str(), 160, rows[i], 0, 3);
    return want;
}

std::vector<std::string> stats_lines(const char* name, int attack, int defence, int moves, int range)
{
    char buffer[4][32];
    std::snprintf(buffer[0], sizeof buffer[0], "Attack: %d", attack);
    std::snprintf(buffer[1], sizeof buffer[1], "Defence: %d", defence);
    std::snprintf(buffer[2], sizeof buffer[2], "Movement: %d", moves);
    std::snprintf(buffer[3], sizeof buffer[3], "Attack Range: %d", range);
    return {name, buffer[0], buffer[1], buffer[2], buffer[3]};
}

class popup : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_battlefield();
        script_rand({});
        set_clock_step(1);
        set_ticks(5000);
        set_clock_limit(5000);  // a pop-up that never closes fails instead of hanging
        capture_flips(false);
        place_unit(3, 3, 0);
        place_unit(12, 6, 7);
        set_terrain(11, 6, 10);
        cursor_x = 12;
        cursor_y = 6;
        clear_surface(screen, 0);
        draw_board();
        draw_info_line(cursor_x, cursor_y);
        before_ = copy_of(screen);
        capture_flips(true);
    }
    void TearDown() override
    {
        capture_flips(false);
        SDL_FreeSurface(before_);
        set_clock_limit(0);
        drop_input();
        clear_input();
    }

    // Repaints the board and info line after a test changed the battlefield, as a frame would.
    void repaint()
    {
        capture_flips(false);
        SDL_FreeSurface(before_);
        clear_surface(screen, 0);
        draw_board();
        draw_info_line(cursor_x, cursor_y);
        before_ = copy_of(screen);
        capture_flips(true);
    }

    // Opens the pop-up on (x, y) and returns how long it stayed open.
    Uint32 open_on(int x, int y)
    {
        Uint32 start = ticks_now();
        show_unit_stats(x, y);
        return ticks_now() - start;
    }

    SDL_Surface* before_ = nullptr;
};

TEST_F(popup, enemy_statistics_are_shown_and_the_board_restored)
{
    unit_grid[12][6].moves = 0;
    repaint();
    Uint32 t0 = ticks_now();
    schedule_key_press(t0 + 300, SDLK_x);
    Uint32 open = open_on(12, 6);

    ASSERT_EQ(flipped_screen_count(), 3u) << "the board, the box, the board again";
    EXPECT_EQ(differences(flipped_screen(0), before_), 0) << "the screen is shown as it was first";
    SDL_Surface* box = flipped_screen(1);
    EXPECT_TRUE(surface_matches(box, "popup_enemy_stats"));

    std::vector<std::string> lines = stats_lines("Light Mage", 3, 2, 0, 3);
    SDL_Surface* want = expected_box(before_, lines, line_rows);
    EXPECT_EQ(differences(box, want), 0);
    SDL_FreeSurface(want);
    const int one_lower[5] = {84, 108, 120, 132, 144};
    want = expected_box(before_, lines, one_lower);
    EXPECT_GT(differences(box, want), 0) << "rows 83 and 143, not 84 and 144";
    SDL_FreeSurface(want);

    // Restored: the last flip and the screen are the board as draw_board paints it.
    SDL_Surface* after = copy_of(screen);
    EXPECT_EQ(differences(flipped_screen(2), after), 0);
    draw_board();
    EXPECT_EQ(differences(screen, after), 0);
    SDL_FreeSurface(after);

    EXPECT_EQ(button, 0);
    EXPECT_EQ(unit_grid[12][6].type, 7) << "the unit is only looked at";
    EXPECT_EQ(unit_grid[12][6].moves, 0);
    EXPECT_EQ(selected_x, -1);
    EXPECT_GE(open, 320u) << "closed by the release";
    EXPECT_LT(open, 330u);
}

TEST_F(popup, movement_line_shows_the_moves_left_this_turn)
{
    const int moves[3] = {1, 0, -1};
    Uint32 next = ticks_now() + 200;
    for (int m : moves) {
        unit_grid[3][3].moves = m;
        capture_flips(true);
        schedule_key_press(next, SDLK_z);
        open_on(3, 3);
        next = ticks_now() + 200;
        ASSERT_EQ(flipped_screen_count(), 3u);
        SDL_Surface* want = expected_box(flipped_screen(0), stats_lines("Dark Soldier", 1, 2, m, 1), line_rows);
        EXPECT_EQ(differences(flipped_screen(1), want), 0) << "moves " << m;
        SDL_FreeSurface(want);
    }
}

TEST_F(popup, box_is_a_white_161_by_81_rectangle_with_a_black_outline)
{
    Uint32 red = map_colour(5);
    clear_surface(screen, red);
    box_centred();
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) {
            bool inside = x >= 80 && x <= 240 && y >= 80 && y <= 160;
            bool edge = inside && (x == 80 || x == 240 || y == 80 || y == 160);
            Uint32 want = !inside ? red : edge ? 0 : map_colour(3);
            ASSERT_EQ(surface_pixel(screen, x, y), want) << "at (" << x << ", " << y << ")";
        }
    EXPECT_EQ(flipped_screen_count(), 0u) << "the box is not presented by itself";
}

TEST_F(popup, box_is_shown_only_after_150_ms)
{
    // A press during the first 150 ms goes to the wait, not to the closing cycle.
    Uint32 t0 = ticks_now();
    schedule_key_press(t0 + 100, SDLK_z);
    schedule_key_press(t0 + 500, SDLK_z);
    Uint32 open = open_on(12, 6);
    EXPECT_GE(open, 520u);
    EXPECT_LT(open, 530u);

    drop_input();
    capture_flips(true);
    t0 = ticks_now();
    schedule_key_press(t0 + 160, SDLK_z);
    open = open_on(12, 6);
    EXPECT_GE(open, 180u) << "a press after 150 ms closes the box";
    EXPECT_LT(open, 190u);
}

TEST_F(popup, the_press_that_opened_it_does_not_close_it)
{
    Uint32 t0 = ticks_now();
    button = 2;  // B is still held from the press that opened the pop-up
    schedule_key(t0 + 200, SDLK_x, false);
    schedule_pad(t0 + 400, 12, true);   // pad A
    schedule_pad(t0 + 420, 12, false);
    Uint32 open = open_on(12, 6);
    EXPECT_GE(open, 420u);
    EXPECT_LT(open, 430u);
    EXPECT_EQ(flipped_screen_count(), 3u);
}

TEST_F(popup, a_quit_request_does_not_close_it)
{
    Uint32 t0 = ticks_now();
    schedule_key(t0 + 200, SDLK_ESCAPE, true);
    schedule_key_press(t0 + 400, SDLK_x);
    Uint32 open = open_on(12, 6);
    EXPECT_GE(open, 420u);
    EXPECT_LT(open, 430u);
    EXPECT_EQ(key[0], 1) << "left standing for the battle loop";
}

}  // namespace
