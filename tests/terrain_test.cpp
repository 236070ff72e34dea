// terrain_test.cpp -- the random battlefield: scripted draws pin down seeds, growth, Rock, Neutral
// Castles and the two armies cell by cell; ten thousand seeded maps check what always holds.
#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "battle/state.h"
#include "battle/terrain.h"
#include "harness/harness.h"
#include "platform/draw.h"

namespace {

// The draws of one generate_terrain, built phase by phase.
struct Script {
    std::vector<int> values;

    // 50 seeds: Plain filler at (0, 0) first, so the listed ones are the last written.
    void seeds(const std::vector<std::array<int, 3>>& listed)
    {
        for (size_t i = listed.size(); i < 50; i++)
            values.insert(values.end(), {0, 0, 0});
        for (const auto& s : listed)
            values.insert(values.end(), s.begin(), s.end());
    }
    void repeat(int times, const std::vector<int>& group)
    {
        for (int i = 0; i < times; i++)
            values.insert(values.end(), group.begin(), group.end());
    }
    // 8 Rocks (row, column draws), the listed first, the rest at column 10, row 11.
    void rocks(const std::vector<std::array<int, 2>>& listed = {})
    {
        for (const auto& r : listed)
            values.insert(values.end(), r.begin(), r.end());
        for (size_t i = listed.size(); i < 8; i++)
            values.insert(values.end(), {11, 10});
    }
    // 8 Neutral Castles (column, row draws), the listed first, the rest at column 14, row 11.
    void castles(const std::vector<std::array<int, 2>>& listed = {})
    {
        for (const auto& c : listed)
            values.insert(values.end(), c.begin(), c.end());
        for (size_t i = listed.size(); i < 8; i++)
            values.insert(values.end(), {10, 11});
    }
    void armies(int a_draw, int b_draw) { values.insert(values.end(), {a_draw, b_draw}); }
};

struct Cell {
    int x, y, code;
};

typedef std::array<std::array<int, map_height>, map_width> CodeGrid;  // [x][y]

// What the map must hold: Plain, the listed cells, the filler Rock and Castle, then both zones.
CodeGrid expected_map(int a, int b, const std::vector<Cell>& cells)
{
    CodeGrid map;
    for (auto& column : map)
        column.fill(terrain_plain);
    map[10][11] = terrain_rock;
    map[14][11] = terrain_neutral_castle;
    for (const Cell& c : cells)
        map[c.x][c.y] = c.code;
    for (int y = a; y < a + 3; y++)
        for (int x = 0; x < 3; x++)
            map[x][y] = terrain_plain;
    map[1][a + 1] = terrain_dark_castle;
    for (int y = b; y < b + 3; y++)
        for (int x = 17; x < 20; x++)
            map[x][y] = terrain_plain;
    map[18][b + 1] = terrain_light_castle;
    return map;
}

std::string picture(const CodeGrid& map)
{
    static const char letters[] = "????????.\"FWR#DL";
    std::string out;
    for (int y = 0; y < map_height; y++) {
        out += "  ";
        for (int x = 0; x < map_width; x++) {
            int c = map[x][y];
            out += c >= 0 && c < 16 ? letters[c] : '?';
        }
        out += '\n';
    }
    return out;
}

CodeGrid actual_map()
{
    CodeGrid map;
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++)
            map[x][y] = get_pixel(terrain_map, x, y);
    return map;
}

::testing::AssertionResult map_is(const CodeGrid& expected)
{
    CodeGrid actual = actual_map();
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    for (int y = 0; y < map_height; y++)
        for (int x = 0; x < map_width; x++)
            if (actual[x][y] != expected[x][y])
                out << "(" << x << ", " << y << ") is " << actual[x][y] << ", expected "
                    << expected[x][y] << "\n";
    return ::testing::AssertionFailure() << out.str() << "actual:\n"
                                         << picture(actual) << "expected:\n"
                                         << picture(expected);
}

// The sixteen starting units for zones at rows a and b.
std::vector<Cell> army_cells(int a, int b)
{
    return {
        {0, a, 2},      {1, a, 1},      {2, a, 0},      {0, a + 1, 3},  {2, a + 1, 0},
        {0, a + 2, 2},  {1, a + 2, 1},  {2, a + 2, 0},  {17, b, 4},     {18, b, 5},
        {19, b, 6},     {17, b + 1, 4}, {19, b + 1, 7}, {17, b + 2, 4}, {18, b + 2, 5},
        {19, b + 2, 6},
    };
}

bool same_record(const UnitRecord& u, const UnitRecord& v)
{
    return u.attack == v.attack && u.defence == v.defence && u.moves == v.moves &&
           u.range == v.range && u.type == v.type;
}

