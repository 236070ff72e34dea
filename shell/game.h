// game.h -- the life of the program: title menu, credits and battles in turn.
#pragma once

int game_main();
void title_menu();
void draw_title(int option_index);
void show_credits();
