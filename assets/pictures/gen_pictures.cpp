// gen_pictures.cpp -- writes every picture the game loads into the folder given on the command
// line. Refuses to write a keyed picture in which some colour would turn transparent by accident.
#include "assets/pictures/pictures.h"

#include <cstdio>
#include <string>

namespace {

bool key_safe(const char* name, const canvas& c)
{
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            rgb p = get(c, x, y);
            if (p != key_colour && same_565_as_key(p)) {
                std::fprintf(stderr, "gen_pictures: %s: colour %d,%d,%d at %d,%d keys out on screen\n", name,
                             p.r, p.g, p.b, x, y);
                return false;
            }
        }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_pictures <output-dir>\n");
        return 2;
    }
    std::string dir = argv[1];
    struct picture {
        const char* name;
        canvas (*draw)();
        bool keyed;
    };
    const picture pictures[] = {
        {"tiles.bmp", draw_tiles, true},          {"title.png", draw_title, false},
        {"title_text.png", draw_title_text, true}, {"options.png", draw_options, true},
        {"balance.png", draw_balance, false},     {"balancebg.png", draw_balance_bg, false},
        {"cursor.png", draw_cursor, true},        {"cmove.png", draw_move_cursor, true},
    };
    for (const picture& p : pictures) {
        canvas c = p.draw();
        if (p.keyed && !key_safe(p.name, c))
            return 1;
        std::string path = dir + "/" + p.name;
        bool bmp = path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
        if (!(bmp ? write_bmp(path, c) : write_png(path, c)))
            return 1;
    }
    return 0;
}
