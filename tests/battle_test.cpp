// battle_test.cpp -- whole battles driven by scheduled key presses under the virtual clock: turn
// banners, the buttons of a person's turn, victory, quitting and the battle music.
// This program wraps Mix_PlayMusic (to see which piece starts, and when) and order_unit (to set
// up the battlefield at the moment a person gives an order).
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/orders.h"
#include "battle/state.h"
#include "battle/terrain.h"
#include "harness/harness.h"
#include "harness/link_names.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "view/board.h"

namespace {

struct MusicStart {
    Mix_Music* music;
    int loops;
    Uint32 at;
};
std::vector<MusicStart> music_starts;

std::vector<std::pair<int, int>> ordered_cells;
std::function<void(int, int)> before_order;

}  // namespace

UMBRA_WRAP_SDL(int, Mix_PlayMusic, (Mix_Music * music, int loops));
extern "C" int __wrap_Mix_PlayMusic(Mix_Music* music, int loops)
{
    music_starts.push_back(MusicStart{music, loops, ticks_now()});
    return __real_Mix_PlayMusic(music, loops);
}

extern "C" void __real__Z10order_unitii(int x, int y);
extern "C" void __wrap__Z10order_unitii(int x, int y)
{
    ordered_cells.emplace_back(x, y);
    if (before_order)
        before_order(x, y);
    __real__Z10order_unitii(x, y);
}

namespace {

// The top rows of the two home zones that play_battle will generate after srand(seed): the map
// depends on nothing but the rand() sequence, so a dry run finds them.
struct Homes {
    int dark;   // Dark units in columns 0..2, rows dark..dark+2
    int light;  // Light units in columns 17..19, rows light..light+2
};

Homes homes_for_seed(unsigned seed)
{
    std::srand(seed);
    script_rand({});
    clear_unit_grid();
    generate_terrain();
    Homes homes{-1, -1};
    for (int y = 0; y < map_height; y++) {
        if (get_pixel(terrain_map, 1, y) == terrain_dark_castle)
            homes.dark = y - 1;
        if (get_pixel(terrain_map, 18, y) == terrain_light_castle)
            homes.light = y - 1;
    }
    clear_unit_grid();
    return homes;
}

// Key events at virtual times. A tap is a press and, one millisecond later, its release: in a
// person's turn every frame advances the clock by exactly 1 ms, so the two land in successive
// frames and the press is seen.
struct Timeline {
    Uint32 t;
    int cursor_x = 10;  // where play_battle puts the cursor
    int cursor_y = 6;

    void tap(SDLKey sym)
    {
        schedule_key(t, sym, true);
        schedule_key(t + 1, sym, false);
        t += 4;
    }
    void press(SDLKey sym)
    {
        schedule_key(t, sym, true);
        t += 4;
    }
    void at(Uint32 when) { t = when; }
    void move_to(int x, int y)
    {
        for (; cursor_x < x; cursor_x++)
            tap(SDLK_RIGHT);
        for (; cursor_x > x; cursor_x--)
            tap(SDLK_LEFT);
        for (; cursor_y < y; cursor_y++)
            tap(SDLK_DOWN);
        for (; cursor_y > y; cursor_y--)
            tap(SDLK_UP);
    }
};

int count_sound(Mix_Chunk* chunk)
{
    int n = 0;
    for (Mix_Chunk* c : started_sounds())
        n += c == chunk;
    return n;
}

SDL_Surface* copy_of(SDL_Surface* s)
{
    return SDL_ConvertSurface(s, s->format, SDL_SWSURFACE);
}

Uint16 pixel_of(SDL_Surface* s, int x, int y)
{
    return *reinterpret_cast<Uint16*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 2);
}

// The centred box of every modal screen covers (80, 80) to (240, 160) whole.
bool same_box(SDL_Surface* a, SDL_Surface* b)
{
    SDL_LockSurface(a);
    SDL_LockSurface(b);
    bool same = true;
    for (int y = 80; y <= 160 && same; y++)
        for (int x = 80; x <= 240 && same; x++)
            same = pixel_of(a, x, y) == pixel_of(b, x, y);
    SDL_UnlockSurface(b);
    SDL_UnlockSurface(a);
    return same;
}

