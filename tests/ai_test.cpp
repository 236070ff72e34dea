// ai_test.cpp -- the computer player on small hand-built battlefields with scripted rand() draws.
// Every order the computer gives passes through order_unit, which this program wraps
// (-Wl,--wrap=order_unit) to record who ordered what, in which order.
#include <vector>

#include "battle/ai.h"
#include "battle/orders.h"
#include "battle/state.h"
#include "platform/draw.h"
#include "harness/harness.h"
#include "platform/input.h"
#include "platform/resources.h"

namespace {

struct Order {
    int from_x, from_y;  // the selected unit when the order was given
    int x, y;            // the ordered cell
    bool operator==(const Order& o) const
    {
        return from_x == o.from_x && from_y == o.from_y && x == o.x && y == o.y;
    }
};

std::vector<Order> orders;
bool swallow_orders = false;  // true: record the order but let the real order_unit not see it
int flips_after_last_order = 0;

std::ostream& operator<<(std::ostream& out, const Order& o)
{
    return out << "(" << o.from_x << "," << o.from_y << ")->(" << o.x << "," << o.y << ")";
}

int count_sound(Mix_Chunk* chunk)
{
    int n = 0;
    for (Mix_Chunk* c : started_sounds())
        n += c == chunk;
    return n;
}

}  // namespace

extern "C" void __real__Z10order_unitii(int x, int y);
extern "C" void __wrap__Z10order_unitii(int x, int y)
{
    orders.push_back(Order{selected_x, selected_y, x, y});
    if (!swallow_orders)
        __real__Z10order_unitii(x, y);
    flips_after_last_order = flip_count();
}

class ComputerPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_battlefield();
        cpu_player[0] = 1;
        cpu_player[1] = 1;
        orders.clear();
        swallow_orders = false;
        script_rand({});
        set_ticks(5000);
        set_clock_limit(20 * 60 * 1000);
    }
    void TearDown() override { swallow_orders = false; }

    // Plays one whole turn of `side` with `units_to_move` set as the battle loop sets it.
    void play_turn(int side)
    {
        current_side = side;
        units_to_move = count_units_to_move();
        ai_take_turn();
    }

    void select(int x, int y)
    {
        select_unit(x, y);
        ASSERT_EQ(selected_x, x);
        ASSERT_EQ(selected_y, y);
    }
};

// ---- scan order ----

TEST_F(ComputerPlayer, DarkPlaysColumnsRightToLeftAndRowsTopDown)
{
    // Five Knights that each make one free step toward the lone enemy in the bottom-left corner.
    for (auto [x, y] : {std::pair{3, 6}, {12, 9}, {19, 4}, {12, 0}, {19, 1}})
        place_unit(x, y, 1);
    place_unit(0, 11, 4);
    play_turn(0);

    std::vector<Order> expected = {
        {19, 1, 18, 2}, {19, 4, 18, 5}, {12, 0, 11, 1}, {12, 9, 11, 10}, {3, 6, 2, 7},
    };
    EXPECT_EQ(orders, expected);
    EXPECT_EQ(rand_calls(), 0) << "free straight steps draw nothing";
    EXPECT_EQ(units_to_move, 0);
    for (const Order& o : expected) {
        EXPECT_EQ(unit_grid[o.x][o.y].type, 1);
        EXPECT_EQ(unit_grid[o.x][o.y].moves, -1) << "a stepped Knight is finished";
    }
    EXPECT_EQ(selected_x, -1);
}

TEST_F(ComputerPlayer, LightPlaysColumnsLeftToRightAndRowsTopDown)
{
    for (auto [x, y] : {std::pair{16, 6}, {7, 9}, {0, 4}, {7, 0}, {0, 1}})
        place_unit(x, y, 5);
    place_unit(19, 11, 0);
    play_turn(1);

    std::vector<Order> expected = {
        {0, 1, 1, 2}, {0, 4, 1, 5}, {7, 0, 8, 1}, {7, 9, 8, 10}, {16, 6, 17, 7},
    };
    EXPECT_EQ(orders, expected);
    EXPECT_EQ(units_to_move, 0);
}