::testing::AssertionResult armies_at(int a, int b)
{
    std::ostringstream out;
    std::array<std::array<int, map_height>, map_width> want;
    for (auto& column : want)
        column.fill(-1);
    for (const Cell& c : army_cells(a, b))
        want[c.x][c.y] = c.code;
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++) {
            const UnitRecord& u = unit_grid[x][y];
            const UnitRecord& expected = want[x][y] < 0 ? empty_unit : unit_types[want[x][y]];
            if (!same_record(u, expected))
                out << "(" << x << ", " << y << ") holds type " << u.type << " moves " << u.moves
                    << ", expected type " << expected.type << " moves " << expected.moves << "\n";
        }
    if (out.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << out.str();
}

class TerrainTest : public ::testing::Test {
protected:
    void SetUp() override { reset_battlefield(); }
    void TearDown() override { script_rand({}); }

    // Runs a whole generation on the script and checks that it drew exactly the scripted values.
    void generate(const Script& script)
    {
        clear_unit_grid();
        script_rand(script.values);
        generate_terrain();
        EXPECT_EQ(rand_calls(), static_cast<int>(script.values.size()));
        EXPECT_EQ(rand_script_left(), 0u);
    }
};

TEST_F(TerrainTest, SeedSevenThirtyFortyFiveIsGrasslandsAtColumnFiveRowSix)
{
    Script s;
    s.seeds({{7, 30, 45}});
    s.repeat(15, {4, 3});  // horizontal, offset 0: the seed only rewrites itself
    s.rocks();
    s.castles();
    s.armies(0, 0);
    ASSERT_EQ(s.values.size(), 214u);
    generate(s);
    EXPECT_TRUE(map_is(expected_map(0, 0, {{5, 6, terrain_grasslands}})));
}

TEST_F(TerrainTest, PlainSeedsGrowNothingAndTheGroundIsResetFirst)
{
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++)
            set_terrain(x, y, terrain_water);
    Script s;
    // A Forest and a Grasslands seed, both overwritten by a later Plain one on the same cell.
    s.seeds({{2, 6, 5}, {1, 18, 25}, {3, 6, 5}});
    s.rocks();
    s.castles();
    s.armies(0, 0);
    generate(s);
    EXPECT_EQ(rand_calls(), 150 + 16 + 16 + 2);
    EXPECT_TRUE(map_is(expected_map(0, 0, {})));
}

TEST_F(TerrainTest, RockAndNeutralCastleExamples)
{
    Script s;
    s.seeds({});
    s.rocks({{30, 45}, {3, 7}});
    // 30, 45: column 12, row 9; 3, 3: column 7, row 3, over the Rock there.
    s.castles({{30, 45}, {3, 3}});
    s.armies(0, 0);
    generate(s);
    EXPECT_TRUE(map_is(expected_map(0, 0, {{5, 6, terrain_rock},
                                           {12, 9, terrain_neutral_castle},
                                           {7, 3, terrain_neutral_castle}})));
}

TEST_F(TerrainTest, ArmiesFromFourteenAndTwentySeven)
{
    Script s;
    // A Grasslands seed where the Light Mage will stand; it only rewrites itself.
    s.seeds({{1, 8, 19}});
    s.repeat(15, {0, 1});
    s.rocks({{5, 0}});  // Rock at column 0, row 5, inside the Dark zone
    s.castles();
    s.armies(14, 27);
    generate(s);
    EXPECT_TRUE(map_is(expected_map(4, 7, {})));
    EXPECT_EQ(get_pixel(terrain_map, 1, 5), terrain_dark_castle);
    EXPECT_EQ(get_pixel(terrain_map, 18, 8), terrain_light_castle);
    EXPECT_TRUE(armies_at(4, 7));
    // Spot checks against the worked example, independent of the helper's table.
    EXPECT_EQ(unit_grid[0][4].type, 2);
    EXPECT_EQ(unit_grid[0][5].type, 3);
    EXPECT_EQ(unit_grid[1][6].type, 1);
    EXPECT_EQ(unit_grid[2][5].type, 0);
    EXPECT_EQ(unit_grid[1][5].type, -1);
    EXPECT_EQ(unit_grid[17][9].type, 4);
    EXPECT_EQ(unit_grid[18][7].type, 5);
    EXPECT_EQ(unit_grid[19][9].type, 6);
    EXPECT_EQ(unit_grid[19][8].type, 7);
    EXPECT_EQ(unit_grid[18][8].type, -1);
    EXPECT_EQ(unit_grid[2][4].moves, 2) << "a placed Soldier starts with its full moves";
}

