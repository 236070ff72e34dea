// ai.cpp -- the computer player. Greedy and one step deep: each unit aims at the best-scoring cell
// of the board, steps toward it through the same orders a person gives, then strikes what it can.
#include "battle/ai.h"

#include <cstdlib>

#include "battle/orders.h"
#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "view/board.h"

int ai_goal_x = -1;
int ai_goal_y = -1;

const int ai_directions[8][2] = {
    {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0},
};

static bool is_enemy_at(int x, int y)
{
    const UnitRecord& unit = unit_grid[x][y];
    return unit.type != -1 && unit.type / 4 != current_side;
}

static int distance_to(int x, int y)
{
    return int_max(int_abs(selected_x - x), int_abs(selected_y - y));
}

void ai_choose_goal()
{
    ai_goal_x = -1;
    ai_goal_y = -1;
    int best = 0;
    int enemy_castle = current_side == 0 ? terrain_light_castle : terrain_dark_castle;
    for (int x = 0; x < map_width; x++) {
        for (int y = 0; y < map_height; y++) {
            int d = distance_to(x, y);
            int code = get_pixel(terrain_map, x, y);
            int score = 0;
            if (code == terrain_neutral_castle)
                score = 30 - d;
            else if (code == enemy_castle)
                score = 35 - d;
            if (is_enemy_at(x, y))
                score = (20 - d) / 2 + 4 * (unit_grid[x][y].type % 4) + 4;
            if (score > best) {
                best = score;
                ai_goal_x = x;
                ai_goal_y = y;
            }
        }
    }
}

int ai_can_enter(int x, int y)
{
    if (x < 0 || x > 19 || y < 0 || y > 11)
        return 0;
    int code = get_pixel(terrain_map, x, y);
    if ((code == terrain_plain || code == terrain_grasslands || code == terrain_forest) &&
        unit_grid[x][y].type == -1)
        return 1;
    if (is_enemy_at(x, y))
        return 1;
    return 0;
}

int ai_choose_attack()
{
    ai_goal_x = -1;
    ai_goal_y = -1;
    int best = 0;
    int enemies = 0;
    int sx = selected_x;
    int sy = selected_y;
    int r = unit_grid[sx][sy].range;
    for (int y = int_max(0, sy - r); y <= (sy + r > 11 ? 11 : sy + r); y++) {
        for (int x = int_max(0, sx - r); x <= (sx + r > 19 ? 19 : sx + r); x++) {
            if (!is_enemy_at(x, y))
                continue;
            int value = unit_grid[x][y].type % 4 + 1;
            enemies++;
            if (value > best) {
                best = value;
                ai_goal_x = x;
                ai_goal_y = y;
            }
            // Ties go to a coin toss; the toss is made even right after a new best.
            if (value == best && std::rand() % 2 == 0) {
                ai_goal_x = x;
                ai_goal_y = y;
            }
        }
    }
    return enemies > 0 ? 1 : 0;
}

static int sign(int v)
{
    return (v > 0) - (v < 0);
}

void ai_step()
{
    int sx = selected_x;
    int sy = selected_y;
    int dx = sign(ai_goal_x - sx);
    int dy = sign(ai_goal_y - sy);
    int i = 0;
    while (i < 8 && (ai_directions[i][0] != dx || ai_directions[i][1] != dy))
        i++;
    if (ai_goal_x == -1 || i == 8) {
        // Guard: no goal, or the goal is the unit's own cell; give the unit up for this turn.
        units_to_move--;
        unit_grid[sx][sy].moves = -1;
        deselect_unit();
        return;
    }
    if (ai_can_enter(sx + dx, sy + dy)) {
        order_unit(sx + dx, sy + dy);
        return;
    }
    for (int attempt = 0; attempt < 2; attempt++) {
        int turned = std::rand() % 2 == 1 ? (i + 1) % 8 : (i + 7) % 8;
        int nx = sx + ai_directions[turned][0];
        int ny = sy + ai_directions[turned][1];
        if (ai_can_enter(nx, ny)) {
            order_unit(nx, ny);
            return;
        }
    }
    units_to_move--;
    unit_grid[sx][sy].moves = -1;
    deselect_unit();
}

// Plays one unit until it is finished, has no steps left, or the battle is decided.
static void play_unit()
{
    for (int steps = 0; steps < 8; steps++) {
        if (winner != -1 || selected_x == -1)
            return;
        if (unit_grid[selected_x][selected_y].moves == 0) {
            if (ai_choose_attack()) {
                wait_ms(200);
                order_unit(ai_goal_x, ai_goal_y);
            }
            if (selected_x != -1)
                unit_grid[selected_x][selected_y].moves = -1;
            return;
        }
        ai_choose_goal();
        ai_step();
        flip_screen();
        wait_ms(200);
    }
}

void ai_take_turn()
{
    for (int pass = 0; pass < 9; pass++) {
        for (int n = 0; n < map_width; n++) {
            int x = current_side == 0 ? 19 - n : n;
            for (int y = 0; y < map_height; y++) {
                if (winner != -1)
                    continue;
                const UnitRecord& unit = unit_grid[x][y];
                if (unit.type == -1 || unit.moves == -1 || unit.type / 4 != current_side)
                    continue;
                select_unit(x, y);
                flip_screen();
                wait_ms(300);
                if (key[0] != 0)
                    return;
                play_unit();
                flip_screen();
                draw_board();
                deselect_unit();
            }
        }
        if (units_to_move == 0)
            return;
    }
}
