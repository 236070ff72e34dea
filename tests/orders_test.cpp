// orders_test.cpp -- the rules of play driven with scripted dice: which case an order takes,
// combat odds, attacks, steps, forest clearing, castle captures and reinforcements, with the
// sounds, markers, flips and pauses each of them produces.
#include "harness/harness.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "battle/orders.h"
#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "view/board.h"

namespace {

// A die showing `face` (1..10) as the rand() result that produces it.
int die(int face)
{
    return face - 1;
}

const int strike_tile = 11;

Uint32 tile_pixel(int n, int i, int j)
{
    return static_cast<Uint32>(get_pixel(tiles_image, 16 * (n / 4) + i, 16 * (n % 4) + j));
}

// How many opaque pixels of tile n differ from `surface` when the tile is laid at (x, y).
int tile_mismatches(SDL_Surface* surface, int n, int x, int y)
{
    int wrong = 0;
    for (int j = 0; j < 16; j++)
        for (int i = 0; i < 16; i++)
            if (tile_pixel(n, i, j) != colour_key && surface_pixel(surface, x + i, y + j) != tile_pixel(n, i, j))
                wrong++;
    return wrong;
}

// Checks that every see-through pixel of the unit's tile at board cell (x, y) shows `colour`:
// the background the unit stands on (blue target, pale-blue selection).
::testing::AssertionResult cell_background(int x, int y, int type, ColourIndex colour)
{
    int seen = 0;
    for (int j = 0; j < 16; j++)
        for (int i = 0; i < 16; i++) {
            if (tile_pixel(type, i, j) != colour_key)
                continue;
            seen++;
            Uint32 got = surface_pixel(screen, 16 * x + i, 16 * y + 14 + j);
            if (got != map_colour(colour))
                return ::testing::AssertionFailure()
                       << "cell (" << x << ", " << y << ") pixel (" << i << ", " << j << ") is "
                       << got << ", not colour " << colour << " (" << map_colour(colour) << ")";
        }
    if (seen == 0)
        return ::testing::AssertionFailure() << "tile " << type << " has no see-through pixel";
    return ::testing::AssertionSuccess();
}

bool is_empty_cell(int x, int y)
{
    const UnitRecord& u = unit_grid[x][y];
    return u.attack == 0 && u.defence == 0 && u.moves == -2 && u.range == 0 && u.type == -1;
}

int units_on_grid()
{
    int n = 0;
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++)
            if (unit_grid[x][y].type != -1)
                n++;
    return n;
}

std::vector<Mix_Chunk*> sounds(std::initializer_list<Mix_Chunk*> list)
{
    return std::vector<Mix_Chunk*>(list);
}

class orders : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_battlefield();
        script_rand({});
        set_clock_step(1);
        set_ticks(10000);
        set_clock_limit(20000);
        capture_flips(false);
        clear_surface(screen, 0);
        cursor_x = 0;  // out of the way of every cell the cases look at
        cursor_y = 11;
    }
    void TearDown() override
    {
        capture_flips(false);
        script_rand({});
        set_clock_limit(0);
    }

    // Puts a unit of the side to move on the board, counts the side's units as a turn would,
    // selects it and forgets what the selection itself drew or played.
    void select_fresh(int x, int y, int type, int moves)
    {
        place_unit(x, y, type);
        unit_grid[x][y].moves = moves;
        units_to_move = count_units_to_move();
        draw_board();
        select_unit(x, y);
        ASSERT_EQ(selected_x, x);
        ASSERT_EQ(selected_y, y);
        started_sounds().clear();
        script_rand({});
    }

    Uint32 start_ = 0;
    void start_clock() { start_ = ticks_now(); }
    Uint32 elapsed() const { return ticks_now() - start_; }
};

// ---- selection and highlights ----

TEST_F(orders, selecting_an_empty_cell_or_an_enemy_selects_nothing)
{
    place_unit(8, 8, 7);
    select_unit(3, 3);
    EXPECT_EQ(selected_x, -1);
    EXPECT_STREQ(status_text, "");

    select_unit(8, 8);  // a Light Mage: the message names every enemy a soldier
    EXPECT_EQ(selected_x, -1);
    EXPECT_STREQ(status_text, "That is an enemy soldier!");
}

