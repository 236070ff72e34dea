// board.h -- the battle screen: status bar, board, cursor, balance bar and info line.
#pragma once

extern char status_text[160];

void draw_tile(int x, int y, int n);
void draw_cursor();
void draw_board();
void draw_info_line(int x, int y);
void set_status(const char* format, ...) __attribute__((format(printf, 1, 2)));