// What a box with these lines must look like, drawn from the drawing primitives alone: white,
// black outline, black text on white centred on x = 160 with its top on the given row.
SDL_Surface* drawn_box(const std::vector<std::pair<int, std::string>>& lines)
{
    fill_rect(screen, 80, 80, 240, 160, map_colour(3));
    draw_rect(screen, 80, 80, 240, 160, 0);
    for (const auto& [row, text] : lines)
        print_text_centred(screen, 160, row, 0, 3, "%s", text.c_str());
    return copy_of(screen);
}

const char* const side_titles[2] = {"** The Dark **", "-- The Light --"};

// Every banner and victory box a short battle can show, by name ("Dark 1 (A)", "Light 2",
// "Dark wins").
struct BoxCatalogue {
    std::map<std::string, SDL_Surface*> boxes;

    BoxCatalogue()
    {
        for (int side = 0; side < 2; side++) {
            std::string name = side == 0 ? "Dark" : "Light";
            for (int turn = 1; turn <= 3; turn++) {
                std::string turn_text = "Turn: " + std::to_string(turn);
                boxes[name + " " + std::to_string(turn)] =
                    drawn_box({{96, side_titles[side]}, {120, turn_text}});
                boxes[name + " " + std::to_string(turn) + " (A)"] =
                    drawn_box({{96, side_titles[side]}, {120, turn_text}, {143, "Press (A)"}});
            }
            boxes[name + " wins"] = drawn_box({{96, side_titles[side]}, {120, "Are Victorious!"}});
        }
        boxes["Light Soldier stats"] = drawn_box({{83, "Light Soldier"}, {108, "Attack: 1"},
                                                  {120, "Defence: 2"}, {132, "Movement: 2"},
                                                  {143, "Attack Range: 1"}});
    }
    ~BoxCatalogue()
    {
        for (auto& [name, surface] : boxes)
            SDL_FreeSurface(surface);
    }
    std::string name_of(SDL_Surface* flipped) const
    {
        for (const auto& [name, surface] : boxes)
            if (same_box(flipped, surface))
                return name;
        return "";
    }
    // The boxes shown by the captured flips, in order, each counted once however long it stayed.
    std::vector<std::string> shown() const
    {
        std::vector<std::string> names;
        for (size_t i = 0; i < flipped_screen_count(); i++) {
            std::string name = name_of(flipped_screen(i));
            if (!name.empty() && (names.empty() || names.back() != name))
                names.push_back(name);
        }
        return names;
    }
};

}  // namespace

class BattleLoop : public ::testing::Test {
protected:
    static constexpr Uint32 start = 10000;
    static constexpr unsigned seed = 1234;
    Homes homes{};

    void SetUp() override
    {
        reset_battlefield();
        music_starts.clear();
        ordered_cells.clear();
        before_order = nullptr;
        homes = homes_for_seed(seed);
        ASSERT_GE(homes.dark, 0);
        ASSERT_GE(homes.light, 0);
        set_ticks(start);
        set_clock_limit(3 * 60 * 1000);  // a battle that never returns fails in seconds
    }
    void TearDown() override
    {
        before_order = nullptr;
        capture_flips(false);
        drop_input();
        clear_input();
    }

    // Runs play_battle on the map of `seed` with the given players.
    void play(int dark_cpu, int light_cpu)
    {
        cpu_player[0] = dark_cpu;
        cpu_player[1] = light_cpu;
        started_sounds().clear();
        std::srand(seed);
        play_battle();
    }
};

TEST_F(BattleLoop, BannersNameTheSideAndTurnAndSelectEndsEachTurn)
{
    BoxCatalogue catalogue;
    capture_flips(true);
    Timeline tl{start + 500};
    tl.tap(SDLK_z);               // the Dark's first banner
    tl.tap(SDLK_TAB);             // the Dark ends its turn at once
    tl.at(start + 1000);          // Tab leaves button at 3: release, then a whole press
    tl.tap(SDLK_z);
    tl.at(start + 1100);
    tl.tap(SDLK_z);
    tl.tap(SDLK_TAB);             // the Light ends its turn
    tl.at(start + 1600);
    tl.tap(SDLK_z);
    tl.at(start + 1700);
    tl.tap(SDLK_z);
    tl.press(SDLK_ESCAPE);        // quit in the Dark's second turn
    play(0, 0);

    std::vector<std::string> expected = {"Dark 1 (A)", "Light 1 (A)", "Dark 2 (A)"};
    EXPECT_EQ(catalogue.shown(), expected);
    EXPECT_EQ(turn_number, 2);
    EXPECT_EQ(current_side, 0);
    EXPECT_EQ(winner, -1);
    EXPECT_EQ(count_sound(sound_gameover), 0);
}