TEST_F(ComputerPlayer, QuitRequestStopsRightAfterTheFirstSelection)
{
    place_unit(4, 4, 0);
    place_unit(9, 2, 1);
    place_unit(9, 7, 2);
    place_unit(0, 0, 6);
    key[0] = 1;
    Uint32 before = ticks_now();
    play_turn(0);
    EXPECT_EQ(selected_x, 9) << "the first unit in the Dark's scan stays selected";
    EXPECT_EQ(selected_y, 2);
    EXPECT_TRUE(orders.empty());
    EXPECT_GE(ticks_now() - before, 300u) << "the quit request is looked at after the 300 ms pause";
    EXPECT_EQ(unit_grid[9][7].moves, 1);
    EXPECT_EQ(unit_grid[4][4].moves, 2);
    key[0] = 0;
}

TEST_F(ComputerPlayer, FinishedUnitsAreSkippedButUnitsWithNoMovesLeftArePlayed)
{
    place_unit(10, 3, 1);
    unit_grid[10][3].moves = -1;  // already finished: never selected again
    place_unit(10, 5, 2);
    unit_grid[10][5].moves = 0;   // no steps left, may still shoot
    place_unit(12, 5, 6);
    play_turn(0);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{10, 5, 12, 5})) << "the Archer with 0 moves shoots";
    EXPECT_EQ(unit_grid[10][3].moves, -1);
}

// ---- the goal table ----

// Places one enemy of `type` at distance d from the unit at (0, 0) and a Neutral Castle scoring
// `castle_score` (30 - its distance), and returns the goal chosen.
static std::pair<int, int> goal_against_castle(int type, int d, int castle_score)
{
    reset_battlefield();
    cpu_player[0] = 1;
    place_unit(0, 0, 1);
    place_unit(d, 0, type);
    int castle_distance = 30 - castle_score;
    set_terrain(castle_distance, 1, terrain_neutral_castle);
    select_unit(0, 0);
    ai_choose_goal();
    return {ai_goal_x, ai_goal_y};
}

TEST_F(ComputerPlayer, EnemyScoresFollowClassAndTruncatedDistance)
{
    struct Case {
        int type, d, score;
    } cases[] = {
        {4, 1, 13}, {4, 3, 12},                  // Soldier: (20 - d) / 2 + 4
        {5, 1, 17}, {5, 3, 16}, {5, 4, 16},      // Knight: + 8
        {6, 2, 21}, {6, 7, 18}, {6, 19, 12},     // Archer: + 12
        {7, 1, 25}, {7, 6, 23}, {7, 19, 16},     // Mage: + 16
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " at distance " << c.d);
        std::pair<int, int> enemy{c.d, 0};
        // A castle one point better wins, one point worse loses: the enemy scores exactly c.score.
        std::pair<int, int> castle_better{30 - (c.score + 1), 1};
        std::pair<int, int> castle_worse{30 - (c.score - 1), 1};
        EXPECT_EQ(goal_against_castle(c.type, c.d, c.score + 1), castle_better);
        EXPECT_EQ(goal_against_castle(c.type, c.d, c.score - 1), enemy);
        // An equal castle: the first in the column-by-column scan keeps the goal.
        std::pair<int, int> castle_equal{30 - c.score, 1};
        std::pair<int, int> first = castle_equal.first < c.d ? castle_equal : enemy;
        EXPECT_EQ(goal_against_castle(c.type, c.d, c.score), first);
    }
}

TEST_F(ComputerPlayer, CastleScoresAndTies)
{
    place_unit(10, 5, 1);
    select(10, 5);

    // Two Neutral Castles at distance 2: the smaller column wins.
    set_terrain(12, 3, terrain_neutral_castle);
    set_terrain(8, 7, terrain_neutral_castle);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(8, 7));

    // Same column, same distance: the smaller row wins.
    set_terrain(8, 7, terrain_plain);
    set_terrain(12, 7, terrain_neutral_castle);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(12, 3));

    // The enemy's castle counts 5 more than a Neutral one: 35 - 6 = 29 beats 30 - 2 = 28.
    set_terrain(16, 5, terrain_light_castle);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(16, 5));

    // 35 - 7 = 28 only ties with 28, and column 12 comes first.
    set_terrain(16, 5, terrain_plain);
    set_terrain(17, 5, terrain_light_castle);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(12, 3));
}