TEST_F(orders, a_finished_unit_can_be_selected_again)
{
    place_unit(4, 4, 2);
    unit_grid[4][4].moves = -1;
    select_unit(4, 4);
    EXPECT_EQ(selected_x, 4);
    EXPECT_EQ(selected_y, 4);
}

TEST_F(orders, highlights_count_enemies_in_the_range_square_cut_at_the_edges)
{
    place_unit(1, 1, 3);   // Dark Mage, range 3
    place_unit(0, 0, 4);   // diagonal neighbour, in range
    place_unit(4, 4, 6);   // the far corner of the square
    place_unit(5, 1, 5);   // distance 4: out of range
    place_unit(2, 2, 0);   // own unit: never a target
    draw_board();
    EXPECT_EQ(highlight_targets(), 0) << "nothing selected";
    select_unit(1, 1);
    EXPECT_EQ(highlight_targets(), 2);
    EXPECT_TRUE(cell_background(0, 0, 4, 1));
    EXPECT_TRUE(cell_background(4, 4, 6, 1));
    EXPECT_TRUE(cell_background(1, 1, 3, 2)) << "the selected unit stands on pale blue";
    EXPECT_FALSE(cell_background(5, 1, 5, 1)) << "an enemy out of range is not marked";
    EXPECT_FALSE(cell_background(2, 2, 0, 1)) << "an own unit is not marked";

    current_side = 1;  // the same square seen from the Light: the Dark units are the targets
    place_unit(18, 10, 6);
    place_unit(19, 11, 0);
    place_unit(15, 10, 1);
    draw_board();
    select_unit(18, 10);
    EXPECT_EQ(highlight_targets(), 2);
}

// ---- which case an order takes ----

TEST_F(orders, nothing_selected_means_no_order)
{
    place_unit(5, 5, 0);
    units_to_move = 1;
    order_unit(6, 5);
    EXPECT_EQ(unit_grid[5][5].type, 0);
    EXPECT_TRUE(is_empty_cell(6, 5));
    EXPECT_EQ(units_to_move, 1);
    EXPECT_TRUE(started_sounds().empty());
}

TEST_F(orders, own_cell_and_other_own_units_change_nothing)
{
    select_fresh(5, 5, 1, 1);
    place_unit(6, 5, 0);
    units_to_move = 2;
    int flips = flip_count();
    start_clock();
    for (int target = 0; target < 2; target++) {
        order_unit(target == 0 ? 5 : 6, 5);
        EXPECT_EQ(selected_x, 5) << "the selection stays";
        EXPECT_EQ(selected_y, 5);
        EXPECT_EQ(unit_grid[5][5].moves, 1);
        EXPECT_EQ(unit_grid[6][5].moves, 2);
        EXPECT_EQ(units_to_move, 2);
    }
    EXPECT_EQ(rand_calls(), 0);
    EXPECT_TRUE(started_sounds().empty());
    EXPECT_EQ(flip_count(), flips);
    EXPECT_LT(elapsed(), 5u);
}

TEST_F(orders, an_enemy_in_range_is_attacked_even_with_no_moves_left)
{
    select_fresh(5, 5, 1, 0);  // a Knight that has used its step
    place_unit(6, 6, 4);
    units_to_move = 1;
    script_rand({die(1), die(10)});  // 2 x 1 against 2 x 10: the Knight loses
    order_unit(6, 6);
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(started_sounds(), sounds({sound_hit}));
    EXPECT_EQ(unit_grid[6][6].type, 4) << "the defender survives";
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(selected_x, -1);
}

