// board_test.cpp -- the battle screen: board cells, fading, selection, cursors, status bar,
// balance bar and info line, checked against reference screens and against pictures built
// here straight from the tiles sheet and the bar pictures.
#include "harness/harness.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "battle/orders.h"
#include "battle/state.h"
#include "battle/terrain.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "view/board.h"

namespace {

SDL_Surface* new_surface(int w, int h)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, screen->format->Rmask,
                                screen->format->Gmask, screen->format->Bmask, 0);
}

SDL_Surface* copy_of(SDL_Surface* surface)
{
    return SDL_ConvertSurface(surface, surface->format, SDL_SWSURFACE);
}

// Pixels of the w x h area at (ax, ay) in `a` that differ from the area at (bx, by) in `b`.
int area_differences(SDL_Surface* a, int ax, int ay, SDL_Surface* b, int bx, int by, int w, int h)
{
    int differing = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (surface_pixel(a, ax + x, ay + y) != surface_pixel(b, bx + x, by + y))
                differing++;
    return differing;
}

bool same_surface(SDL_Surface* a, SDL_Surface* b)
{
    return area_differences(a, 0, 0, b, 0, 0, a->w, a->h) == 0;
}

int count_colour(SDL_Surface* s, int x, int y, int w, int h, Uint32 value)
{
    int n = 0;
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            if (surface_pixel(s, i, j) == value)
                n++;
    return n;
}

// Private copies of the tiles sheet: one keyed and opaque, one keyed and at the faded alpha.
// The game's own sheet is never touched by the expectations.
SDL_Surface* keyed_sheet = nullptr;
SDL_Surface* faded_sheet = nullptr;

void make_sheets()
{
    if (keyed_sheet)
        return;
    keyed_sheet = copy_of(tiles_image);
    SDL_SetAlpha(keyed_sheet, 0, 255);
    SDL_SetColorKey(keyed_sheet, SDL_SRCCOLORKEY, colour_key);
    faded_sheet = copy_of(tiles_image);
    SDL_SetColorKey(faded_sheet, SDL_SRCCOLORKEY, colour_key);
    SDL_SetAlpha(faded_sheet, SDL_SRCALPHA, 96);
}

void lay_tile(SDL_Surface* sheet, SDL_Surface* target, int n, int x, int y)
{
    blit(sheet, target, 16 * (n / 4), 16 * (n % 4), x, y, 16, 16);
}

enum Look { plain_look, faded_look, selected_look, selected_faded_look };

// Board cell (x, y) as it must look after draw_board on a black screen.
SDL_Surface* expected_cell(int x, int y, Look look)
{
    SDL_Surface* cell = new_surface(16, 16);
    clear_surface(cell, 0);
    lay_tile(keyed_sheet, cell, get_pixel(terrain_map, x, y), 0, 0);
    const UnitRecord& unit = unit_grid[x][y];
    if (unit.attack != 0) {
        if (look == selected_look || look == selected_faded_look)
            fill_rect(cell, 0, 0, 15, 15, map_colour(2));
        bool faded = look == faded_look || look == selected_faded_look;
        lay_tile(faded ? faded_sheet : keyed_sheet, cell, unit.type, 0, 0);
    }
    return cell;
}

::testing::AssertionResult cell_looks(int x, int y, Look look)
{
    SDL_Surface* want = expected_cell(x, y, look);
    int wrong = area_differences(screen, 16 * x, 16 * y + 14, want, 0, 0, 16, 16);
    SDL_FreeSurface(want);
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cell (" << x << ", " << y << "): " << wrong
                                         << " pixels differ from look " << look;
}

// Per channel, how far apart two 5-6-5 pixels are, in steps of that channel.
int channel_steps(Uint32 a, Uint32 b)
{
    int r = std::abs(static_cast<int>(a >> 11) - static_cast<int>(b >> 11));
    int g = std::abs(static_cast<int>((a >> 5) & 63) - static_cast<int>((b >> 5) & 63));
    int bl = std::abs(static_cast<int>(a & 31) - static_cast<int>(b & 31));
    return std::max(r, std::max(g, bl));
}

