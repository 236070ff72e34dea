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

const legend dark_side = {
    {'H', {100, 94, 124}}, {'h', {64, 58, 84}},   {'d', {36, 32, 48}},
    {'C', {124, 48, 156}}, {'c', {76, 28, 102}},  {'T', {212, 38, 62}},
    {'S', {208, 186, 188}}, {'s', {150, 128, 142}}, {'E', {255, 60, 60}},
    {'M', {204, 208, 224}}, {'m', {120, 124, 150}},
    {'W', {112, 72, 52}},  {'w', {72, 44, 34}},   {'L', {182, 172, 192}},
    {'G', {255, 100, 210}}, {'g', {176, 40, 156}},
    {'B', {96, 84, 114}},  {'b', {58, 50, 72}},   {'N', {212, 38, 62}},  {'K', {20, 16, 26}},
};
const rgb dark_outline = {16, 10, 22};

const legend light_side = {
    {'H', {252, 252, 246}}, {'h', {204, 210, 226}}, {'d', {138, 150, 180}},
    {'C', {96, 178, 250}},  {'c', {46, 112, 210}},  {'T', {250, 204, 52}},
    {'S', {252, 208, 168}}, {'s', {212, 158, 124}}, {'E', {36, 44, 100}},
    {'M', {244, 250, 255}}, {'m', {150, 172, 204}},
    {'W', {188, 126, 60}},  {'w', {122, 80, 40}},   {'L', {255, 255, 216}},
    {'G', {150, 240, 255}}, {'g', {60, 164, 232}},
    {'B', {246, 242, 232}}, {'b', {188, 184, 184}}, {'N', {250, 204, 52}}, {'K', {96, 82, 70}},
};
const rgb light_outline = {34, 38, 84};

} // namespace

canvas draw_unit(int side, int unit)
{
    const std::vector<std::string>* grids[4] = {&soldier, &knight, &archer, &mage};
    canvas c = make_canvas(16, 16, key_colour);
    draw_grid(c, 0, 0, *grids[unit & 3], side == 0 ? dark_side : light_side, side != 0);
    outline_box(c, 0, 0, 16, 16, side == 0 ? dark_outline : light_outline);
    return c;
}