TEST_F(ComputerPlayer, OwnCastlesAreNeverGoals)
{
    place_unit(10, 5, 1);
    place_unit(19, 11, 4);  // a far enemy Soldier: (20 - 9) / 2 + 4 = 9
    set_terrain(11, 5, terrain_dark_castle);
    set_terrain(9, 4, terrain_dark_castle);
    select(10, 5);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(19, 11));

    // For the Light the Dark Castles are the enemy's and its own Light Castle is ignored.
    reset_battlefield();
    current_side = 1;
    place_unit(10, 5, 5);
    place_unit(0, 0, 0);
    set_terrain(11, 5, terrain_light_castle);
    set_terrain(3, 5, terrain_dark_castle);  // 35 - 7 = 28
    select(10, 5);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(3, 5));
}

TEST_F(ComputerPlayer, NoScoringCellLeavesNoGoal)
{
    place_unit(10, 5, 1);
    place_unit(11, 5, 0);
    set_terrain(9, 5, terrain_dark_castle);
    select(10, 5);
    ai_goal_x = 3;
    ai_goal_y = 3;
    ai_choose_goal();
    EXPECT_EQ(ai_goal_x, -1);
    EXPECT_EQ(ai_goal_y, -1);
}

TEST_F(ComputerPlayer, CastleFourCellsAwayIsPreferredToAnAdjacentMage)
{
    place_unit(5, 5, 1);
    place_unit(6, 5, 7);                         // enemy Mage next to the Knight: 25
    set_terrain(5, 1, terrain_neutral_castle);   // four cells up: 26
    select(5, 5);
    ai_choose_goal();
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(5, 1));

    // In a real turn the Knight steps up toward the castle; with the Mage still next to it and no
    // steps left it then attacks the Mage: one draw for the choice, two for the roll (1 vs 10).
    deselect_unit();
    script_rand({0, 0, 9});
    play_turn(0);
    std::vector<Order> expected = {{5, 5, 5, 4}, {5, 4, 6, 5}};
    EXPECT_EQ(orders, expected);
    EXPECT_EQ(rand_calls(), 3);
    EXPECT_EQ(unit_grid[6][5].type, 7) << "the attack failed";
    EXPECT_EQ(unit_grid[5][4].moves, -1);
    EXPECT_EQ(units_to_move, 0);
}

TEST_F(ComputerPlayer, KnightChoosesTheArcherAndStepsOnTheStraightLine)
{
    place_unit(5, 5, 1);
    place_unit(6, 5, 5);  // enemy Knight next to it: 17
    place_unit(7, 7, 6);  // enemy Archer two cells away: 21
    select(5, 5);
    ai_choose_goal();
    ASSERT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(7, 7));
    ai_step();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{5, 5, 6, 6}));
    EXPECT_EQ(unit_grid[6][6].type, 1);
    EXPECT_EQ(unit_grid[6][6].moves, 0);
    EXPECT_EQ(selected_x, 6) << "enemies in range keep the Knight selected for its attack";
    EXPECT_EQ(rand_calls(), 0);
}

TEST_F(ComputerPlayer, AnEnemyOnTheStraightLineIsAttacked)
{
    place_unit(5, 5, 1);
    place_unit(6, 5, 5);
    place_unit(7, 7, 6);
    place_unit(6, 6, 4);  // an enemy Soldier on the way to the Archer
    select(5, 5);
    ai_choose_goal();
    ASSERT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(7, 7));
    started_sounds().clear();
    script_rand({9, 0});  // 2 x 10 against 2 x 1: a kill
    ai_step();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{5, 5, 6, 6}));
    EXPECT_EQ(count_sound(sound_hit), 1);
    EXPECT_EQ(unit_grid[6][6].type, 1) << "the Knight moved into the dead Soldier's cell";
    EXPECT_EQ(unit_grid[6][6].moves, -1);
    EXPECT_EQ(unit_grid[5][5].type, -1);
    EXPECT_EQ(rand_calls(), 2);
}