// Whether the cursor drawn by draw_board covers screen pixel (px, py).
bool under_cursor(int px, int py)
{
    if (cpu_player[current_side] == 1)
        return false;
    SDL_Surface* picture = cursor_image;
    if (selected_x != -1 && unit_grid[selected_x][selected_y].moves >= 1)
        picture = move_cursor_image;
    int i = px - (16 * cursor_x - 1), j = py - (16 * cursor_y + 13);
    if (i < 0 || j < 0 || i >= 18 || j >= 18)
        return false;
    return static_cast<Uint32>(get_pixel(picture, i, j)) != colour_key;
}

// SDL implementations round the per-surface-alpha blend differently (sdl12-compat over SDL2 is
// one red step off classic SDL 1.2 here), so a faded unit's pixels are expected as this SDL blends that tile over
// that terrain. The reference decides every other pixel, and its faded pixels must still lie
// within one step of this SDL's, so a wrong alpha or a stale reference is caught everywhere.
::testing::AssertionResult matches_with_this_sdls_fade(const char* name,
                                                       const std::vector<std::pair<int, int>>& faded)
{
    if (updating_references())
        return screen_matches(name);
    SDL_Surface* want = load_reference(name);
    if (!want)
        return surface_equals(screen, nullptr, name);
    int far = 0, blended = 0;
    for (auto cell : faded) {
        int x = cell.first, y = cell.second, n = unit_grid[x][y].type;
        int terrain = get_pixel(terrain_map, x, y);
        SDL_Surface* here = new_surface(16, 16);
        clear_surface(here, 0);
        SDL_Rect ground = {static_cast<Sint16>(16 * (terrain / 4)), static_cast<Sint16>(16 * (terrain % 4)), 16, 16};
        SDL_Rect unit = {static_cast<Sint16>(16 * (n / 4)), static_cast<Sint16>(16 * (n % 4)), 16, 16};
        SDL_BlitSurface(keyed_sheet, &ground, here, nullptr);  // SDL's own blits, not the game's
        SDL_BlitSurface(faded_sheet, &unit, here, nullptr);
        SDL_LockSurface(want);
        for (int j = 0; j < 16; j++)
            for (int i = 0; i < 16; i++) {
                if (static_cast<Uint32>(get_pixel(tiles_image, unit.x + i, unit.y + j)) == colour_key)
                    continue;
                if (under_cursor(16 * x + i, 16 * y + 14 + j))
                    continue;  // the cursor is drawn over the unit: the reference decides it
                Uint16* p = reinterpret_cast<Uint16*>(static_cast<Uint8*>(want->pixels) +
                                                      (16 * y + 14 + j) * want->pitch) + 16 * x + i;
                Uint32 ours = surface_pixel(here, i, j);
                if (channel_steps(ours, *p) > 1)
                    far++;
                *p = static_cast<Uint16>(ours);
                blended++;
            }
        SDL_UnlockSurface(want);
        SDL_FreeSurface(here);
    }
    ::testing::AssertionResult result = surface_equals(screen, want, name);
    SDL_FreeSurface(want);
    if (!result)
        return result;
    if (blended == 0)
        return ::testing::AssertionFailure() << name << ": no faded pixel to check";
    if (far > 0)
        return ::testing::AssertionFailure() << name << ": " << far << " faded pixels of the reference "
                                             << "are more than one step from this SDL's blend";
    return ::testing::AssertionSuccess();
}

bool near_cursor(int x, int y)
{
    return std::abs(x - cursor_x) <= 1 && std::abs(y - cursor_y) <= 1;
}

class board : public ::testing::Test {
protected:
    void SetUp() override
    {
        make_sheets();
        reset_battlefield();
        script_rand({});
        clear_surface(screen, 0);
        cursor_x = 10;
        cursor_y = 6;
    }
    void TearDown() override { script_rand({}); }
};

// ---- the whole screen ----

TEST_F(board, generated_battlefield_from_a_fixed_seed)
{
    srand(2024);
    clear_unit_grid();
    generate_terrain();
    clear_surface(screen, 0);
    draw_board();
    EXPECT_TRUE(screen_matches("board_generated"));

    int units = 0;
    for (int y = 0; y < map_height; y++)
        for (int x = 0; x < map_width; x++) {
            if (unit_grid[x][y].type != -1)
                units++;
            if (!near_cursor(x, y)) {
                EXPECT_TRUE(cell_looks(x, y, plain_look));
            }
        }
    EXPECT_EQ(units, 16) << "both armies stand on the board";

    EXPECT_EQ(count_colour(screen, 0, 0, 320, 13, map_colour(3)), 320 * 13) << "empty status bar";
    EXPECT_EQ(count_colour(screen, 0, 13, 320, 1, 0), 320) << "the black line";
    EXPECT_EQ(count_colour(screen, 0, 229, 320, 11, map_colour(3)), 320 * 11) << "white band";
    EXPECT_EQ(count_colour(screen, 0, 228, 320, 1, 0), 320) << "row 228 belongs to the info line";
}