TEST_F(orders, no_moves_left_finishes_the_unit_on_any_other_cell)
{
    struct Target {
        int x, y;
        bool enemy;
    };
    const Target targets[] = {{6, 5, false}, {17, 0, false}, {8, 8, true}};  // the enemy is 3 away
    for (const Target& t : targets) {
        reset_battlefield();
        select_fresh(5, 5, 1, 0);
        if (t.enemy)
            place_unit(t.x, t.y, 5);
        units_to_move = 3;
        start_clock();
        order_unit(t.x, t.y);
        EXPECT_EQ(unit_grid[5][5].moves, -1);
        EXPECT_EQ(units_to_move, 2);
        EXPECT_EQ(selected_x, -1);
        EXPECT_EQ(rand_calls(), 0);
        EXPECT_TRUE(started_sounds().empty());
        EXPECT_LT(elapsed(), 5u) << "a finish does not pause";
        EXPECT_TRUE(cell_background(5, 5, 1, 2)) << "the finished unit is left on pale blue";
        if (t.enemy)
            EXPECT_EQ(unit_grid[t.x][t.y].type, 5);
        else
            EXPECT_TRUE(is_empty_cell(t.x, t.y));
    }
}

TEST_F(orders, far_cells_are_ignored_while_the_unit_can_still_step)
{
    select_fresh(5, 5, 0, 2);  // Soldier, range 1
    place_unit(7, 7, 4);       // an enemy two cells away
    units_to_move = 1;
    order_unit(7, 5);
    order_unit(7, 7);
    order_unit(19, 11);
    EXPECT_EQ(selected_x, 5);
    EXPECT_EQ(unit_grid[5][5].moves, 2);
    EXPECT_EQ(unit_grid[7][7].type, 4);
    EXPECT_EQ(units_to_move, 1);
    EXPECT_EQ(rand_calls(), 0);
    EXPECT_TRUE(started_sounds().empty());
}

TEST_F(orders, water_rock_and_castle_neighbours_refuse_the_order)
{
    for (int code : {11, 12, 13, 14, 15}) {
        reset_battlefield();
        select_fresh(5, 5, 0, 2);
        set_terrain(6, 4, code);
        int flips = flip_count();
        start_clock();
        order_unit(6, 4);
        EXPECT_EQ(get_pixel(terrain_map, 6, 4), code);
        EXPECT_EQ(selected_x, 5) << "code " << code;
        EXPECT_EQ(unit_grid[5][5].moves, 2);
        EXPECT_TRUE(is_empty_cell(6, 4));
        EXPECT_EQ(units_to_move, 1);
        EXPECT_EQ(rand_calls(), 0);
        EXPECT_TRUE(started_sounds().empty());
        EXPECT_EQ(flip_count(), flips);
        EXPECT_LT(elapsed(), 5u);
    }
}

// ---- combat ----

TEST(combat_roll, attack_shares_over_all_hundred_die_pairs)
{
    struct Row {
        int attack, defence, wins;
    };
    const Row table[] = {{1, 1, 45}, {1, 2, 20}, {2, 1, 75}, {2, 2, 45},
                         {3, 1, 85}, {3, 2, 67}, {4, 1, 90}, {6, 1, 95}};
    for (const Row& row : table) {
        int wins = 0;
        for (int d1 = 1; d1 <= 10; d1++)
            for (int d2 = 1; d2 <= 10; d2++) {
                // Raw values far above 10: only their remainder may count.
                script_rand({die(d1) + 10 * (d2 + 7), die(d2) + 10 * (d1 + 31)});
                wins += combat_roll(row.attack, row.defence);
                EXPECT_EQ(rand_calls(), 2);
            }
        EXPECT_EQ(wins, row.wins) << row.attack << " against " << row.defence;
    }
}

TEST(combat_roll, first_draw_is_the_attackers_die_and_ties_go_to_the_defender)
{
    script_rand({die(10), die(1)});
    EXPECT_EQ(combat_roll(1, 2), 1);  // 10 > 2
    script_rand({die(1), die(10)});
    EXPECT_EQ(combat_roll(1, 2), 0);  // 1 < 20
    script_rand({die(5), die(5)});
    EXPECT_EQ(combat_roll(2, 2), 0);  // 10 = 10
    script_rand({die(4), die(6)});
    EXPECT_EQ(combat_roll(3, 2), 0);  // 12 = 12
    script_rand({die(1), die(6)});
    EXPECT_EQ(combat_roll(6, 1), 0);  // 6 = 6
}