// ---- the attack choice ----

TEST_F(ComputerPlayer, TieBetweenTwoMagesIsDrawnAtTheSecond)
{
    place_unit(5, 5, 2);
    unit_grid[5][5].moves = 0;
    place_unit(5, 3, 4);  // Soldier, first in row order: a new best, draws
    place_unit(7, 4, 7);  // Mage: a new best, draws (changes nothing)
    place_unit(4, 7, 7);  // Mage: a tie, draws; even moves the target here
    place_unit(3, 8, 5);  // Knight after the Mages: lower, draws nothing
    place_unit(9, 5, 7);  // out of range (distance 4)
    select(5, 5);

    script_rand({0, 0, 1});
    EXPECT_EQ(ai_choose_attack(), 1);
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(7, 4)) << "odd keeps the first";
    EXPECT_EQ(rand_calls(), 3);

    script_rand({1, 1, 0});
    EXPECT_EQ(ai_choose_attack(), 1);
    EXPECT_EQ(std::make_pair(ai_goal_x, ai_goal_y), std::make_pair(4, 7)) << "even takes the second";
    EXPECT_EQ(rand_calls(), 3);
}

TEST_F(ComputerPlayer, NoEnemyInRangeGivesNoTarget)
{
    place_unit(5, 5, 3);
    place_unit(9, 5, 4);
    place_unit(6, 6, 1);  // an own unit is no target
    select(5, 5);
    ai_goal_x = 1;
    EXPECT_EQ(ai_choose_attack(), 0);
    EXPECT_EQ(ai_goal_x, -1);
    EXPECT_EQ(ai_goal_y, -1);
    EXPECT_EQ(rand_calls(), 0);
}

TEST_F(ComputerPlayer, ArcherWithNoMovesShootsTheDrawnMage)
{
    place_unit(5, 5, 2);
    unit_grid[5][5].moves = 0;
    place_unit(7, 4, 7);
    place_unit(6, 7, 7);
    started_sounds().clear();
    script_rand({1, 0, 9, 0});  // choice: the second Mage; roll: 2 x 10 against 2 x 1
    play_turn(0);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{5, 5, 6, 7}));
    EXPECT_EQ(unit_grid[6][7].type, -1) << "the second Mage was shot";
    EXPECT_EQ(unit_grid[7][4].type, 7);
    EXPECT_EQ(unit_grid[5][5].type, 2) << "a ranged kill leaves the Archer in place";
    EXPECT_EQ(count_sound(sound_arrow), 1);
    EXPECT_EQ(rand_calls(), 4);
}

// ---- blocked steps and turns ----

TEST_F(ComputerPlayer, BlockedUnitIsFinishedWithoutMoving)
{
    place_unit(5, 5, 1);
    place_unit(15, 5, 4);  // the goal, straight to the right
    set_terrain(6, 5, terrain_rock);
    set_terrain(6, 4, terrain_dark_castle);  // turned counter-clockwise: the Dark's own castle
    place_unit(6, 6, 0);                     // turned clockwise: an own unit
    units_to_move = 3;
    select(5, 5);
    ai_choose_goal();
    script_rand({1, 0});
    ai_step();
    EXPECT_TRUE(orders.empty());
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(unit_grid[5][5].type, 1);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(units_to_move, 2);
    EXPECT_EQ(selected_x, -1);
}

TEST_F(ComputerPlayer, BlockedUnitEndsTheTurnWhenItWasTheLast)
{
    place_unit(5, 5, 0);
    place_unit(15, 5, 4);
    for (int y = 4; y <= 6; y++)
        set_terrain(6, y, terrain_rock);
    script_rand({0, 1});
    play_turn(0);
    EXPECT_TRUE(orders.empty());
    EXPECT_EQ(rand_calls(), 2) << "one blocked unit draws two turns and is not tried again";
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
}

