// state_test.cpp -- the battlefield model: the unit-type table, the record layout, and the
// whole-grid operations on an empty grid, a full grid and a lone unit in every cell.
#include <cmath>
#include <cstddef>
#include <type_traits>

#include "battle/state.h"
#include "harness/harness.h"

static_assert(sizeof(UnitRecord) == 5 * sizeof(int32_t), "five 32-bit fields, nothing else");
static_assert(offsetof(UnitRecord, attack) == 0 && offsetof(UnitRecord, defence) == 4 &&
                  offsetof(UnitRecord, moves) == 8 && offsetof(UnitRecord, range) == 12 &&
                  offsetof(UnitRecord, type) == 16,
              "fields in the order attack, defence, moves, range, type");
static_assert(std::is_same<decltype(unit_grid), UnitRecord[20][12]>::value, "indexed [x][y]");
static_assert(std::is_same<decltype(UnitRecord::attack), int32_t>::value &&
                  std::is_same<decltype(UnitRecord::type), int32_t>::value,
              "signed 32-bit fields");

namespace {

bool same_record(const UnitRecord& a, const UnitRecord& b)
{
    return a.attack == b.attack && a.defence == b.defence && a.moves == b.moves &&
           a.range == b.range && a.type == b.type;
}

::testing::AssertionResult record_is(const UnitRecord& r, int attack, int defence, int moves,
                                     int range, int type)
{
    if (r.attack == attack && r.defence == defence && r.moves == moves && r.range == range &&
        r.type == type)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "{" << r.attack << ", " << r.defence << ", " << r.moves << ", " << r.range << ", "
           << r.type << "}, expected {" << attack << ", " << defence << ", " << moves << ", "
           << range << ", " << type << "}";
}

// Every cell holds a unit: the Dark in the left half, the Light in the right, the four classes
// in turn, with moves spread over every value a live unit can have.
void fill_grid()
{
    for (int x = 0; x < 20; x++)
        for (int y = 0; y < 12; y++) {
            int side = x < 10 ? 0 : 1;
            unit_grid[x][y] = unit_types[side * 4 + (x + y) % 4];
            unit_grid[x][y].moves = (x * 12 + y) % 4 - 1;  // -1, 0, 1 or 2
        }
}

struct Battlefield : ::testing::Test {
    void SetUp() override { reset_battlefield(); }
};

}  // namespace

TEST(UnitTypes, HoldTheEightTypesAndTheEmptyCell)
{
    // attack, defence, moves, range; the Light copy the Dark class by class.
    const int classes[4][4] = {{1, 2, 2, 1}, {2, 2, 1, 1}, {2, 1, 1, 3}, {3, 2, 1, 3}};
    for (int type = 0; type < 8; type++) {
        const int* c = classes[type % 4];
        EXPECT_TRUE(record_is(unit_types[type], c[0], c[1], c[2], c[3], type)) << "type " << type;
    }
    EXPECT_TRUE(record_is(empty_unit, 0, 0, -2, 0, -1));
}

TEST(UnitTypes, SettingUpAgainChangesNothing)
{
    UnitRecord before[8];
    for (int t = 0; t < 8; t++)
        before[t] = unit_types[t];
    UnitRecord empty_before = empty_unit;
    setup_unit_types();
    for (int t = 0; t < 8; t++)
        EXPECT_TRUE(same_record(unit_types[t], before[t])) << "type " << t;
    EXPECT_TRUE(same_record(empty_unit, empty_before));
}

TEST(UnitGrid, IsStoredColumnByColumn)
{
    EXPECT_EQ(&unit_grid[0][1] - &unit_grid[0][0], 1);
    EXPECT_EQ(&unit_grid[1][0] - &unit_grid[0][0], 12);
    EXPECT_EQ(&unit_grid[19][11] - &unit_grid[0][0], 239);
}

TEST_F(Battlefield, ClearingAFullGridEmptiesEveryCell)
{
    fill_grid();
    clear_unit_grid();
    for (int x = 0; x < 20; x++)
        for (int y = 0; y < 12; y++)
            ASSERT_TRUE(record_is(unit_grid[x][y], 0, 0, -2, 0, -1)) << "cell " << x << ", " << y;
}

TEST_F(Battlefield, AnEmptyGridHasNoUnitsToMoveAndWhoeverActsHasWon)
{
    for (int side = 0; side < 2; side++) {
        clear_unit_grid();
        current_side = side;
        winner = -1;
        EXPECT_EQ(count_units_to_move(), 0);
        check_victory();
        EXPECT_EQ(winner, side);
    }
    // Nobody on the field is shown as an even balance rather than a division by zero.
    double share = dark_share();
    EXPECT_FALSE(std::isnan(share));
    EXPECT_EQ(share, 0.5);
}