TEST_F(BattleLoop, PersonAgainstComputerBannersPromptOnlyThePerson)
{
    BoxCatalogue catalogue;
    capture_flips(true);
    std::vector<std::string> shown_before_first_order;
    before_order = [&](int, int) {
        if (shown_before_first_order.empty()) {
            shown_before_first_order = catalogue.shown();
            capture_flips(false);
            key[0] = 1;  // end the battle at the computer's next unit
        }
    };
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.tap(SDLK_TAB);
    tl.at(start + 120000);       // only if the computer never ordered anything: end the battle
    tl.tap(SDLK_z);
    tl.at(start + 120100);
    tl.tap(SDLK_z);
    tl.press(SDLK_ESCAPE);
    play(0, 1);

    std::vector<std::string> expected = {"Dark 1 (A)", "Light 1"};
    EXPECT_EQ(shown_before_first_order, expected);
    EXPECT_EQ(current_side, 1);
    EXPECT_EQ(winner, -1);
}

TEST_F(BattleLoop, BFinishesTheSelectedUnit)
{
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.move_to(2, homes.dark);  // a Dark Soldier
    tl.tap(SDLK_z);
    tl.tap(SDLK_x);
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    EXPECT_EQ(units_to_move, 7);
    EXPECT_EQ(unit_grid[2][homes.dark].type, 0);
    EXPECT_EQ(unit_grid[2][homes.dark].moves, -1);
    EXPECT_EQ(selected_x, -1);
    EXPECT_EQ(current_side, 0);
}

TEST_F(BattleLoop, FinishingEveryUnitWithBEndsTheTurn)
{
    int a = homes.dark;
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    const std::pair<int, int> units[] = {{2, a}, {2, a + 1}, {2, a + 2}, {1, a + 2},
                                         {0, a + 2}, {0, a + 1}, {0, a}, {1, a}};
    for (auto [x, y] : units) {
        tl.move_to(x, y);
        tl.tap(SDLK_z);
        tl.tap(SDLK_x);
    }
    Uint32 last_b = tl.t;
    tl.at(last_b + 500);
    tl.tap(SDLK_z);              // the Light's banner
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    EXPECT_EQ(current_side, 1) << "the Dark's turn ended by itself";
    EXPECT_EQ(turn_number, 1);
    for (auto [x, y] : units) {
        EXPECT_LE(unit_grid[x][y].type, 3);
        EXPECT_EQ(unit_grid[x][y].moves, -1) << "(" << x << ", " << y << ")";
    }
    EXPECT_EQ(units_to_move, 8);
}

// B finishes the Dark's last unit and A is taken in the very next frame, the one that ends the
// turn: that A still selects the finished unit under the cursor, but the Light must not inherit it.
TEST_F(BattleLoop, ATakenAsTheTurnEndsLeavesNothingSelectedForTheNextSide)
{
    int a = homes.dark;
    int b = homes.light;
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    const std::pair<int, int> units[] = {{2, a}, {2, a + 1}, {2, a + 2}, {1, a + 2},
                                         {0, a + 2}, {0, a + 1}, {0, a}};
    for (auto [x, y] : units) {
        tl.move_to(x, y);
        tl.tap(SDLK_z);
        tl.tap(SDLK_x);
    }
    tl.move_to(1, a);            // the last Dark unit
    tl.tap(SDLK_z);
    schedule_key(tl.t, SDLK_x, true);
    schedule_key(tl.t + 1, SDLK_x, false);
    schedule_key(tl.t + 1, SDLK_z, true);
    schedule_key(tl.t + 30, SDLK_z, false);
    tl.at(tl.t + 500);
    tl.tap(SDLK_z);              // the Light's banner
    tl.move_to(17, b);           // a Light Soldier
    tl.tap(SDLK_z);
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    ASSERT_EQ(current_side, 1) << "the Dark's turn ended by itself";
    EXPECT_TRUE(ordered_cells.empty()) << "the Light's A gave the Dark unit an order on ("
                                       << ordered_cells[0].first << ", " << ordered_cells[0].second << ")";
    EXPECT_EQ(selected_x, 17) << "the Light's A selected its own Soldier";
    EXPECT_EQ(selected_y, b);
    EXPECT_EQ(units_to_move, 8);
    EXPECT_TRUE(unit_grid[1][a].type >= 0 && unit_grid[1][a].type <= 3) << "the Dark unit stayed";
    EXPECT_EQ(unit_grid[1][a].moves, -1);
}

