// orders.cpp -- the rules of play shared by the person at the controls and the computer player:
// selection, steps, forest clearing, attacks, castle captures and reinforcements.
#include "battle/orders.h"

#include <cstdlib>

#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "view/board.h"

static bool is_enemy(const UnitRecord& unit)
{
    return unit.type != -1 && unit.type / 4 != current_side;
}

static bool is_own(const UnitRecord& unit)
{
    return unit.type != -1 && unit.type / 4 == current_side;
}

static void fill_cell(int x, int y, ColourIndex colour)
{
    fill_rect(screen, 16 * x, 16 * y + 14, 16 * x + 15, 16 * y + 29, map_colour(colour));
}

// Copies the selected unit into (x, y), empties the cell it left and moves the selection along.
static void move_selected_to(int x, int y)
{
    unit_grid[x][y] = unit_grid[selected_x][selected_y];
    unit_grid[selected_x][selected_y] = empty_unit;
    selected_x = x;
    selected_y = y;
}

// Ends the selected unit's action for this turn.
static void finish_selected()
{
    units_to_move--;
    unit_grid[selected_x][selected_y].moves = -1;
    deselect_unit();
}

void select_unit(int x, int y)
{
    const UnitRecord& unit = unit_grid[x][y];
    if (unit.type == -1)
        return;
    if (is_enemy(unit)) {
        set_status("That is an enemy soldier!");
        return;
    }
    selected_x = x;
    selected_y = y;
    highlight_targets();
    fill_cell(x, y, 2);
    draw_tile(16 * x, 16 * y + 14, unit.type);
    draw_cursor();
}

int highlight_targets()
{
    if (selected_x == -1)
        return 0;
    int r = unit_grid[selected_x][selected_y].range;
    int x1 = int_max(selected_x - r, 0);
    int x2 = selected_x + r > 19 ? 19 : selected_x + r;
    int y1 = int_max(selected_y - r, 0);
    int y2 = selected_y + r > 11 ? 11 : selected_y + r;
    int count = 0;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++)
            if (is_enemy(unit_grid[x][y])) {
                count++;
                fill_cell(x, y, 1);
                draw_tile(16 * x, 16 * y + 14, unit_grid[x][y].type);
            }
    return count;
}

void deselect_unit()
{
    draw_board();
    selected_x = -1;
}

int combat_roll(int attack, int defence)
{
    int d1 = std::rand() % 10 + 1;
    int d2 = std::rand() % 10 + 1;
    return attack * d1 > defence * d2 ? 1 : 0;
}

void capture_castles()
{
    int sx = selected_x;
    int sy = selected_y;
    bool captured = false;
    bool reinforced = false;
    int p = 0;
    int own_castle = terrain_dark_castle + current_side;
    int enemy_castle = current_side == 0 ? terrain_light_castle : terrain_dark_castle;

    draw_board();
    for (int row = int_max(sy - 1, 0); row <= (sy + 1 > 11 ? 11 : sy + 1); row++) {
        for (int col = int_max(sx - 1, 0); col <= (sx + 1 > 19 ? 19 : sx + 1); col++) {
            int code = get_pixel(terrain_map, col, row);
            if (code != terrain_neutral_castle && code != enemy_castle)
                continue;
            int nx = col + std::rand() % 3 - 1;
            int ny = row + std::rand() % 3 - 1;
            captured = true;
            if (p == 0)
                p = 1;
            put_pixel(terrain_map, col, row, own_castle);
            set_status("Castle captured!");
            int ground = get_pixel(terrain_map, nx, ny);  // -1 off the map: nothing arrives there
            if ((ground == terrain_plain || ground == terrain_grasslands) &&
                unit_grid[nx][ny].type == -1) {
                int c = std::rand() % 4;
                unit_grid[nx][ny] = unit_types[current_side * 4 + c];
                units_to_move++;
                reinforced = true;
                p = 2;
            }
        }
    }
    if (reinforced) {
        set_status("Reinforcements have arrived!");
        play_sound(sound_spawn);
    }
    if (captured) {
        play_sound(sound_castle);
        select_unit(sx, sy);
        flip_screen();
        wait_ms(300 * p);
        draw_board();
    }
}

static void attack(int x, int y, int d)
{
    UnitRecord& attacker = unit_grid[selected_x][selected_y];
    draw_tile(16 * x, 16 * y + 16, 11);  // the strike marker sits two pixels low
    flip_screen();
    if (d == 1)
        play_sound(sound_hit);
    else if (attacker.type % 4 == 2)
        play_sound(sound_arrow);
    else if (attacker.type % 4 == 3)
        play_sound(sound_fireball);
    wait_ms(700);
    if (combat_roll(attacker.attack, unit_grid[x][y].defence)) {
        set_status("The enemy was killed!");
        if (d == 1) {
            move_selected_to(x, y);
            capture_castles();
        } else {
            unit_grid[x][y] = empty_unit;
        }
    }
    finish_selected();
    check_victory();
}

static void step(int x, int y)
{
    move_selected_to(x, y);
    play_sound(sound_step);
    set_status("%s", "");
    UnitRecord& unit = unit_grid[x][y];
    unit.moves--;
    capture_castles();
    check_victory();
    if (highlight_targets() == 0 && unit.moves < 1) {
        finish_selected();
        return;
    }
    select_unit(x, y);
    if (cpu_player[current_side] == 0 && unit.moves < 1 && highlight_targets() > 0) {
        set_status("Attack enemy, or press (B)");
        highlight_targets();  // the status update has painted over the highlights
    }
}

static void clear_forest(int x, int y)
{
    draw_tile(16 * x, 16 * y + 14, 11);
    play_sound(sound_step);
    flip_screen();
    wait_ms(700);
    if (combat_roll(unit_grid[selected_x][selected_y].attack * 2, 1)) {
        put_pixel(terrain_map, x, y, terrain_plain);
        move_selected_to(x, y);
        capture_castles();
        check_victory();
    }
    unit_grid[selected_x][selected_y].moves = -1;
    units_to_move--;
    deselect_unit();
}

void order_unit(int x, int y)
{
    if (selected_x == -1)
        return;
    const UnitRecord& unit = unit_grid[selected_x][selected_y];
    const UnitRecord& target = unit_grid[x][y];
    int d = int_max(int_abs(selected_x - x), int_abs(selected_y - y));
    if (d == 0 || is_own(target))
        return;
    if (is_enemy(target) && unit.range >= d) {
        attack(x, y, d);
        return;
    }
    if (unit.moves < 1) {
        finish_selected();
        return;
    }
    if (d > 1)
        return;
    int ground = get_pixel(terrain_map, x, y);
    if (ground == terrain_plain || ground == terrain_grasslands)
        step(x, y);
    else if (ground == terrain_forest)
        clear_forest(x, y);
}