TEST_F(board, selected_archer_with_enemies_in_range)
{
    place_unit(6, 5, 2);     // Dark Archer, range 3
    place_unit(8, 7, 4);     // in range, diagonal
    place_unit(9, 5, 7);     // in range, straight
    place_unit(10, 5, 5);    // out of range
    place_unit(6, 2, 6);     // in range, above
    place_unit(4, 5, 0);     // own unit: not a target
    set_terrain(7, 5, 10);
    set_terrain(3, 3, 12);
    cursor_x = 6;
    cursor_y = 5;
    draw_board();
    select_unit(6, 5);
    EXPECT_TRUE(screen_matches("board_archer_targets"));

    for (auto cell : {std::make_pair(8, 7), std::make_pair(9, 5), std::make_pair(6, 2)}) {
        int x = cell.first, y = cell.second;
        int keyed = 0;
        for (int j = 0; j < 16; j++)
            for (int i = 0; i < 16; i++) {
                int n = unit_grid[x][y].type;
                if (static_cast<Uint32>(get_pixel(tiles_image, 16 * (n / 4) + i, 16 * (n % 4) + j)) != colour_key)
                    continue;
                keyed++;
                EXPECT_EQ(surface_pixel(screen, 16 * x + i, 16 * y + 14 + j), map_colour(1))
                    << "target (" << x << ", " << y << ") shows blue behind the unit";
            }
        EXPECT_GT(keyed, 0);
    }
    EXPECT_TRUE(cell_looks(10, 5, plain_look)) << "out of range stays as drawn";
    EXPECT_TRUE(cell_looks(4, 5, plain_look)) << "own units are never targets";
    EXPECT_EQ(count_colour(screen, 16 * 10, 5 * 16 + 14, 16, 16, map_colour(1)), 0);
}

TEST_F(board, spent_units_fade_on_the_acting_side_only)
{
    // Dark units: moves 2, 1, 0, -1; Light units the same.
    const int moves[4] = {2, 1, 0, -1};
    for (int i = 0; i < 4; i++) {
        place_unit(2 + 2 * i, 3, i);
        unit_grid[2 + 2 * i][3].moves = moves[i];
        place_unit(2 + 2 * i, 8, 4 + i);
        unit_grid[2 + 2 * i][8].moves = moves[i];
    }
    set_terrain(4, 3, 9);
    set_terrain(6, 8, 9);
    cursor_x = 18;
    cursor_y = 1;
    draw_board();
    std::vector<std::pair<int, int>> faded;
    for (int i = 0; i < 4; i++)
        if (moves[i] < 1)
            faded.push_back({2 + 2 * i, 3});  // Dark is to move
    EXPECT_TRUE(matches_with_this_sdls_fade("board_faded", faded));
    EXPECT_EQ(tiles_image->format->alpha, 255) << "the sheet is opaque again afterwards";

    for (int side = 0; side < 2; side++) {
        current_side = side;
        clear_surface(screen, 0);
        draw_board();
        for (int i = 0; i < 4; i++) {
            bool spent = moves[i] < 1;
            EXPECT_TRUE(cell_looks(2 + 2 * i, 3, spent && side == 0 ? faded_look : plain_look));
            EXPECT_TRUE(cell_looks(2 + 2 * i, 8, spent && side == 1 ? faded_look : plain_look));
        }
    }

    // The fading must be visible, or the checks above could not tell the looks apart.
    SDL_Surface* a = expected_cell(6, 3, plain_look);
    SDL_Surface* b = expected_cell(6, 3, faded_look);
    EXPECT_FALSE(same_surface(a, b));
    SDL_FreeSurface(a);
    SDL_FreeSurface(b);
}