TEST_F(ComputerPlayer, BothTurnsStartFromTheStraightDirection)
{
    place_unit(5, 5, 1);
    place_unit(15, 5, 4);
    set_terrain(6, 5, terrain_rock);
    set_terrain(6, 6, terrain_rock);  // clockwise from "right" is down-right
    units_to_move = 1;
    select(5, 5);
    ai_choose_goal();
    // Twice clockwise: down-right both times, never "down" (5, 6), although that is free.
    script_rand({1, 1});
    ai_step();
    EXPECT_TRUE(orders.empty());
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(unit_grid[5][6].type, -1);

    // Clockwise, then counter-clockwise: up-right (6, 4) is free.
    reset_battlefield();
    cpu_player[0] = 1;
    place_unit(5, 5, 1);
    place_unit(15, 5, 4);
    set_terrain(6, 5, terrain_rock);
    set_terrain(6, 6, terrain_rock);
    select(5, 5);
    ai_choose_goal();
    script_rand({1, 0});
    ai_step();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{5, 5, 6, 4}));
    EXPECT_EQ(unit_grid[6][4].type, 1);
}

TEST_F(ComputerPlayer, TurnOffTheTopRowUsesUpTheTry)
{
    place_unit(5, 0, 1);
    place_unit(15, 0, 4);
    set_terrain(6, 0, terrain_rock);
    units_to_move = 1;
    select(5, 0);
    ai_choose_goal();
    script_rand({0, 0});  // counter-clockwise twice: up-right, off the map both times
    ai_step();
    EXPECT_TRUE(orders.empty());
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(unit_grid[5][0].moves, -1);
    EXPECT_EQ(units_to_move, 0);

    reset_battlefield();
    cpu_player[0] = 1;
    place_unit(5, 0, 1);
    place_unit(15, 0, 4);
    set_terrain(6, 0, terrain_rock);
    select(5, 0);
    ai_choose_goal();
    script_rand({0, 1});  // off the map, then clockwise: down-right
    ai_step();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{5, 0, 6, 1}));
    EXPECT_EQ(rand_calls(), 2);
}

TEST_F(ComputerPlayer, CanEnterOnlyOpenGroundAndEnemies)
{
    place_unit(5, 5, 1);
    select(5, 5);
    set_terrain(4, 4, terrain_forest);
    set_terrain(5, 4, terrain_grasslands);
    set_terrain(6, 4, terrain_rock);
    set_terrain(4, 5, terrain_water);
    set_terrain(6, 5, terrain_neutral_castle);
    place_unit(4, 6, 0);
    place_unit(5, 6, 4);
    set_terrain(5, 6, terrain_rock);  // an enemy may be attacked wherever it stands
    EXPECT_EQ(ai_can_enter(4, 4), 1);
    EXPECT_EQ(ai_can_enter(5, 4), 1);
    EXPECT_EQ(ai_can_enter(6, 6), 1);
    EXPECT_EQ(ai_can_enter(6, 4), 0);
    EXPECT_EQ(ai_can_enter(4, 5), 0);
    EXPECT_EQ(ai_can_enter(6, 5), 0);
    EXPECT_EQ(ai_can_enter(4, 6), 0);
    EXPECT_EQ(ai_can_enter(5, 6), 1);
    EXPECT_EQ(ai_can_enter(-1, 5), 0);
    EXPECT_EQ(ai_can_enter(20, 5), 0);
    EXPECT_EQ(ai_can_enter(5, -1), 0);
    EXPECT_EQ(ai_can_enter(5, 12), 0);
}

// ---- forest, reinforcements, victory, limits ----

TEST_F(ComputerPlayer, ForestOnTheWayIsClearedAsAnOrder)
{
    place_unit(5, 5, 0);  // a Soldier: two moves, yet clearing ends its turn
    place_unit(15, 5, 4);
    set_terrain(6, 5, terrain_forest);
    script_rand({9, 0});  // 2 x 10 against 1 x 1: cleared
    play_turn(0);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0], (Order{5, 5, 6, 5}));
    EXPECT_EQ(get_pixel(terrain_map, 6, 5), terrain_plain);
    EXPECT_EQ(unit_grid[6][5].type, 0);
    EXPECT_EQ(unit_grid[6][5].moves, -1);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(rand_calls(), 2);
}