TEST_F(BattleLoop, SelectIsIgnoredWhileAUnitIsSelected)
{
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.move_to(2, homes.dark);
    tl.tap(SDLK_z);
    tl.tap(SDLK_TAB);            // ignored: a unit is selected
    tl.tap(SDLK_x);              // finishes it
    tl.tap(SDLK_TAB);            // now ends the turn
    tl.at(tl.t + 500);
    tl.tap(SDLK_z);
    tl.at(tl.t + 100);
    tl.tap(SDLK_z);
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    EXPECT_EQ(current_side, 1);
    EXPECT_EQ(unit_grid[2][homes.dark].moves, -1) << "B reached the unit still selected in the Dark's turn";
    EXPECT_EQ(units_to_move, 8);
}

TEST_F(BattleLoop, MovesAreRestoredAfterTheLightsTurn)
{
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.move_to(2, homes.dark);
    tl.tap(SDLK_z);
    tl.tap(SDLK_x);
    tl.tap(SDLK_TAB);
    tl.at(tl.t + 500);
    tl.tap(SDLK_z);              // the Light's banner: Tab left button at 3
    tl.at(tl.t + 100);
    tl.tap(SDLK_z);
    tl.tap(SDLK_TAB);
    tl.at(tl.t + 500);
    tl.tap(SDLK_z);
    tl.at(tl.t + 100);
    tl.tap(SDLK_z);              // the Dark's second banner
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    EXPECT_EQ(turn_number, 2);
    EXPECT_EQ(current_side, 0);
    EXPECT_EQ(unit_grid[2][homes.dark].moves, 2);
    EXPECT_EQ(units_to_move, 8);
}

TEST_F(BattleLoop, AHeldAfterSelectingOrdersTheUnitsOwnCell)
{
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.move_to(2, homes.dark);
    schedule_key(tl.t, SDLK_z, true);
    schedule_key(tl.t + 10, SDLK_z, false);
    tl.at(tl.t + 20);
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    ASSERT_EQ(ordered_cells.size(), 1u) << "one order, then the input was cleared";
    EXPECT_EQ(ordered_cells[0], std::make_pair(2, homes.dark));
    EXPECT_EQ(selected_x, 2) << "an order on its own cell leaves the unit selected";
    EXPECT_EQ(unit_grid[2][homes.dark].moves, 2);
}

TEST_F(BattleLoop, StatisticsOpenOnAnyUnitButNotOnAnEmptyCell)
{
    BoxCatalogue catalogue;
    capture_flips(true);
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.tap(SDLK_x);              // the cursor's cell (10, 6) lies between the armies: empty
    tl.move_to(17, homes.light); // an enemy Soldier
    tl.tap(SDLK_x);
    tl.at(tl.t + 500);
    tl.tap(SDLK_z);              // closes the statistics
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    std::vector<std::string> expected = {"Dark 1 (A)", "Light Soldier stats"};
    EXPECT_EQ(catalogue.shown(), expected);
    EXPECT_EQ(current_side, 0);
}

TEST_F(BattleLoop, FirstBannerWaitsForTheTitlesAToBeReleased)
{
    push_key(SDLK_z, true);  // A confirmed the title and is still held
    poll_input();
    ASSERT_EQ(button, 1);
    schedule_key(start + 300, SDLK_z, false);
    schedule_key(start + 400, SDLK_ESCAPE, true);  // not looked at during the banner
    schedule_key(start + 600, SDLK_z, true);
    schedule_key(start + 620, SDLK_z, false);
    play(0, 0);

    EXPECT_GE(ticks_now(), start + 620) << "the release of the title's A did not end the banner";
    EXPECT_LT(ticks_now(), start + 700) << "the first frame after the banner saw the quit request";
    EXPECT_EQ(selected_x, -1);
    EXPECT_EQ(winner, -1);
}

