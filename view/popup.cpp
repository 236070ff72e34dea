// popup.cpp -- the white box in the middle of the screen, its text lines, and the unit statistics.
#include "view/popup.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "view/board.h"

static const char* const unit_names[8] = {
    "Dark Soldier", "Dark Knight", "Dark Archer", "Dark Mage",
    "Light Soldier", "Light Knight", "Light Archer", "Light Mage",
};

void box_centred()
{
    int cx = screen->w / 2;
    int cy = screen->h / 2;
    fill_rect(screen, cx - 80, cy - 40, cx + 80, cy + 40, map_colour(3));
    draw_rect(screen, cx - 80, cy - 40, cx + 80, cy + 40, 0);
}

int box_row(int height, double fraction)
{
    // The exact product of 240 and the double nearest 0.35 lies just below 84, but the rounded
    // double product is 84.0; fma yields the rounding error exactly, so the true side of the
    // integer is known without relying on a wider long double (ARM has none).
    double product = height * fraction;
    double error = std::fma(height, fraction, -product);
    double row = std::trunc(product);
    if (row == product) {
        if (product > 0 && error < 0)
            row -= 1;
        else if (product < 0 && error > 0)
            row += 1;
    }
    return static_cast<int>(row);
}

void box_line(double fraction, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    draw_text_centred(screen, text, screen->w / 2, box_row(screen->h, fraction), 0, 3);
}

void show_unit_stats(int x, int y)
{
    const UnitRecord& unit = unit_grid[x][y];
    flip_screen();
    wait_ms(150);
    box_centred();
    box_line(0.35, "%s", unit_names[unit.type]);
    box_line(0.45, "Attack: %d", unit.attack);
    box_line(0.5, "Defence: %d", unit.defence);
    box_line(0.55, "Movement: %d", unit.moves);
    box_line(0.6, "Attack Range: %d", unit.range);
    flip_screen();
    wait_button_cycle();
    draw_board();
    flip_screen();
}