TEST_F(ComputerPlayer, FailedForestClearingStillFinishesTheUnit)
{
    place_unit(5, 5, 0);
    place_unit(15, 5, 4);
    set_terrain(6, 5, terrain_forest);
    script_rand({0, 9});  // 2 x 1 against 1 x 10
    play_turn(0);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(get_pixel(terrain_map, 6, 5), terrain_forest);
    EXPECT_EQ(unit_grid[5][5].moves, -1);
    EXPECT_EQ(units_to_move, 0);
}

// A captured castle raises a Soldier; it is played in the same pass when it lands further along
// the scan, in the next pass when it lands on a cell the scan has already passed.
TEST_F(ComputerPlayer, ReinforcementAheadOfTheScanPlaysInTheSamePass)
{
    place_unit(10, 5, 1);
    place_unit(2, 6, 1);
    place_unit(0, 0, 4);
    set_terrain(9, 4, terrain_neutral_castle);
    // Turn: clockwise (up); capture offsets (-1, 0) give (8, 4); class 0, a Soldier.
    script_rand({1, 0, 1, 0});
    play_turn(0);
    std::vector<Order> expected = {{10, 5, 10, 4}, {8, 4, 7, 3}, {7, 3, 6, 2}, {2, 6, 1, 5}};
    EXPECT_EQ(orders, expected);
    EXPECT_EQ(get_pixel(terrain_map, 9, 4), terrain_dark_castle);
    EXPECT_EQ(units_to_move, 0);
    EXPECT_EQ(rand_calls(), 4);
}

TEST_F(ComputerPlayer, ReinforcementBehindTheScanPlaysInTheNextPass)
{
    place_unit(10, 5, 1);
    place_unit(2, 6, 1);
    place_unit(0, 0, 4);
    set_terrain(9, 4, terrain_neutral_castle);
    script_rand({1, 2, 0, 0});  // offsets (+1, -1) give (10, 3), above the Knight's old cell
    play_turn(0);
    std::vector<Order> expected = {{10, 5, 10, 4}, {2, 6, 1, 5}, {10, 3, 9, 2}, {9, 2, 8, 1}};
    EXPECT_EQ(orders, expected);
    EXPECT_EQ(units_to_move, 0);
}

TEST_F(ComputerPlayer, NothingIsPlayedOnceTheLastEnemyIsKilled)
{
    place_unit(10, 5, 1);
    place_unit(11, 5, 4);  // the only enemy
    place_unit(3, 3, 0);
    place_unit(2, 8, 2);
    script_rand({9, 0});
    play_turn(0);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(winner, 0);
    EXPECT_EQ(rand_calls(), 2);
    EXPECT_EQ(unit_grid[3][3].moves, 2) << "not played after the win";
    EXPECT_EQ(unit_grid[2][8].moves, 1);
    EXPECT_EQ(selected_x, -1);
    // After the killing order: the flip after the step, the flip that ends the Knight, and no
    // selection of any further unit.
    EXPECT_EQ(flip_count() - flips_after_last_order, 2);
}

TEST_F(ComputerPlayer, NothingIsPlayedWhenTheWinnerIsAlreadySet)
{
    place_unit(10, 5, 1);
    place_unit(15, 5, 4);
    winner = 0;
    play_turn(0);
    EXPECT_TRUE(orders.empty());
    EXPECT_EQ(unit_grid[10][5].moves, 1);
    winner = -1;
}

TEST_F(ComputerPlayer, AtMostNinePassesAndEightStepsPerUnit)
{
    // With every order swallowed the unit never finishes: each pass gives it eight steps, and the
    // ninth pass is the last however many units are still to move.
    place_unit(5, 5, 0);
    place_unit(15, 5, 4);
    swallow_orders = true;
    play_turn(0);
    swallow_orders = false;
    EXPECT_EQ(orders.size(), 9u * 8u);
    for (const Order& o : orders)
        EXPECT_EQ(o, (Order{5, 5, 6, 5}));
    EXPECT_EQ(units_to_move, 1);
    EXPECT_EQ(selected_x, -1);
}