TEST_F(orders, a_tied_attack_fails_and_still_finishes_the_attacker)
{
    select_fresh(5, 5, 1, 1);
    place_unit(6, 5, 5);
    units_to_move = 1;
    set_status("%s", "Castle captured!");
    script_rand({die(7), die(7)});  // 2 x 7 against 2 x 7
    order_unit(6, 5);
    EXPECT_EQ(unit_grid[6][5].type, 5);
    EXPECT_EQ(unit_grid[5][5].type, 1);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(selected_x, -1);
    EXPECT_STREQ(status_text, "Castle captured!") << "a failed attack leaves the message alone";
}

// ---- attacks ----

TEST_F(orders, sound_of_an_attack_follows_distance_and_class)
{
    struct Case {
        int side, type, distance;
        Mix_Chunk** sound;
    };
    const Case cases[] = {
        {0, 0, 1, &sound_hit},      {0, 1, 1, &sound_hit},      {0, 2, 1, &sound_hit},
        {0, 2, 2, &sound_arrow},    {0, 2, 3, &sound_arrow},    {0, 3, 1, &sound_hit},
        {0, 3, 3, &sound_fireball}, {1, 6, 3, &sound_arrow},    {1, 7, 2, &sound_fireball},
        {1, 5, 1, &sound_hit},
    };
    for (const Case& c : cases) {
        reset_battlefield();
        current_side = c.side;
        select_fresh(5, 5, c.type, 1);
        place_unit(5 + c.distance, 5 + c.distance, (1 - c.side) * 4);
        script_rand({die(1), die(10)});  // always a miss
        order_unit(5 + c.distance, 5 + c.distance);
        EXPECT_EQ(started_sounds(), sounds({*c.sound}))
            << "type " << c.type << " at distance " << c.distance;
        EXPECT_EQ(rand_calls(), 2);
    }
}

TEST_F(orders, strike_marker_sits_two_pixels_low_and_the_attack_pauses_700_ms)
{
    select_fresh(5, 5, 2, 1);
    place_unit(7, 6, 4);
    draw_board();
    select_unit(5, 5);
    SDL_Surface* before = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    capture_flips(true);
    script_rand({die(1), die(10)});
    start_clock();
    order_unit(7, 6);
    Uint32 took = elapsed();
    ASSERT_EQ(flipped_screen_count(), 1u) << "one flip shows the marker";
    SDL_Surface* shown = flipped_screen(0);
    EXPECT_EQ(tile_mismatches(shown, strike_tile, 7 * 16, 6 * 16 + 16), 0);
    EXPECT_GT(tile_mismatches(shown, strike_tile, 7 * 16, 6 * 16 + 14), 0);
    for (int x = 7 * 16; x < 8 * 16; x++)
        for (int y = 6 * 16 + 14; y < 6 * 16 + 16; y++)
            ASSERT_EQ(surface_pixel(shown, x, y), surface_pixel(before, x, y)) << "the cell's top rows stay";
    SDL_FreeSurface(before);
    EXPECT_GE(took, 700u);
    EXPECT_LT(took, 720u);
}