TEST_F(TerrainTest, ZonesAtTheTopAndBottomRows)
{
    const int draws[][2] = {{19, 30}, {0, 9}};
    for (const auto& d : draws) {
        int a = d[0] % 10, b = d[1] % 10;
        SCOPED_TRACE(a);
        reset_battlefield();
        Script s;
        s.seeds({});
        s.rocks();
        s.castles();
        s.armies(d[0], d[1]);
        generate(s);
        EXPECT_TRUE(map_is(expected_map(a, b, {})));
        EXPECT_TRUE(armies_at(a, b));
    }
}

TEST_F(TerrainTest, GrasslandsGrowLeftwardsOnlyAndStopAtColumnZero)
{
    Script s;
    s.seeds({{1, 6, 5}});
    // Horizontal with offset -1 every time: pass p reads min(p, 6) cells.
    s.repeat(75, {2, 0});
    s.rocks();
    s.castles();
    s.armies(0, 0);
    generate(s);
    std::vector<Cell> row;
    for (int x = 0; x <= 5; x++)
        row.push_back({x, 6, terrain_grasslands});
    EXPECT_TRUE(map_is(expected_map(0, 0, row)));
}

TEST_F(TerrainTest, GrasslandsGrowUpwardsOnlyAndStopAtRowZero)
{
    Script s;
    s.seeds({{1, 6, 5}});
    // Vertical with offset -1 every time: pass p reads min(p, 7) cells.
    s.repeat(84, {1, 2});
    s.rocks();
    s.castles();
    s.armies(0, 0);
    generate(s);
    std::vector<Cell> column;
    for (int y = 0; y <= 6; y++)
        column.push_back({5, y, terrain_grasslands});
    EXPECT_TRUE(map_is(expected_map(0, 0, column)));
}

TEST_F(TerrainTest, EachPassScansRowByRowFromASnapshotOfThePreviousPass)
{
    Script s;
    s.seeds({{1, 6, 5}, {1, 3, 8}});
    // Pass 1: (8, 3) comes first, in the earlier row: vertical, up; then (5, 6): horizontal, left.
    s.values.insert(s.values.end(), {1, 0, 0, 0});
    // Passes 2..15 each read the four cells of the previous pass, which only rewrite themselves.
    s.repeat(14 * 4, {0, 1});
    s.rocks();
    s.castles();
    s.armies(0, 0);
    generate(s);
    EXPECT_TRUE(map_is(expected_map(0, 0, {{8, 3, terrain_grasslands},
                                           {8, 2, terrain_grasslands},
                                           {5, 6, terrain_grasslands},
                                           {4, 6, terrain_grasslands}})));
}

TEST_F(TerrainTest, ForestSpreadsOnlyOnAnEvenFirstDraw)
{
    Script s;
    s.seeds({{2, 6, 5}});
    s.values.insert(s.values.end(), {1});        // pass 1: odd, stays put, nothing more drawn
    s.values.insert(s.values.end(), {0, 0, 0});  // pass 2: spreads, horizontal, left
    s.values.insert(s.values.end(), {2, 5, 0,    // pass 3: (4, 6) spreads, vertical, up
                                     3});        //         (5, 6) stays put
    s.repeat(12 * 3, {1});                       // passes 4..15: three cells, none spreads
    s.rocks();
    s.castles();
    s.armies(0, 0);
    generate(s);
    EXPECT_TRUE(map_is(expected_map(0, 0, {{5, 6, terrain_forest},
                                           {4, 6, terrain_forest},
                                           {4, 5, terrain_forest}})));
}

TEST_F(TerrainTest, SeedsOnTheTopRowAndLeftColumnWriteNothingOffTheMap)
{
    Script s;
    s.seeds({{4, 0, 0}, {2, 0, 7}, {1, 4, 0}});
    // Every pass visits (0, 0), (7, 0), (0, 4); every spread points off the map.
    for (int pass = 0; pass < 15; pass++) {
        int corner_direction = pass % 2;  // up, then left, in turn
        s.values.insert(s.values.end(), {corner_direction, 0, 0, 1, 0, 0, 0});
    }
    s.rocks();
    s.castles();
    s.armies(9, 9);
    generate(s);
    EXPECT_TRUE(map_is(expected_map(9, 9, {{0, 0, terrain_grasslands},
                                           {7, 0, terrain_forest},
                                           {0, 4, terrain_grasslands}})));
}

// ---- what holds for every battlefield ----