TEST_F(board, tiles_drawn_after_the_board_are_opaque)
{
    place_unit(3, 3, 1);
    unit_grid[3][3].moves = -1;
    draw_board();  // the last unit drawn is faded
    EXPECT_EQ(tiles_image->format->alpha, 255);
    EXPECT_TRUE((tiles_image->flags & SDL_SRCALPHA) != 0);
    clear_surface(screen, 0);
    draw_tile(16 * 3, 3 * 16 + 14, 8);
    draw_tile(16 * 3, 3 * 16 + 14, 1);
    EXPECT_TRUE(cell_looks(3, 3, plain_look));
}

TEST_F(board, selected_unit_stands_on_pale_blue)
{
    place_unit(4, 4, 3);
    place_unit(7, 4, 3);
    unit_grid[7][4].moves = 0;
    selected_x = 4;
    selected_y = 4;
    draw_board();
    EXPECT_TRUE(cell_looks(4, 4, selected_look));
    EXPECT_TRUE(cell_looks(7, 4, faded_look));
    selected_x = 7;
    draw_board();
    EXPECT_TRUE(cell_looks(7, 4, selected_faded_look));
    EXPECT_TRUE(cell_looks(4, 4, plain_look));
    selected_x = 9;  // a selection on an empty cell shows no square
    draw_board();
    EXPECT_TRUE(cell_looks(9, 4, plain_look));
}

// ---- cursors ----

// Every opaque pixel of `picture` laid at the cursor's place, except rows the caller skips.
::testing::AssertionResult cursor_shown(SDL_Surface* picture, int first_row, int last_row)
{
    int x0 = 16 * cursor_x - 1, y0 = 16 * cursor_y + 13;
    int opaque = 0;
    for (int j = first_row; j <= last_row; j++)
        for (int i = 0; i < 18; i++) {
            Uint32 want = static_cast<Uint32>(get_pixel(picture, i, j));
            if (want == colour_key || x0 + i < 0 || x0 + i >= 320)
                continue;
            opaque++;
            if (surface_pixel(screen, x0 + i, y0 + j) != want)
                return ::testing::AssertionFailure() << "cursor pixel (" << i << ", " << j << ") missing";
        }
    if (opaque == 0)
        return ::testing::AssertionFailure() << "the cursor picture has no opaque pixel there";
    return ::testing::AssertionSuccess();
}

// A whole battle screen in the middle of the Dark's turn: three Dark units finished, the Dark
// Archer selected with three Light units within its range, the move cursor beside it.
TEST_F(board, battle_in_progress_from_a_fixed_seed)
{
    srand(2024);
    clear_unit_grid();
    generate_terrain();
    current_side = 0;
    int archer_x = -1, archer_y = -1, finished = 0;
    for (int y = 0; y < map_height; y++)
        for (int x = 0; x < map_width; x++) {
            UnitRecord& unit = unit_grid[x][y];
            if (unit.type == 2 && archer_x < 0) {
                archer_x = x;
                archer_y = y;
            } else if (unit.type >= 0 && unit.type < 4 && finished < 3) {
                unit.moves = -1;
                finished++;
            }
        }
    ASSERT_GE(archer_x, 0);
    ASSERT_EQ(finished, 3);
    // Light units on the free meadow cells nearest the archer, and the cursor on one beside it,
    // each looked for from the side facing the enemy first.
    int placed = 0;
    const int light[3] = {4, 5, 7};
    cursor_x = -1;
    for (int d = 1; d <= 3; d++)
        for (int y = archer_y - d; y <= archer_y + d; y++)
            for (int x = archer_x + d; x >= archer_x - d; x--) {
                if (x < 0 || y < 0 || x >= map_width || y >= map_height || unit_grid[x][y].type != -1)
                    continue;
                if (std::max(std::abs(x - archer_x), std::abs(y - archer_y)) != d)
                    continue;
                int ground = get_pixel(terrain_map, x, y);
                if (ground != 8 && ground != 9)
                    continue;
                if (d == 1 && cursor_x < 0) {
                    cursor_x = x;
                    cursor_y = y;
                } else if (d >= 2 && placed < 3) {
                    place_unit(x, y, light[placed++]);
                }
            }
    ASSERT_EQ(placed, 3);
    ASSERT_GE(cursor_x, 0);
    clear_surface(screen, 0);
    draw_board();
    select_unit(archer_x, archer_y);
    std::vector<std::pair<int, int>> faded;
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++)
            if (unit_grid[x][y].type != -1 && unit_grid[x][y].type / 4 == current_side && unit_grid[x][y].moves < 1)
                faded.push_back({x, y});
    ASSERT_EQ(faded.size(), 3u);
    EXPECT_TRUE(matches_with_this_sdls_fade("board_battle", faded));
    // The bars may cover the cursor's outer rows on the board's edge rows.
    EXPECT_TRUE(cursor_shown(move_cursor_image, 1, 16));
    EXPECT_EQ(highlight_targets(), 3);
}