TEST_F(BattleLoop, EscapeEndsTheBattleWithoutAVictoryBox)
{
    BoxCatalogue catalogue;
    capture_flips(true);
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.press(SDLK_ESCAPE);
    Uint32 escape_at = tl.t - 4;
    play(0, 0);

    EXPECT_EQ(winner, -1);
    EXPECT_LT(ticks_now(), escape_at + 20) << "the battle returned at once";
    EXPECT_EQ(count_sound(sound_gameover), 0);
    std::vector<std::string> expected = {"Dark 1 (A)"};
    EXPECT_EQ(catalogue.shown(), expected);
}

TEST_F(BattleLoop, PersonKillingTheLastEnemyGetsTheVictoryBoxWithoutAnotherBanner)
{
    int a = homes.dark;
    // At the person's order the Light is down to one Soldier, right where the order goes.
    before_order = [](int x, int y) {
        for (auto& column : unit_grid)
            for (UnitRecord& cell : column)
                if (cell.type >= 4)
                    cell = empty_unit;
        set_terrain(x, y, terrain_plain);
        place_unit(x, y, 4);
        script_rand({9, 0});  // 1 x 10 against 2 x 1: killed
    };
    BoxCatalogue catalogue;
    capture_flips(true);
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.move_to(2, a);
    tl.tap(SDLK_z);              // select the Soldier
    tl.move_to(3, a);
    Uint32 order_at = tl.t;
    tl.tap(SDLK_z);              // attack
    tl.at(order_at + 3000);      // after the strike, any capture and the victory box's pause
    tl.tap(SDLK_z);
    play(0, 0);

    EXPECT_EQ(winner, 0);
    EXPECT_EQ(current_side, 0) << "no turn was handed to the beaten side";
    EXPECT_EQ(turn_number, 1);
    EXPECT_EQ(unit_grid[3][a].type, 0);
    EXPECT_EQ(count_sound(sound_gameover), 1);
    std::vector<std::string> expected = {"Dark 1 (A)", "Dark wins"};
    EXPECT_EQ(catalogue.shown(), expected);
}

// ---- the battle music ----

TEST_F(BattleLoop, MusicSwitchesToTheLightsPieceAndLaterToTheDarks)
{
    int a = homes.dark;
    int b = homes.light;
    int orders_seen = 0;
    before_order = [&](int, int) {
        orders_seen++;
        for (int x = 0; x < map_width; x++)
            for (int y = 0; y < map_height; y++) {
                UnitRecord& cell = unit_grid[x][y];
                if (orders_seen == 1 && cell.type >= 0 && cell.type <= 3 && !(y == a && x <= 2))
                    cell = empty_unit;  // the Dark keeps 3 of 11 units: 27 %
                if (orders_seen == 2 && cell.type >= 4 && !(x == 19 && y == b + 1))
                    cell = empty_unit;  // the Light keeps 1 of 4: the Dark has 75 %
            }
    };
    Timeline tl{start + 500};
    tl.tap(SDLK_z);
    tl.move_to(2, a);
    tl.tap(SDLK_z);
    tl.tap(SDLK_z);              // an order on its own cell: the battlefield shrinks
    tl.tap(SDLK_x);              // the unit stays selected until B finishes it
    tl.tap(SDLK_TAB);
    tl.at(start + 31000);        // the Light's banner waits past the 30 s hold
    tl.tap(SDLK_z);
    tl.at(start + 31100);
    tl.tap(SDLK_z);
    tl.tap(SDLK_TAB);
    Uint32 dark_banner_2 = tl.t;  // switches to the Light's piece
    tl.at(start + 31600);
    tl.tap(SDLK_z);
    tl.at(start + 31700);
    tl.tap(SDLK_z);
    tl.tap(SDLK_z);
    tl.tap(SDLK_z);              // the second order: the Light shrinks
    tl.tap(SDLK_x);
    tl.tap(SDLK_TAB);
    Uint32 light_banner_2 = tl.t;  // 75 % Dark, but within 30 s of the last change
    tl.at(start + 62500);
    tl.tap(SDLK_z);
    tl.at(start + 62600);
    tl.tap(SDLK_z);
    tl.tap(SDLK_TAB);
    Uint32 dark_banner_3 = tl.t;   // switches to the Dark's piece
    tl.at(start + 63100);
    tl.tap(SDLK_z);
    tl.at(start + 63200);
    tl.tap(SDLK_z);
    tl.press(SDLK_ESCAPE);
    play(0, 0);

    ASSERT_EQ(orders_seen, 2);
    EXPECT_EQ(turn_number, 3);
    ASSERT_EQ(music_starts.size(), 3u);
    EXPECT_EQ(music_starts[0].music, music_balanced);
    EXPECT_EQ(music_starts[1].music, music_light);
    EXPECT_EQ(music_starts[2].music, music_dark);
    for (const MusicStart& m : music_starts)
        EXPECT_EQ(m.loops, -1) << "battle music loops endlessly";
    EXPECT_GT(music_starts[1].at, dark_banner_2);
    EXPECT_LT(music_starts[1].at, dark_banner_2 + 400);
    EXPECT_GT(music_starts[2].at, light_banner_2 + 30000) << "held for 30 s after the last change";
    EXPECT_GT(music_starts[2].at, dark_banner_3);
    EXPECT_LT(music_starts[2].at, dark_banner_3 + 400);
    EXPECT_EQ(music_mood, 1);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
}