TEST_F(orders, close_kill_moves_in_and_captures_two_castles_with_one_reinforcement)
{
    select_fresh(5, 5, 1, 1);   // Dark Knight
    place_unit(6, 5, 4);        // Light Soldier, next to it
    place_unit(15, 10, 4);      // a second enemy keeps the battle going
    set_terrain(5, 4, 13);      // neutral castle, scanned first (row 4)
    set_terrain(7, 4, 14);      // the Dark's own castle: left alone, draws nothing
    set_terrain(7, 6, 15);      // Light castle, scanned last (row 6)
    units_to_move = 1;
    script_rand({die(10), die(1),  // 2 x 10 against 2 x 1: the Knight wins
                 1, 1,             // (5, 4): offset (0, 0) is the castle itself, nothing arrives
                 2, 2,             // (7, 6): offset (+1, +1) is (8, 7), empty Plain
                 3});              // a Mage arrives
    capture_flips(true);
    start_clock();
    order_unit(6, 5);
    Uint32 took = elapsed();

    EXPECT_EQ(rand_calls(), 7);
    EXPECT_EQ(rand_script_left(), 0u);
    EXPECT_TRUE(is_empty_cell(5, 5)) << "the Knight left its cell";
    EXPECT_EQ(unit_grid[6][5].type, 1);
    EXPECT_EQ(unit_grid[6][5].moves, -1);
    EXPECT_EQ(get_pixel(terrain_map, 5, 4), 14);
    EXPECT_EQ(get_pixel(terrain_map, 7, 4), 14);
    EXPECT_EQ(get_pixel(terrain_map, 7, 6), 14);
    EXPECT_EQ(unit_grid[8][7].type, 3);
    EXPECT_EQ(unit_grid[8][7].moves, 1) << "a newcomer arrives with full moves";
    EXPECT_EQ(units_on_grid(), 3);
    EXPECT_EQ(units_to_move, 1) << "one finished, one arrived";
    EXPECT_EQ(selected_x, -1);
    EXPECT_EQ(winner, -1);
    EXPECT_EQ(started_sounds(), sounds({sound_hit, sound_spawn, sound_castle}));
    EXPECT_STREQ(status_text, "Reinforcements have arrived!");
    EXPECT_EQ(flipped_screen_count(), 2u) << "the marker, then the captures";
    EXPECT_GE(took, 700u + 600u);
    EXPECT_LT(took, 700u + 600u + 30u);
}

TEST_F(orders, archer_next_to_its_victim_strikes_in_close_combat)
{
    select_fresh(5, 5, 2, 1);
    place_unit(6, 6, 5);
    place_unit(15, 10, 4);
    set_terrain(7, 7, 13);
    script_rand({die(10), die(1), 1, 1});  // win; the castle's offset is (0, 0)
    start_clock();
    order_unit(6, 6);
    EXPECT_EQ(rand_calls(), 4);
    EXPECT_TRUE(is_empty_cell(5, 5));
    EXPECT_EQ(unit_grid[6][6].type, 2);
    EXPECT_EQ(unit_grid[6][6].moves, -1);
    EXPECT_EQ(get_pixel(terrain_map, 7, 7), 14);
    EXPECT_EQ(started_sounds(), sounds({sound_hit, sound_castle}));
    EXPECT_STREQ(status_text, "Castle captured!");
    EXPECT_GE(elapsed(), 700u + 300u);
    EXPECT_LT(elapsed(), 700u + 300u + 30u);
}

TEST_F(orders, ranged_kill_empties_the_cell_and_the_attacker_stays)
{
    select_fresh(5, 5, 2, 1);
    place_unit(8, 4, 7);
    place_unit(15, 10, 4);
    set_terrain(4, 5, 13);  // next to the archer: a ranged kill captures nothing
    units_to_move = 1;
    script_rand({die(10), die(1)});
    order_unit(8, 4);
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_TRUE(is_empty_cell(8, 4));
    EXPECT_EQ(unit_grid[5][5].type, 2);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(get_pixel(terrain_map, 4, 5), 13);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(winner, -1);
    EXPECT_STREQ(status_text, "The enemy was killed!");
    EXPECT_EQ(started_sounds(), sounds({sound_arrow}));
    EXPECT_TRUE(cell_background(5, 5, 2, 2)) << "the finished attacker is left on pale blue";
}