TEST_F(board, move_cursor_while_the_selection_can_step)
{
    place_unit(7, 6, 0);
    cursor_x = 8;
    cursor_y = 7;
    selected_x = 7;
    selected_y = 6;
    draw_board();
    EXPECT_TRUE(screen_matches("board_move_cursor"));
    EXPECT_TRUE(cursor_shown(move_cursor_image, 0, 17));
    EXPECT_FALSE(cursor_shown(cursor_image, 0, 17));
}

TEST_F(board, plain_cursor_without_selection_or_steps)
{
    place_unit(7, 6, 0);
    cursor_x = 8;
    cursor_y = 7;
    draw_board();
    EXPECT_TRUE(screen_matches("board_plain_cursor"));
    EXPECT_TRUE(cursor_shown(cursor_image, 0, 17));
    EXPECT_FALSE(cursor_shown(move_cursor_image, 0, 17));

    selected_x = 7;
    selected_y = 6;
    unit_grid[7][6].moves = 0;  // may only attack
    clear_surface(screen, 0);
    draw_board();
    EXPECT_TRUE(cursor_shown(cursor_image, 0, 17));
}

TEST_F(board, cursor_at_the_edges_is_cut_by_the_bars)
{
    place_unit(5, 5, 0);  // one unit a side: an even balance bar
    place_unit(6, 6, 4);
    cursor_x = 0;
    cursor_y = 0;
    draw_board();
    EXPECT_EQ(count_colour(screen, 0, 13, 320, 1, 0), 320) << "the black line covers the top row";
    EXPECT_TRUE(cursor_shown(cursor_image, 1, 17));

    cursor_x = 19;
    cursor_y = 11;
    clear_surface(screen, 0);
    draw_board();
    EXPECT_TRUE(cursor_shown(cursor_image, 0, 16));
    SDL_Surface* bar = new_surface(320, 22);
    blit(balance_bg_image, bar, 161, 0, 0, 0, 320, 22);
    blit(balance_image, bar, 22 * 3, 0, 150, 0, 22, 22);
    EXPECT_EQ(area_differences(screen, 0, 206, bar, 0, 0, 320, 1), 0)
        << "the balance bar covers the bottom row";
    SDL_FreeSurface(bar);
}

TEST_F(board, no_cursor_while_the_computer_moves)
{
    cursor_x = 5;
    cursor_y = 5;
    cpu_player[0] = 1;
    draw_board();
    for (int y = 4; y <= 6; y++)
        for (int x = 4; x <= 6; x++)
            EXPECT_TRUE(cell_looks(x, y, plain_look));
    current_side = 1;  // the person's side shows it again
    draw_board();
    EXPECT_TRUE(cursor_shown(cursor_image, 0, 17));
}

// ---- status bar ----

TEST_F(board, status_message_is_centred_in_the_white_bar)
{
    place_unit(2, 2, 0);
    set_status("%s", "The enemy was killed!");
    SDL_Surface* want = copy_of(screen);
    fill_rect(want, 0, 0, 320, 12, map_colour(3));
    fill_rect(want, 0, 13, 320, 13, 0);
    draw_text_centred(want, "The enemy was killed!", 160, 1, 0, 3);
    EXPECT_EQ(area_differences(screen, 0, 0, want, 0, 0, 320, 14), 0);
    EXPECT_GT(count_colour(screen, 0, 1, 320, 11, 0), 0) << "the text is there";
    SDL_FreeSurface(want);

    set_status("%s", "");
    EXPECT_EQ(count_colour(screen, 0, 0, 320, 13, map_colour(3)), 320 * 13);
}