TEST_F(Battlefield, CountingTakesEveryUnitOfTheSideToMoveWhateverItsMoves)
{
    fill_grid();
    current_side = 0;
    EXPECT_EQ(count_units_to_move(), 120);
    current_side = 1;
    EXPECT_EQ(count_units_to_move(), 120);

    clear_unit_grid();
    place_unit(3, 4, 5);
    unit_grid[3][4].moves = -1;
    place_unit(6, 7, 4);
    unit_grid[6][7].moves = 0;
    place_unit(0, 0, 2);
    current_side = 1;
    EXPECT_EQ(count_units_to_move(), 2);
    current_side = 0;
    EXPECT_EQ(count_units_to_move(), 1);
}

TEST_F(Battlefield, EveryCellIsScannedOnce)
{
    // A lone unit anywhere, the corners included, counts, stops a victory and weighs in the share.
    for (int x = 0; x < 20; x++)
        for (int y = 0; y < 12; y++) {
            clear_unit_grid();
            place_unit(x, y, 6);  // a Light archer
            current_side = 1;
            ASSERT_EQ(count_units_to_move(), 1) << "cell " << x << ", " << y;
            current_side = 0;
            ASSERT_EQ(count_units_to_move(), 0) << "cell " << x << ", " << y;
            winner = -1;
            check_victory();
            ASSERT_EQ(winner, -1) << "the Dark won with a Light unit left at " << x << ", " << y;
            ASSERT_EQ(dark_share(), 0.0) << "cell " << x << ", " << y;
            place_unit(19 - x, 11 - y, 1);
            if (19 - x != x || 11 - y != y) {
                ASSERT_EQ(dark_share(), 0.5) << "cell " << x << ", " << y;
            }
        }
}

TEST_F(Battlefield, RestoringMovesRefreshesBothArmiesAndNothingElse)
{
    fill_grid();
    unit_grid[4][4].attack = 9;  // fields restore_moves must not touch
    unit_grid[15][2].range = 7;
    unit_grid[0][0] = empty_unit;
    unit_grid[19][11] = empty_unit;
    current_side = 0;
    restore_moves();
    for (int x = 0; x < 20; x++)
        for (int y = 0; y < 12; y++) {
            const UnitRecord& cell = unit_grid[x][y];
            if ((x == 0 && y == 0) || (x == 19 && y == 11)) {
                EXPECT_TRUE(record_is(cell, 0, 0, -2, 0, -1)) << "empty cell " << x << ", " << y;
                continue;
            }
            int expected_moves = cell.type % 4 == 0 ? 2 : 1;
            EXPECT_EQ(cell.moves, expected_moves) << "type " << cell.type << " at " << x << ", " << y;
        }
    EXPECT_EQ(unit_grid[4][4].attack, 9);
    EXPECT_EQ(unit_grid[15][2].range, 7);
    EXPECT_EQ(unit_grid[4][4].type, 0);
    EXPECT_EQ(unit_grid[15][2].type, 5);
}

TEST_F(Battlefield, OnlyTheActingSideCanWin)
{
    place_unit(2, 2, 4);
    place_unit(17, 9, 7);
    // The Dark acts while only the Light stands: nothing is decided.
    current_side = 0;
    check_victory();
    EXPECT_EQ(winner, -1);
    // The Light acts with no Dark unit left: the Light has won.
    current_side = 1;
    check_victory();
    EXPECT_EQ(winner, 1);

    reset_battlefield();
    place_unit(2, 2, 0);
    place_unit(17, 9, 7);
    for (int side = 0; side < 2; side++) {
        current_side = side;
        check_victory();
        EXPECT_EQ(winner, -1) << "both sides still stand";
    }
    unit_grid[17][9] = empty_unit;
    current_side = 0;
    check_victory();
    EXPECT_EQ(winner, 0);
}

TEST_F(Battlefield, DarkShareCountsUnitsNotTheirStrength)
{
    place_unit(0, 0, 3);
    place_unit(5, 5, 0);
    place_unit(19, 11, 1);
    place_unit(10, 6, 7);
    EXPECT_DOUBLE_EQ(dark_share(), 0.75);
    fill_grid();
    EXPECT_DOUBLE_EQ(dark_share(), 0.5);
    for (int x = 0; x < 10; x++)
        for (int y = 0; y < 12; y++)
            if (x >= 5)
                unit_grid[x][y] = empty_unit;
    EXPECT_DOUBLE_EQ(dark_share(), 60.0 / 180.0);
    for (int x = 10; x < 20; x++)
        for (int y = 0; y < 12; y++)
            unit_grid[x][y] = empty_unit;
    EXPECT_DOUBLE_EQ(dark_share(), 1.0);
}