TEST_F(orders, killing_the_last_enemy_decides_the_battle)
{
    select_fresh(5, 5, 3, 1);  // Dark Mage
    place_unit(7, 7, 6);       // the Light's last unit
    script_rand({die(1), die(3)});  // 3 x 1 against 1 x 3: a tie, the archer lives
    order_unit(7, 7);
    EXPECT_EQ(winner, -1);

    select_unit(5, 5);
    script_rand({die(2), die(3)});  // 6 against 3
    order_unit(7, 7);
    EXPECT_TRUE(is_empty_cell(7, 7));
    EXPECT_EQ(winner, 0);
    EXPECT_EQ(started_sounds(), sounds({sound_fireball, sound_fireball}));
}

TEST_F(orders, a_reselected_spent_unit_attacks_again_and_counts_again)
{
    select_fresh(5, 5, 2, -1);
    place_unit(7, 5, 4);
    place_unit(8, 5, 4);
    place_unit(15, 10, 4);
    units_to_move = 3;
    script_rand({die(1), die(10)});
    order_unit(7, 5);
    EXPECT_EQ(units_to_move, 2);

    select_unit(5, 5);
    ASSERT_EQ(selected_x, 5);
    script_rand({die(10), die(1)});
    order_unit(8, 5);
    EXPECT_TRUE(is_empty_cell(8, 5));
    EXPECT_EQ(units_to_move, 1);

    select_unit(5, 5);
    order_unit(12, 2);  // an empty cell: a finish order, counted once more
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(selected_x, -1);
}

// ---- steps ----

TEST_F(orders, soldier_steps_on_plain_then_grasslands_and_finishes_by_itself)
{
    place_unit(15, 10, 4);
    select_fresh(5, 5, 0, 2);
    set_terrain(6, 6, 9);
    set_status("%s", "That is an enemy soldier!");
    int flips = flip_count();
    start_clock();
    order_unit(6, 5);  // Plain
    EXPECT_TRUE(is_empty_cell(5, 5)) << "the cell left holds the empty record, moves -2";
    EXPECT_EQ(unit_grid[6][5].type, 0);
    EXPECT_EQ(unit_grid[6][5].moves, 1);
    EXPECT_EQ(selected_x, 6) << "one step left: still selected, no enemy needed";
    EXPECT_EQ(selected_y, 5);
    EXPECT_EQ(units_to_move, 1);
    EXPECT_STREQ(status_text, "") << "a step clears the message and adds none";
    EXPECT_EQ(started_sounds(), sounds({sound_step}));
    EXPECT_TRUE(cell_background(6, 5, 0, 2));

    order_unit(6, 6);  // Grasslands; nothing in range afterwards
    EXPECT_TRUE(is_empty_cell(6, 5));
    EXPECT_EQ(unit_grid[6][6].moves, -1);
    EXPECT_EQ(selected_x, -1);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(winner, -1);
    EXPECT_EQ(started_sounds(), sounds({sound_step, sound_step}));
    EXPECT_EQ(rand_calls(), 0);
    EXPECT_EQ(flip_count(), flips) << "steps without captures are flipped by the caller";
    EXPECT_LT(elapsed(), 5u);
}

TEST_F(orders, knight_that_stepped_next_to_an_enemy_waits_for_an_attack)
{
    select_fresh(5, 5, 1, 1);
    place_unit(7, 5, 4);
    units_to_move = 1;
    order_unit(6, 5);
    EXPECT_EQ(selected_x, 6);
    EXPECT_EQ(unit_grid[6][5].moves, 0);
    EXPECT_EQ(units_to_move, 1);
    EXPECT_STREQ(status_text, "Attack enemy, or press (B)");
    EXPECT_TRUE(cell_background(7, 5, 4, 1)) << "the target is marked again after the message";
    EXPECT_TRUE(cell_background(6, 5, 1, 2));

    script_rand({die(10), die(1)});
    order_unit(7, 5);
    EXPECT_EQ(unit_grid[7][5].type, 1) << "the attack with no moves left is still allowed";
    EXPECT_EQ(winner, 0);
}

