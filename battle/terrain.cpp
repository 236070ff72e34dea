// terrain.cpp -- grows a random battlefield from seeds, then sets out the two home zones.
// The draws of rand() happen in a fixed order; a given sequence always gives the same map.
#include "battle/terrain.h"

#include <cstdlib>
#include <cstring>

#include "battle/state.h"
#include "platform/draw.h"

// One growth spread of the code at (x, y): offsets are -1 or 0, so patches grow left and up only.
static void spread(int x, int y, int code, bool vertical)
{
    int k = std::rand() % 2;
    if (vertical)
        put_pixel(terrain_map, x, y + k - 1, code);
    else
        put_pixel(terrain_map, x + k - 1, y, code);
}

void generate_terrain()
{
    clear_surface(terrain_map, terrain_plain);
    // The snapshot taken at each pass keeps a pass from reading what it has just written.
    int scratch[map_height][map_width];

    for (int i = 0; i < 50; i++) {
        int code = terrain_plain + std::rand() % 3;
        int row = std::rand() % 12;
        int column = std::rand() % 20;
        put_pixel(terrain_map, column, row, code);
    }

    for (int pass = 0; pass < 15; pass++) {
        for (int y = 0; y < map_height; y++)
            for (int x = 0; x < map_width; x++)
                scratch[y][x] = get_pixel(terrain_map, x, y);
        for (int y = 0; y < map_height; y++) {
            for (int x = 0; x < map_width; x++) {
                int code = scratch[y][x];
                if (code == terrain_grasslands) {
                    spread(x, y, code, std::rand() % 2 == 1);
                } else if (code == terrain_forest) {
                    if (std::rand() % 2 == 1)
                        continue;
                    spread(x, y, code, std::rand() % 2 == 1);
                }
            }
        }
    }

    for (int i = 0; i < 8; i++) {
        int row = std::rand() % 12;
        int column = std::rand() % 20;
        put_pixel(terrain_map, column, row, terrain_rock);
    }
    for (int i = 0; i < 8; i++) {
        int column = 4 + std::rand() % 11;
        int row = std::rand() % 12;
        put_pixel(terrain_map, column, row, terrain_neutral_castle);
    }

    place_armies();
}

void place_armies()
{
    int a = std::rand() % 10;
    int b = std::rand() % 10;

    fill_rect(terrain_map, 0, a, 2, a + 2, terrain_plain);
    put_pixel(terrain_map, 1, a + 1, terrain_dark_castle);
    static const int dark_army[3][3] = {  // [row][column] from the map's left edge; -1 the castle
        {2, 1, 0},
        {3, -1, 0},
        {2, 1, 0},
    };
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            if (dark_army[r][c] >= 0)
                unit_grid[c][a + r] = unit_types[dark_army[r][c]];

    fill_rect(terrain_map, 17, b, 19, b + 2, terrain_plain);
    put_pixel(terrain_map, 18, b + 1, terrain_light_castle);
    static const int light_army[3][3] = {  // [row][column] from column 17; the Dark's mirror image
        {4, 5, 6},
        {4, -1, 7},
        {4, 5, 6},
    };
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            if (light_army[r][c] >= 0)
                unit_grid[17 + c][b + r] = unit_types[light_army[r][c]];
}
