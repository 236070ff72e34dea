// popup.h -- the centred message box and the unit statistics pop-up.
#pragma once

void box_centred();
// The top row of a box line: height x fraction taken exactly, then truncated toward zero.
int box_row(int height, double fraction);
void box_line(double fraction, const char* format, ...) __attribute__((format(printf, 2, 3)));
void show_unit_stats(int x, int y);