TEST_F(orders, knight_that_stepped_next_to_an_enemy_finishes_on_an_empty_cell)
{
    select_fresh(5, 5, 1, 1);
    place_unit(7, 5, 4);
    units_to_move = 1;
    order_unit(6, 5);
    ASSERT_EQ(selected_x, 6);
    order_unit(6, 4);
    EXPECT_EQ(unit_grid[6][5].moves, -1);
    EXPECT_TRUE(is_empty_cell(6, 4));
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(selected_x, -1);
}

TEST_F(orders, computer_side_gets_no_hint)
{
    cpu_player[0] = 1;
    select_fresh(5, 5, 1, 1);
    place_unit(7, 5, 4);
    order_unit(6, 5);
    EXPECT_EQ(selected_x, 6);
    EXPECT_STREQ(status_text, "");
}

TEST_F(orders, a_step_onto_an_empty_battlefield_decides_the_battle)
{
    select_fresh(5, 5, 0, 2);
    order_unit(4, 4);
    EXPECT_EQ(winner, 0);
}

// ---- forest ----

TEST_F(orders, failed_forest_clearing_leaves_forest_and_unit_and_finishes_it)
{
    select_fresh(5, 5, 1, 1);  // Knight: 4 against 1
    set_terrain(6, 5, 10);
    units_to_move = 1;
    capture_flips(true);
    script_rand({die(1), die(4)});  // 4 x 1 against 1 x 4: a tie
    start_clock();
    order_unit(6, 5);
    Uint32 took = elapsed();
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(get_pixel(terrain_map, 6, 5), 10);
    EXPECT_EQ(unit_grid[5][5].type, 1);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(selected_x, -1);
    EXPECT_EQ(winner, -1) << "no victory test after a failed clearing";
    EXPECT_EQ(started_sounds(), sounds({sound_step}));
    ASSERT_EQ(flipped_screen_count(), 1u);
    EXPECT_EQ(tile_mismatches(flipped_screen(0), strike_tile, 6 * 16, 5 * 16 + 14), 0)
        << "the clearing's marker covers the forest cell exactly";
    EXPECT_GE(took, 700u);
    EXPECT_LT(took, 720u);
}

TEST_F(orders, successful_forest_clearing_rolls_twice_the_attack_against_one)
{
    select_fresh(5, 5, 0, 2);  // Soldier, attack 1, one move to spare
    set_terrain(6, 5, 10);
    units_to_move = 1;
    // 2 x 3 = 6 beats 1 x 5; the plain attack (3) or a defence of 2 (10) would not.
    script_rand({die(3), die(5)});
    order_unit(6, 5);
    EXPECT_EQ(get_pixel(terrain_map, 6, 5), 8);
    EXPECT_TRUE(is_empty_cell(5, 5));
    EXPECT_EQ(unit_grid[6][5].type, 0);
    EXPECT_EQ(unit_grid[6][5].moves, -1) << "clearing ends the action even with a move to spare";
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(selected_x, -1);
    EXPECT_EQ(winner, 0) << "no enemy anywhere: the clearing's victory test decides";
    EXPECT_EQ(started_sounds(), sounds({sound_step}));
}

// ---- castles ----

TEST_F(orders, castles_at_the_edge_raise_nobody_off_the_map)
{
    place_unit(15, 10, 4);
    select_fresh(2, 1, 0, 2);
    set_terrain(0, 0, 13);
    set_terrain(2, 0, 15);
    script_rand({0, 1,    // (0, 0) + (-1, 0): column -1
                 1, 0});  // (2, 0) + (0, -1): row -1
    start_clock();
    order_unit(1, 1);
    EXPECT_EQ(rand_calls(), 4) << "no class is drawn for a cell off the map";
    EXPECT_EQ(get_pixel(terrain_map, 0, 0), 14);
    EXPECT_EQ(get_pixel(terrain_map, 2, 0), 14);
    EXPECT_EQ(units_on_grid(), 2);
    EXPECT_EQ(units_to_move, 1);
    EXPECT_EQ(selected_x, 1) << "the Soldier still has a step";
    EXPECT_EQ(started_sounds(), sounds({sound_step, sound_castle}));
    EXPECT_STREQ(status_text, "Castle captured!");
    EXPECT_GE(elapsed(), 300u);
    EXPECT_LT(elapsed(), 320u);

    // The far corner: (19, 11) + (+1, +1).
    reset_battlefield();
    current_side = 1;
    place_unit(0, 0, 0);
    select_fresh(18, 10, 4, 1);
    set_terrain(19, 11, 14);
    script_rand({2, 2});
    capture_castles();
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(get_pixel(terrain_map, 19, 11), 15);
    EXPECT_EQ(units_on_grid(), 2);
}

