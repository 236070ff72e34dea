// board.cpp -- paints the battle screen from the battlefield state; never presents it.
#include "view/board.h"

#include <cstdarg>
#include <cstdio>

#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"

char status_text[160] = "";

static const char* const terrain_texts[8] = {
    "Terrain: Plain", "Terrain: Grasslands", "Terrain: Forest", "Terrain: Water",
    "Terrain: Rock", "Terrain: Neutral Castle", "Terrain: Dark Castle", "Terrain: Light Castle",
};

static const char* const unit_lines[8] = {
    "Dark Soldier.  Moves Left: %d  (B): Stats",
    "Dark Knight.   Moves Left: %d  (B): Stats",
    "Dark Archer.   Moves Left: %d  (B): Stats",
    "Dark Mage.     Moves Left: %d  (B): Stats",
    "Light Soldier. Moves Left: %d  (B): Stats",
    "Light Knight.  Moves Left: %d  (B): Stats",
    "Light Archer.  Moves Left: %d  (B): Stats",
    "Light Mage.    Moves Left: %d  (B): Stats",
};

void draw_tile(int x, int y, int n)
{
    blit(tiles_image, screen, 16 * (n / 4), 16 * (n % 4), x, y, 16, 16);
}

void draw_cursor()
{
    if (cpu_player[current_side] == 1)
        return;
    SDL_Surface* picture = cursor_image;
    if (selected_x != -1 && unit_grid[selected_x][selected_y].moves >= 1)
        picture = move_cursor_image;
    blit(picture, screen, 0, 0, 16 * cursor_x - 1, 16 * cursor_y + 13, 18, 18);
}

void draw_board()
{
    for (int y = 0; y < map_height; y++) {
        for (int x = 0; x < map_width; x++) {
            int px = 16 * x;
            int py = 16 * y + 14;
            draw_tile(px, py, get_pixel(terrain_map, x, y));
            const UnitRecord& unit = unit_grid[x][y];
            if (unit.attack == 0)
                continue;
            if (x == selected_x && y == selected_y)
                fill_rect(screen, px, py, px + 15, py + 15, map_colour(2));
            if (unit.type / 4 == current_side && unit.moves < 1)
                SDL_SetAlpha(tiles_image, SDL_SRCALPHA, 96);  // spent units of the side to move fade
            draw_tile(px, py, unit.type);
            SDL_SetAlpha(tiles_image, SDL_SRCALPHA, 255);
        }
    }
    draw_cursor();

    fill_rect(screen, 0, 0, 320, 12, map_colour(3));
    fill_rect(screen, 0, 13, 320, 13, map_colour(0));
    draw_text_centred(screen, status_text, 160, 1, 0, 3);

    double s = dark_share();
    blit(balance_bg_image, screen, static_cast<int>((1 - s) * 298 + 12), 0, 0, 206, 320, 22);
    int frame = static_cast<int>((1 - s) * 7);
    blit(balance_image, screen, 22 * frame, 0, static_cast<int>(s * 298 + 12) - 11, 206, 22, 22);

    fill_rect(screen, 0, screen->h - 11, screen->w, screen->h, map_colour(3));
}

void draw_info_line(int x, int y)
{
    if (cpu_player[0] == 1 && cpu_player[1] == 1)
        return;
    if (selected_x != -1) {
        x = selected_x;
        y = selected_y;
    }
    char text[64];
    int code = get_pixel(terrain_map, x, y);
    std::snprintf(text, sizeof text, "%s",
                  code >= terrain_plain && code <= terrain_light_castle ? terrain_texts[code - 8] : "");
    const UnitRecord& unit = unit_grid[x][y];
    if (unit.type >= 0 && unit.type <= 7)
        std::snprintf(text, sizeof text, unit_lines[unit.type], unit.moves == -1 ? 0 : unit.moves);
    ColourIndex background = selected_x != -1 ? 2 : 3;
    fill_rect(screen, 0, screen->h - 12, screen->w, screen->h, map_colour(background));
    draw_text(screen, text, 0, screen->h - 12, 0, background);
}

void set_status(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    // Longer texts are cut to fit the 160-byte buffer.
    std::vsnprintf(status_text, sizeof status_text, format, args);
    va_end(args);
    draw_board();
}