TEST_F(board, set_status_formats_and_redraws_the_board)
{
    place_unit(2, 2, 5);
    clear_surface(screen, map_colour(5));
    set_status("Turn: %d", 12);
    EXPECT_STREQ(status_text, "Turn: 12");
    EXPECT_TRUE(cell_looks(2, 2, plain_look));
    EXPECT_EQ(count_colour(screen, 0, 14, 320, 192, map_colour(5)), 0) << "the whole board repainted";
    EXPECT_EQ(count_colour(screen, 0, 228, 320, 1, map_colour(5)), 320) << "row 228 left alone";
}

TEST_F(board, an_overlong_status_is_cut_to_159_characters)
{
    std::string text(300, 'x');
    for (int i = 0; i < 300; i++)
        text[i] = static_cast<char>('a' + i % 26);
    set_status("%s", text.c_str());
    EXPECT_EQ(std::strlen(status_text), 159u);
    EXPECT_EQ(std::string(status_text), text.substr(0, 159));
    EXPECT_EQ(status_text[159], '\0');
}

// ---- balance bar ----

struct Balance {
    int dark, light, column, frame, left;
    const char* reference;
};

class balance_bar : public board, public ::testing::WithParamInterface<Balance> {};

TEST_P(balance_bar, matches_the_worked_values)
{
    const Balance& b = GetParam();
    for (int i = 0; i < b.dark; i++)
        place_unit(i % 20, 2 + i / 20, i % 4);
    for (int i = 0; i < b.light; i++)
        place_unit(i % 20, 8 + i / 20, 4 + i % 4);
    draw_board();
    EXPECT_TRUE(screen_matches(b.reference));

    SDL_Surface* bar = new_surface(320, 22);
    blit(balance_bg_image, bar, b.column, 0, 0, 0, 320, 22);
    blit(balance_image, bar, 22 * b.frame, 0, b.left, 0, 22, 22);
    EXPECT_EQ(area_differences(screen, 0, 206, bar, 0, 0, 320, 22), 0);

    // A bar one column, one frame or one pixel off would look different.
    SDL_Surface* off = new_surface(320, 22);
    blit(balance_bg_image, off, b.column + 1, 0, 0, 0, 320, 22);
    blit(balance_image, off, 22 * b.frame, 0, b.left, 0, 22, 22);
    EXPECT_GT(area_differences(screen, 0, 206, off, 0, 0, 320, 22), 0);
    blit(balance_bg_image, off, b.column, 0, 0, 0, 320, 22);
    blit(balance_image, off, 22 * ((b.frame + 1) % 8), 0, b.left, 0, 22, 22);
    EXPECT_GT(area_differences(screen, 0, 206, off, 0, 0, 320, 22), 0);
    blit(balance_bg_image, off, b.column, 0, 0, 0, 320, 22);
    blit(balance_image, off, 22 * b.frame, 0, b.left - 1, 0, 22, 22);
    EXPECT_GT(area_differences(screen, 0, 206, off, 0, 0, 320, 22), 0);
    SDL_FreeSurface(off);
    SDL_FreeSurface(bar);
}

INSTANTIATE_TEST_SUITE_P(worked_table, balance_bar,
                         ::testing::Values(Balance{5, 0, 12, 0, 299, "board_balance_dark_only"},
                                           Balance{0, 3, 310, 7, 1, "board_balance_light_only"},
                                           Balance{4, 4, 161, 3, 150, "board_balance_even"},
                                           Balance{8, 9, 169, 3, 141, "board_balance_8_9"},
                                           Balance{3, 1, 86, 1, 224, "board_balance_3_1"},
                                           Balance{1, 16, 292, 6, 18, "board_balance_1_16"}),
                         [](const ::testing::TestParamInfo<Balance>& info) {
                             return std::string(info.param.reference);
                         });

// ---- info line ----

// The screen as it must look after the info line showed `text` on `colour`.
SDL_Surface* with_info_line(SDL_Surface* before, const char* text, ColourIndex colour)
{
    SDL_Surface* want = copy_of(before);
    fill_rect(want, 0, 228, 320, 240, map_colour(colour));
    draw_text(want, text, 0, 228, 0, colour);
    return want;
}