TEST_F(orders, capture_pause_is_300_ms_without_newcomers_and_none_without_castles)
{
    select_fresh(5, 5, 0, 2);
    set_terrain(4, 4, 14);  // the Dark's own castle only
    int flips = flip_count();
    start_clock();
    capture_castles();
    EXPECT_LT(elapsed(), 5u);
    EXPECT_EQ(rand_calls(), 0);
    EXPECT_TRUE(started_sounds().empty());
    EXPECT_EQ(flip_count(), flips);

    set_terrain(6, 6, 13);
    place_unit(5, 6, 4);      // occupied: the newcomer's cell is taken
    script_rand({0, 1});      // (6, 6) + (-1, 0) = (5, 6)
    start_clock();
    capture_castles();
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(unit_grid[5][6].type, 4);
    EXPECT_EQ(get_pixel(terrain_map, 6, 6), 14);
    EXPECT_EQ(get_pixel(terrain_map, 4, 4), 14);
    EXPECT_EQ(started_sounds(), sounds({sound_castle}));
    EXPECT_EQ(flip_count(), flips + 1);
    EXPECT_GE(elapsed(), 300u);
    EXPECT_LT(elapsed(), 320u);
}

TEST_F(orders, light_captures_make_light_castles_and_light_newcomers)
{
    current_side = 1;
    place_unit(0, 0, 0);
    select_fresh(10, 5, 5, 1);
    set_terrain(9, 4, 14);     // the Dark's castle
    set_terrain(11, 6, 13);    // a neutral one
    set_terrain(11, 5, 9);     // Grasslands take a newcomer too
    set_terrain(10, 7, 10);    // Forest does not
    units_to_move = 1;
    script_rand({1, 2,         // (9, 4) + (0, +1) = (9, 5): Plain, empty
                 0,            // a Soldier
                 0, 1,         // (11, 6) + (-1, 0) = (10, 6): Plain, empty
                 5,            // 5 % 4: a Knight
                 });
    start_clock();
    capture_castles();
    EXPECT_EQ(rand_calls(), 6);
    EXPECT_EQ(get_pixel(terrain_map, 9, 4), 15);
    EXPECT_EQ(get_pixel(terrain_map, 11, 6), 15);
    EXPECT_EQ(unit_grid[9][5].type, 4);
    EXPECT_EQ(unit_grid[9][5].moves, 2);
    EXPECT_EQ(unit_grid[10][6].type, 5);
    EXPECT_EQ(units_to_move, 3);
    EXPECT_EQ(started_sounds(), sounds({sound_spawn, sound_castle}));
    EXPECT_STREQ(status_text, "Reinforcements have arrived!");
    EXPECT_GE(elapsed(), 600u);
    EXPECT_LT(elapsed(), 620u);

    // A newcomer's cell of Forest or Grasslands decides by terrain alone.
    reset_battlefield();
    current_side = 1;
    place_unit(0, 0, 0);
    select_fresh(10, 5, 5, 1);
    set_terrain(11, 6, 13);
    set_terrain(10, 7, 10);
    set_terrain(12, 7, 9);
    script_rand({0, 2,  // (10, 7): Forest, nothing
                 });
    capture_castles();
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_TRUE(is_empty_cell(10, 7));
    set_terrain(11, 6, 13);
    script_rand({2, 2, 2});  // (12, 7): Grasslands, an Archer
    capture_castles();
    EXPECT_EQ(rand_calls(), 3);
    EXPECT_EQ(unit_grid[12][7].type, 6);
}

}  // namespace
