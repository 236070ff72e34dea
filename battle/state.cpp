// state.cpp -- the battlefield model and its whole-grid operations.
#include "battle/state.h"

// Whole run: set once at start-up.
UnitRecord unit_types[8];
UnitRecord empty_unit;

// Per battle: reset by the battle set-up.
SDL_Surface* terrain_map = nullptr;
UnitRecord unit_grid[map_width][map_height];
int current_side = 0;
int turn_number = 1;
int units_to_move = 0;
int winner = -1;
int selected_x = -1;
int selected_y = 0;
int cpu_player[2] = {0, 0};

void setup_unit_types()
{
    //                  attack defence moves range type
    unit_types[0] = {1, 2, 2, 1, 0};  // Soldier
    unit_types[1] = {2, 2, 1, 1, 1};  // Knight
    unit_types[2] = {2, 1, 1, 3, 2};  // Archer
    unit_types[3] = {3, 2, 1, 3, 3};  // Mage
    for (int t = 0; t < 4; t++) {
        unit_types[t + 4] = unit_types[t];
        unit_types[t + 4].type = t + 4;
    }
    empty_unit = {0, 0, -2, 0, -1};
}

void clear_unit_grid()
{
    for (auto& column : unit_grid)
        for (UnitRecord& cell : column)
            cell = empty_unit;
}

int count_units_to_move()
{
    int count = 0;
    for (auto& column : unit_grid)
        for (UnitRecord& cell : column)
            if (cell.type != -1 && cell.type / 4 == current_side)
                count++;
    return count;
}

void restore_moves()
{
    for (auto& column : unit_grid)
        for (UnitRecord& cell : column)
            if (cell.type != -1)
                cell.moves = unit_types[cell.type].moves;
}

void check_victory()
{
    int enemies = 0;
    for (auto& column : unit_grid)
        for (UnitRecord& cell : column)
            if (cell.type != -1 && cell.type / 4 != current_side)
                enemies++;
    if (enemies == 0)
        winner = current_side;
}

double dark_share()
{
    int dark = 0;
    int all = 0;
    for (auto& column : unit_grid)
        for (UnitRecord& cell : column) {
            if (cell.type >= 0 && cell.type <= 3)
                dark++;
            if (cell.type >= 0 && cell.type <= 7)
                all++;
        }
    if (all == 0)
        return 0.5;  // Mended: an empty grid would divide by zero; show the forces as even
    return static_cast<double>(dark) / all;
}
