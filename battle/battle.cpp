// battle.cpp -- one battle from set-up to victory: turns, turn banners, the frame loop of a
// person's turn, the victory box, and battle music that follows the balance of forces.
#include "battle/battle.h"

#include "battle/ai.h"
#include "battle/orders.h"
#include "battle/state.h"
#include "battle/terrain.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/log.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "view/board.h"
#include "view/popup.h"

int music_mood = 0;
Uint32 music_changed_at = 0;

static const char* const side_titles[2] = {"** The Dark **", "-- The Light --"};

void update_music_mood()
{
    // Mended: the hold is measured as time elapsed, so it holds across the tick counter's wrap.
    if (SDL_GetTicks() - music_changed_at < 30000)
        return;
    double share = dark_share();
    if (share < 0.3 && music_mood != -1) {
        music_mood = -1;
        Mix_PlayMusic(music_light, -1);
        music_changed_at = SDL_GetTicks();
        change_volume(0);
    } else if (share > 0.7 && music_mood != 1) {
        music_mood = 1;
        Mix_PlayMusic(music_dark, -1);
        music_changed_at = SDL_GetTicks();
        change_volume(0);
    } else {
        change_volume(0);
    }
}

void turn_banner()
{
    set_status("%s", "");
    flip_screen();
    wait_ms(150);
    update_music_mood();
    box_centred();
    box_line(0.4, "%s", side_titles[current_side]);
    box_line(0.5, "Turn: %d", turn_number);
    bool person = cpu_player[current_side] == 0;
    if (person)
        box_line(0.6, "Press (A)");
    flip_screen();
    if (person)
        wait_button_cycle();
    else
        wait_ms(750);
    draw_board();
    flip_screen();
}

void show_victory()
{
    flip_screen();
    wait_ms(350);
    box_centred();
    box_line(0.4, "%s", side_titles[winner]);
    box_line(0.5, "Are Victorious!");
    flip_screen();
    play_sound(sound_gameover);
    wait_button_cycle();
}

// A person's buttons in one frame; each test sees what the handler before it left in `button`.
static void act_on_buttons(bool& side_done)
{
    if (button == 1) {
        if (selected_x == -1) {
            select_unit(cursor_x, cursor_y);
        } else {
            order_unit(cursor_x, cursor_y);
            clear_input();
        }
    }
    if (button == 2) {
        if (selected_x == -1) {
            if (unit_grid[cursor_x][cursor_y].type != -1)
                show_unit_stats(cursor_x, cursor_y);
        } else {
            unit_grid[selected_x][selected_y].moves = -1;
            deselect_unit();
            units_to_move--;
        }
    }
    if (button == 3 && selected_x == -1)
        side_done = true;
}

// Runs frames until the side's turn is over; returns true when the whole battle is over.
static bool run_turn()
{
    bool side_done = false;
    bool battle_over = false;
    while (!side_done && !battle_over) {
        int last_x = cursor_x;
        int last_y = cursor_y;
        poll_input();
        if (units_to_move <= 0)
            side_done = true;
        if (winner != -1)
            battle_over = true;
        if (cpu_player[current_side] == 1) {
            ai_take_turn();
            side_done = true;
        }
        draw_info_line(cursor_x, cursor_y);
        if (cpu_player[current_side] == 0)
            act_on_buttons(side_done);
        if (cursor_x != last_x || cursor_y != last_y) {
            draw_board();
            if (selected_x != -1)
                highlight_targets();
        }
        flip_screen();
        if (key[0] != 0)
            battle_over = true;
    }
    return battle_over;
}

void play_battle()
{
    log_line("New game started.");
    log_line("P1 is cpu: %s", cpu_player[0] == 1 ? "yes" : "no");
    log_line("P2 is cpu: %s", cpu_player[1] == 1 ? "yes" : "no");

    Mix_PlayMusic(music_balanced, -1);
    music_mood = 0;
    music_changed_at = SDL_GetTicks();
    change_volume(0);

    turn_number = 1;
    winner = -1;
    cursor_x = 10;
    cursor_y = 6;
    current_side = 0;
    selected_x = -1;

    clear_unit_grid();
    generate_terrain();
    clear_surface(screen, map_colour(0));
    draw_board();

    for (;;) {
        // Mended: an A taken in the frame that ends a turn selects a unit; it must not pass to the enemy.
        selected_x = -1;
        units_to_move = count_units_to_move();
        turn_banner();
        if (run_turn()) {
            if (winner != -1)
                show_victory();
            return;
        }
        if (current_side == 1) {
            turn_number++;
            current_side = 0;
            restore_moves();
        } else {
            current_side = 1;
        }
    }
}
