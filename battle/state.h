// state.h -- the battlefield: terrain, units, the unit-type table and the battle globals.
#pragma once
#include <SDL.h>
#include <cstdint>

const int map_width = 20;
const int map_height = 12;

enum TerrainCode {
    terrain_plain = 8,
    terrain_grasslands = 9,
    terrain_forest = 10,
    terrain_water = 11,
    terrain_rock = 12,
    terrain_neutral_castle = 13,
    terrain_dark_castle = 14,
    terrain_light_castle = 15,
};

enum Side { side_dark = 0, side_light = 1 };

struct UnitRecord {
    int32_t attack;   // 0 only in an empty cell
    int32_t defence;
    int32_t moves;    // >= 1 may step; 0 may only attack; -1 finished this turn; -2 empty cell
    int32_t range;    // Chebyshev distance
    int32_t type;     // side * 4 + class, or -1 for an empty cell
};

// Set once at start-up, never changed.
extern UnitRecord unit_types[8];
extern UnitRecord empty_unit;

// Reset by every battle.
extern SDL_Surface* terrain_map;  // 20 x 12, one TerrainCode per pixel; created by startup_game
extern UnitRecord unit_grid[map_width][map_height];
extern int current_side;
extern int turn_number;
extern int units_to_move;
extern int winner;
extern int selected_x;
extern int selected_y;
extern int cpu_player[2];  // per side: 1 computer, 0 person; cpu_player[0] = -1 asks to quit

void setup_unit_types();
void clear_unit_grid();
int count_units_to_move();
void restore_moves();
void check_victory();
double dark_share();