TEST_F(TerrainTest, TenThousandSeededBattlefields)
{
    std::set<int> castle_columns, castle_rows, rock_columns, rock_rows, dark_rows, light_rows;
    std::set<int> codes_seen;
    int failures = 0;
    script_rand({});
    for (unsigned seed = 1; seed <= 10000 && failures < 5; seed++) {
        srand(seed);
        clear_unit_grid();
        generate_terrain();
        CodeGrid map = actual_map();
        std::ostringstream problems;
        int rocks = 0, castles = 0;
        int dark_castle_row = -1, light_castle_row = -1, dark_castles = 0, light_castles = 0;
        for (int x = 0; x < map_width; x++)
            for (int y = 0; y < map_height; y++) {
                int c = map[x][y];
                codes_seen.insert(c);
                if (c != terrain_plain && c != terrain_grasslands && c != terrain_forest &&
                    c != terrain_rock && c != terrain_neutral_castle && c != terrain_dark_castle &&
                    c != terrain_light_castle)
                    problems << "code " << c << " at (" << x << ", " << y << ")\n";
                if (c == terrain_rock) {
                    rocks++;
                    rock_columns.insert(x);
                    rock_rows.insert(y);
                }
                if (c == terrain_neutral_castle) {
                    castles++;
                    castle_columns.insert(x);
                    castle_rows.insert(y);
                    if (x < 4 || x > 14)
                        problems << "Neutral Castle in column " << x << "\n";
                }
                if (c == terrain_dark_castle) {
                    dark_castles++;
                    dark_castle_row = y;
                    if (x != 1)
                        problems << "Dark Castle in column " << x << "\n";
                }
                if (c == terrain_light_castle) {
                    light_castles++;
                    light_castle_row = y;
                    if (x != 18)
                        problems << "Light Castle in column " << x << "\n";
                }
            }
        if (rocks > 8 || castles > 8)
            problems << rocks << " Rocks, " << castles << " Neutral Castles\n";
        if (dark_castles != 1 || light_castles != 1 || dark_castle_row < 1 || dark_castle_row > 10 ||
            light_castle_row < 1 || light_castle_row > 10) {
            problems << dark_castles << " Dark and " << light_castles << " Light Castles\n";
        } else {
            int a = dark_castle_row - 1, b = light_castle_row - 1;
            dark_rows.insert(a);
            light_rows.insert(b);
            for (int dy = 0; dy < 3; dy++)
                for (int dx = 0; dx < 3; dx++) {
                    if (dx == 1 && dy == 1)
                        continue;
                    if (map[dx][a + dy] != terrain_plain)
                        problems << "Dark zone cell (" << dx << ", " << a + dy << ") not Plain\n";
                    if (map[17 + dx][b + dy] != terrain_plain)
                        problems << "Light zone cell (" << 17 + dx << ", " << b + dy << ") not Plain\n";
                }
            ::testing::AssertionResult armies = armies_at(a, b);
            if (!armies)
                problems << armies.message();
        }
        int per_side[2] = {0, 0};
        for (int x = 0; x < map_width; x++)
            for (int y = 0; y < map_height; y++) {
                int t = unit_grid[x][y].type;
                if (t < 0)
                    continue;
                per_side[t / 4]++;
                if (map[x][y] >= terrain_neutral_castle)
                    problems << "unit on a castle at (" << x << ", " << y << ")\n";
            }
        if (per_side[0] != 8 || per_side[1] != 8)
            problems << per_side[0] << " Dark and " << per_side[1] << " Light units\n";
        current_side = side_dark;
        int dark_count = count_units_to_move();
        current_side = side_light;
        int light_count = count_units_to_move();
        current_side = side_dark;
        if (dark_count != 8 || light_count != 8)
            problems << "count_units_to_move gives " << dark_count << " and " << light_count << "\n";
        if (!problems.str().empty()) {
            failures++;
            ADD_FAILURE() << "seed " << seed << ":\n" << problems.str() << picture(map);
        }
    }
    EXPECT_EQ(codes_seen.count(terrain_water), 0u);
    // The bounds of the draws: every allowed place is reached, none beyond.
    EXPECT_EQ(*castle_columns.begin(), 4);
    EXPECT_EQ(*castle_columns.rbegin(), 14);
    EXPECT_EQ(castle_rows.size(), 12u);
    EXPECT_EQ(rock_columns.size(), 20u) << "Rock in a home zone is overwritten, but not always";
    EXPECT_EQ(rock_rows.size(), 12u);
    EXPECT_EQ(dark_rows.size(), 10u);
    EXPECT_EQ(light_rows.size(), 10u);
    for (int c : {terrain_plain, terrain_grasslands, terrain_forest, terrain_rock})
        EXPECT_EQ(codes_seen.count(c), 1u) << "code " << c << " never generated";
}

}  // namespace
