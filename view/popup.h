// popup.h -- the centred message box and the unit statistics pop-up.
#pragma once

void box_centred();
void box_line(double fraction, const char* format, ...) __attribute__((format(printf, 2, 3)));
void show_unit_stats(int x, int y);