::testing::AssertionResult info_line_shows(SDL_Surface* before, const char* text, ColourIndex colour)
{
    SDL_Surface* want = with_info_line(before, text, colour);
    int wrong = area_differences(screen, 0, 0, want, 0, 0, 320, 240);
    SDL_FreeSurface(want);
    if (wrong)
        return ::testing::AssertionFailure() << wrong << " pixels differ from \"" << text << "\"";
    if (count_colour(screen, 0, 228, 320, 12, 0) == 0)
        return ::testing::AssertionFailure() << "no text drawn for \"" << text << "\"";
    return ::testing::AssertionSuccess();
}

TEST_F(board, info_line_names_the_terrain_of_an_empty_cell)
{
    const char* const names[8] = {
        "Terrain: Plain", "Terrain: Grasslands", "Terrain: Forest", "Terrain: Water",
        "Terrain: Rock", "Terrain: Neutral Castle", "Terrain: Dark Castle", "Terrain: Light Castle",
    };
    draw_board();
    SDL_Surface* before = copy_of(screen);
    for (int code = 8; code <= 15; code++) {
        set_terrain(3, 9, code);
        draw_info_line(3, 9);
        EXPECT_TRUE(info_line_shows(before, names[code - 8], 3)) << "code " << code;
    }
    SDL_FreeSurface(before);
}

TEST_F(board, info_line_describes_a_unit_with_its_moves_left)
{
    const char* const lines[8] = {
        "Dark Soldier.  Moves Left: %d  (B): Stats", "Dark Knight.   Moves Left: %d  (B): Stats",
        "Dark Archer.   Moves Left: %d  (B): Stats", "Dark Mage.     Moves Left: %d  (B): Stats",
        "Light Soldier. Moves Left: %d  (B): Stats", "Light Knight.  Moves Left: %d  (B): Stats",
        "Light Archer.  Moves Left: %d  (B): Stats", "Light Mage.    Moves Left: %d  (B): Stats",
    };
    draw_board();
    SDL_Surface* before = copy_of(screen);
    char text[64];
    for (int type = 0; type < 8; type++) {
        place_unit(12, 4, type);
        set_terrain(12, 4, 10);
        draw_info_line(12, 4);
        std::snprintf(text, sizeof text, lines[type], unit_types[type].moves);
        EXPECT_TRUE(info_line_shows(before, text, 3));
    }
    place_unit(12, 4, 0);
    unit_grid[12][4].moves = -1;
    draw_info_line(12, 4);
    std::snprintf(text, sizeof text, lines[0], 0);
    EXPECT_TRUE(info_line_shows(before, text, 3)) << "a finished unit shows 0";
    std::snprintf(text, sizeof text, lines[0], -1);
    EXPECT_FALSE(info_line_shows(before, text, 3));
    SDL_FreeSurface(before);
}

TEST_F(board, info_line_follows_the_selection_on_pale_blue)
{
    place_unit(2, 2, 6);
    unit_grid[2][2].moves = 0;
    set_terrain(15, 9, 12);
    draw_board();
    select_unit(2, 2);
    SDL_Surface* before = copy_of(screen);
    draw_info_line(15, 9);
    EXPECT_FALSE(info_line_shows(before, "Light Archer.  Moves Left: 0  (B): Stats", 2))
        << "a Light unit on the Dark's turn cannot be selected";
    current_side = 1;
    select_unit(2, 2);
    ASSERT_EQ(selected_x, 2);
    SDL_Surface* selected = copy_of(screen);
    draw_info_line(15, 9);
    EXPECT_TRUE(info_line_shows(selected, "Light Archer.  Moves Left: 0  (B): Stats", 2));
    EXPECT_EQ(count_colour(screen, 316, 228, 4, 12, map_colour(2)), 4 * 12)
        << "pale blue to the line's right end";
    SDL_FreeSurface(selected);
    SDL_FreeSurface(before);
}

TEST_F(board, info_line_is_hidden_only_when_both_sides_are_computers)
{
    draw_board();
    SDL_Surface* before = copy_of(screen);
    cpu_player[0] = 1;
    cpu_player[1] = 1;
    draw_info_line(4, 4);
    EXPECT_TRUE(same_surface(screen, before));
    cpu_player[1] = 0;
    draw_info_line(4, 4);
    EXPECT_TRUE(info_line_shows(before, "Terrain: Plain", 3));
    SDL_FreeSurface(before);
}

}  // namespace
