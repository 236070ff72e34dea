// whole_battle_test.cpp -- 200 seeded computer-against-computer battles, played to the end under
// the virtual clock. order_unit is wrapped (-Wl,--wrap=order_unit) so that the battlefield is
// checked after every order the computer gives.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/state.h"
#include "harness/harness.h"
#include "platform/draw.h"
#include "platform/input.h"

namespace {

const int turn_cap = 200;                        // a battle still going at turn 200 is stopped
const Uint32 time_cap = 6u * 60u * 60u * 1000u;  // and one that lasts 6 virtual hours

int orders_given = 0;
bool victory_taps_scheduled = false;
std::vector<std::string> broken;  // the first few broken invariants, with the seed and order

unsigned current_seed = 0;

// Why the battlefield is not in a state the rules allow, or "" when it is.
std::string check_battlefield()
{
    int own_units = 0;
    for (int x = 0; x < map_width; x++) {
        for (int y = 0; y < map_height; y++) {
            const UnitRecord& unit = unit_grid[x][y];
            auto where = [x, y] { return " at (" + std::to_string(x) + ", " + std::to_string(y) + ")"; };
            bool occupied = unit.type != -1;
            if ((unit.attack != 0) != occupied)
                return "attack " + std::to_string(unit.attack) + " with type " +
                       std::to_string(unit.type) + where();
            if (!occupied) {
                if (unit.moves != -2)
                    return "an empty cell with moves " + std::to_string(unit.moves) + where();
                continue;
            }
            if (unit.type < 0 || unit.type > 7)
                return "type " + std::to_string(unit.type) + where();
            int ground = get_pixel(terrain_map, x, y);
            if (ground != terrain_plain && ground != terrain_grasslands)
                return "a unit on terrain " + std::to_string(ground) + where();
            const UnitRecord& kind = unit_types[unit.type];
            if (unit.attack != kind.attack || unit.defence != kind.defence || unit.range != kind.range)
                return "a unit whose numbers are not its type's" + where();
            if (unit.moves < -1 || unit.moves > kind.moves)
                return "moves " + std::to_string(unit.moves) + where();
            if (unit.type / 4 == current_side)
                own_units++;
        }
    }
    if (units_to_move > own_units)
        return "units_to_move " + std::to_string(units_to_move) + " above the side's " +
               std::to_string(own_units) + " units";
    return "";
}

}  // namespace

extern "C" void __real__Z10order_unitii(int x, int y);
extern "C" void __wrap__Z10order_unitii(int x, int y)
{
    __real__Z10order_unitii(x, y);
    orders_given++;
    std::string fault = check_battlefield();
    if (!fault.empty() && broken.size() < 5)
        broken.push_back("seed " + std::to_string(current_seed) + ", order " +
                         std::to_string(orders_given) + " on (" + std::to_string(x) + ", " +
                         std::to_string(y) + "): " + fault);
    if (winner != -1 && !victory_taps_scheduled) {
        // The victory box waits for a press and release: the beaten side's banner and the box's own
        // pause come first, so press well after them (twice, in case one lands too early).
        victory_taps_scheduled = true;
        for (Uint32 later : {3000u, 8000u}) {
            schedule_key(ticks_now() + later, SDLK_z, true);
            schedule_key(ticks_now() + later + 20, SDLK_z, false);
        }
    }
    if (turn_number > turn_cap)
        key[0] = 1;  // ends the battle at the computer's next unit
}

TEST(WholeBattles, TwoHundredComputerBattlesEndAndKeepTheRules)
{
    const unsigned battles = 200;
    int won = 0, capped = 0;
    std::vector<int> turns_of_won;
    long total_orders = 0;
    double virtual_ms = 0;
    for (unsigned seed = 1; seed <= battles; seed++) {
        current_seed = seed;
        reset_battlefield();
        cpu_player[0] = 1;
        cpu_player[1] = 1;
        orders_given = 0;
        victory_taps_scheduled = false;
        set_ticks(1000);
        set_clock_limit(time_cap + 60 * 1000);
        schedule_key(1000 + time_cap, SDLK_ESCAPE, true);
        std::srand(seed);
        play_battle();
        total_orders += orders_given;
        virtual_ms += ticks_now() - 1000;

        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        if (winner != -1) {
            won++;
            turns_of_won.push_back(turn_number);
            EXPECT_EQ(current_side, 1 - winner) << "the beaten side's turn had begun";
            int winners = 0, losers = 0;
            for (auto& column : unit_grid)
                for (UnitRecord& cell : column)
                    if (cell.type != -1)
                        (cell.type / 4 == winner ? winners : losers)++;
            EXPECT_GT(winners, 0);
            EXPECT_EQ(losers, 0);
        } else {
            capped++;
            EXPECT_TRUE(turn_number > turn_cap || ticks_now() >= 1000 + time_cap)
                << "stopped at turn " << turn_number << " without a winner";
        }
        EXPECT_GT(orders_given, 0);
        drop_input();
        clear_input();
    }
    EXPECT_TRUE(broken.empty()) << [] {
        std::string all;
        for (const std::string& b : broken)
            all += b + "\n";
        return all;
    }();
    EXPECT_EQ(won + capped, static_cast<int>(battles));

    std::sort(turns_of_won.begin(), turns_of_won.end());
    double median = 0;
    if (!turns_of_won.empty()) {
        size_t n = turns_of_won.size();
        median = n % 2 ? turns_of_won[n / 2] : (turns_of_won[n / 2 - 1] + turns_of_won[n / 2]) / 2.0;
    }
    std::printf("%u battles: %d won, %d stopped at the cap (turn %d or %u virtual hours); "
                "median turns of the won: %.1f (shortest %d, longest %d); %ld orders checked; "
                "%.1f virtual minutes per battle\n",
                battles, won, capped, turn_cap, time_cap / 3600000u, median,
                turns_of_won.empty() ? 0 : turns_of_won.front(),
                turns_of_won.empty() ? 0 : turns_of_won.back(), total_orders,
                virtual_ms / battles / 60000.0);
    RecordProperty("won", won);
    RecordProperty("median_turns", std::to_string(median));
}