class MusicMood : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_battlefield();
        music_starts.clear();
        music_mood = 0;
        music_changed_at = 0;
        set_ticks(100000);
    }
    // `dark` Dark Soldiers and `light` Light Soldiers, nothing else.
    void armies(int dark, int light)
    {
        clear_unit_grid();
        for (int i = 0; i < dark; i++)
            place_unit(i % 20, i / 20, 0);
        for (int i = 0; i < light; i++)
            place_unit(i % 20, 11 - i / 20, 4);
    }
};

TEST_F(MusicMood, HoldLastsThirtySecondsAcrossTheCountersWrap)
{
    armies(2, 8);
    const Uint32 changed = 0xFFFFF000u;  // 4096 ms before the counter wraps to 0
    music_changed_at = changed;

    set_ticks(changed + 1000);
    update_music_mood();
    EXPECT_EQ(music_mood, 0) << "one second after a change";
    set_ticks(changed + 29999);  // past the wrap: a small number now
    update_music_mood();
    EXPECT_EQ(music_mood, 0) << "just under 30 s";
    EXPECT_TRUE(music_starts.empty());

    set_ticks(changed + 30000);
    update_music_mood();
    EXPECT_EQ(music_mood, -1);
    ASSERT_EQ(music_starts.size(), 1u);
    EXPECT_EQ(music_starts[0].music, music_light);
    EXPECT_EQ(music_starts[0].loops, -1);
    EXPECT_LE(music_changed_at - (changed + 30000), 2u) << "the change is stamped with the time now";
}

TEST_F(MusicMood, ThresholdsAreStrict)
{
    armies(3, 7);  // exactly 0.3
    update_music_mood();
    EXPECT_EQ(music_mood, 0);
    armies(7, 3);  // exactly 0.7
    update_music_mood();
    EXPECT_EQ(music_mood, 0);
    EXPECT_TRUE(music_starts.empty());

    armies(2, 5);  // 0.286
    update_music_mood();
    EXPECT_EQ(music_mood, -1);
    set_ticks(ticks_now() + 30000);
    armies(5, 2);  // 0.714
    update_music_mood();
    EXPECT_EQ(music_mood, 1);
    ASSERT_EQ(music_starts.size(), 2u);
    EXPECT_EQ(music_starts[0].music, music_light);
    EXPECT_EQ(music_starts[1].music, music_dark);
}

TEST_F(MusicMood, PiecePlayingStaysUntilTheOtherSideDominates)
{
    music_mood = -1;
    armies(5, 5);
    update_music_mood();
    EXPECT_EQ(music_mood, -1) << "a balanced field does not bring the balanced piece back";
    armies(1, 9);
    update_music_mood();
    EXPECT_EQ(music_mood, -1);
    EXPECT_TRUE(music_starts.empty()) << "the Light's piece is not restarted";
    armies(9, 1);
    update_music_mood();
    EXPECT_EQ(music_mood, 1);
    ASSERT_EQ(music_starts.size(), 1u);
    EXPECT_EQ(music_starts[0].music, music_dark);
}
