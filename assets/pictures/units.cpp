// units.cpp -- the eight unit tiles. Each class is one text grid drawn facing right; the Dark use
// it as is, the Light mirrored so the two armies face each other. Colours come from each side's
// legend, so a grid character means the same part of the body on both sides.
#include "assets/pictures/pictures.h"

namespace {

// Grid characters:  H h d  armour light / mid / dark     C c  cloth / cloth shade
//                   T      trim (crest, sash, shield emblem)
//                   S s E  skin / skin shade / eye        M m  blade / blade shade
//                   W w    wood / dark wood               L    bowstring
//                   G g    magic glow / dim glow          B b  horse / horse shade
//                   N      mane and tail                  K    hooves
// The outline is added around everything afterwards.

const std::vector<std::string> soldier = {
    "................",
    "...........M....",
    ".....TT....Mm...",
    ".....hhh...Mm...",
    "....hHHHh..Mm...",
    "....HHHHH..Mm...",
    "....hdSES..Mm...",
    ".....SSs..dTTd..",
    "...hhCCCCCSw....",
    "..hHHHhTCc.T....",
    "..HTTTHTCc......",
    "..HHTHHTCc......",
    "..hHTHhCCc......",
    "...hHh.CCc......",
    "......dd.dd.....",
    ".....ddd.ddd....",
};

const std::vector<std::string> knight = {
    "...............M",
    "......TT......M.",
    ".....hhh.....W..",
    "....hHHHh...W...",
    "....HHHEd..W....",
    ".....hHh..W.....",
    "....CCCCSW.NB...",
    "...TCCTCW.NBBB..",
    "...CCCTC..NBBBBb",
    "...CCCCC.NBBb.bb",
    ".NNCTCCCCCBB....",
    "N..CCCCCCCBB....",
    "N..TTTTTTTBb....",
    "...bb.b..b.b....",
    "...b..b..b..b...",
    "..KK.KK.KK.KK...",
};

const std::vector<std::string> archer = {
    "................",
    "............W...",
    "..T..ccc....LW..",
    "..wTcCCCc...L.W.",
    "...wCCSSC...L.W.",
    "...cCSSE....L..W",
    "...wcSSs....L..W",
    "..w.cCCCCSSSMMMW",
    "..w.cCCTCc..L..W",
    "....cCCTCc..L..W",
    "....cCCTCc..L.W.",
    "....cCCCCc..L.W.",
    "....cCCCCc..LW..",
    ".....hh.hh..W...",
    ".....dd.dd......",
    "....ddd.ddd.....",
};

const std::vector<std::string> mage = {
    "..........gGg...",
    "......C..gGGGg..",
    ".....CC...gGg...",
    ".....CCc...W....",
    "....CCCCc..W....",
    "..TTTTTTTT.W....",
    "....SSES...W....",
    "....sSSs..SW....",
    "...cCCCCCSSW....",
    "...cCCTCC..W....",
    "..cCCCTCCc.W....",
    "..cCCCTCCc.W....",
    ".cCCCCTCCCcW....",
    ".cCCCCTCCCcW....",
    ".cccccccccc.....",
    "...dd..dd.......",
};

// The Dark: violet cloth and gunmetal armour kept deep, so that even at the board's fading they
// darken the ground under them; crimson trim and pale skin carry the detail.
const legend dark_side = {
    {'H', {82, 76, 106}},  {'h', {50, 44, 70}},   {'d', {30, 26, 42}},
    {'C', {92, 30, 124}},  {'c', {54, 16, 76}},   {'T', {224, 40, 64}},
    {'S', {214, 192, 194}}, {'s', {150, 128, 142}}, {'E', {255, 60, 60}},
    {'M', {216, 220, 232}}, {'m', {120, 124, 150}},
    {'W', {112, 72, 52}},  {'w', {72, 44, 34}},   {'L', {190, 180, 200}},
    {'G', {255, 100, 210}}, {'g', {176, 40, 156}},
    {'B', {78, 66, 96}},   {'b', {48, 40, 62}},   {'N', {224, 40, 64}},  {'K', {20, 16, 26}},
};
const rgb dark_outline = {12, 8, 18};

// The Light: white cloth shaded pale gold, warm silver armour, gold trim and an amber accent. No
// blue anywhere, so a Light unit on the blue target fill or beside the pale-blue selection keeps
// every part of its figure.
const legend light_side = {
    {'H', {252, 252, 248}}, {'h', {200, 194, 180}}, {'d', {120, 108, 92}},
    {'C', {255, 255, 250}}, {'c', {236, 212, 146}},  {'T', {250, 200, 40}},
    {'S', {252, 206, 164}}, {'s', {206, 150, 112}}, {'E', {40, 24, 16}},
    {'M', {255, 255, 255}}, {'m', {176, 168, 150}},
    {'W', {178, 110, 48}},  {'w', {116, 70, 30}},   {'L', {255, 250, 210}},
    {'G', {255, 250, 200}}, {'g', {244, 164, 40}},
    {'B', {255, 252, 244}}, {'b', {196, 186, 170}}, {'N', {240, 138, 36}}, {'K', {86, 64, 44}},
};
const rgb light_outline = {30, 20, 12};

// Every figure gets a dark outline that closes round its corners and, below and right of it, a
// second dark edge: a silhouette that still shows when the board fades a finished unit to a
// third of its strength.
void silhouette(canvas& c, rgb outline)
{
    canvas before = c;
    auto solid = [&](int x, int y) { return inside(before, x, y) && get(before, x, y) != key_colour; };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (solid(x, y))
                continue;
            bool edge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    edge = edge || solid(x + dx, y + dy);
            if (edge || solid(x - 2, y - 2))
                put(c, x, y, outline);
        }
}

} // namespace

canvas draw_unit(int side, int unit)
{
    const std::vector<std::string>* grids[4] = {&soldier, &knight, &archer, &mage};
    canvas c = make_canvas(16, 16, key_colour);
    draw_grid(c, 0, 0, *grids[unit & 3], side == 0 ? dark_side : light_side, side != 0);
    silhouette(c, side == 0 ? dark_outline : light_outline);
    return c;
}
