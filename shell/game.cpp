// game.cpp -- the life of the program: start-up, the title menu and battles in turn, shut-down.
// Only the title menu ends the program; a quit request in a battle ends just that battle.
#include "shell/game.h"

#include "battle/battle.h"
#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/log.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "shell/startup.h"

static void start_title_music()
{
    if (Mix_PlayMusic(music_title, -1) == -1)
        fatal_error("Unable to play music: %s", SDL_GetError());
}

int game_main()
{
    startup_game();
    start_title_music();
    change_volume(0);
    for (;;) {
        title_menu();
        if (cpu_player[0] == -1)
            break;
        Mix_HaltMusic();
        play_battle();
        poll_input();
        clear_input();
        start_title_music();
    }
    shutdown_game();
    return 0;
}

void draw_title(int option_index)
{
    blit(title_image, screen, 0, 0, 0, 0, 320, 240);
    blit(title_text_image, screen, 0, 0, 80, 0, 160, 72);
    blit(options_image, screen, 0, option_index * 20, 80, 210, 160, 20);
    draw_text_centred(screen, "(B) to change, (A) to confirm", 160, 230, 0, -1);
}

void show_credits()
{
    clear_surface(screen, SDL_MapRGB(screen->format, 255, 255, 255));
    blit(tiles_image, screen, 81, 0, 60, 20, 205, 64);
    draw_text_centred(screen, "A tactics game by the Umbrafront team", 160, 120, 0, 3);
    draw_text_centred(screen, "Made for SDL and the GP2X handheld", 160, 135, 0, 3);
    draw_text_centred(screen, "Music composed in code for this game", 160, 150, 0, 3);
    draw_text_centred(screen, "Press (A) to continue", 160, 200, 0, 3);
    flip_screen();
    clear_input();
    do
        poll_input();
    while (button != 1);
}

void title_menu()
{
    static const int choices[6][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 0}, {-1, 0}};
    int option_index = 0;
    draw_title(0);
    flip_screen();
    bool done = false;
    while (!done) {
        poll_input();
        if (key[0] != 0) {
            cpu_player[0] = -1;
            done = true;
        }
        if (button == 1) {
            done = true;
            cpu_player[0] = choices[option_index][0];
            cpu_player[1] = choices[option_index][1];
            if (option_index == 4) {
                done = false;
                show_credits();
                option_index = 0;
                draw_title(0);
                flip_screen();
                clear_input();
            }
        } else if (button == 2) {
            option_index = option_index == 5 ? 0 : option_index + 1;
            clear_input();
            play_sound(sound_chains);
            draw_title(option_index);
            flip_screen();
        }
    }
}
