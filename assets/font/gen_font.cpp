// gen_font <output-dir>: writes the game's pixel font, <output-dir>/arcadepi.ttf, from the
// glyph grids. Each glyph's ink is traced into outlines that lie exactly on pixel edges at
// 10 pixels per em, so SDL_ttf at size 10 draws the grids pixel for pixel.
#include "assets/font/glyphs.h"
#include "assets/font/ttf_writer.h"

#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const int units_per_em = 1000;
const int pixel = 100;  // font units per pixel at the size the game opens the font (10)

// Lattice corner of the pixel grid, x to the right, y up from the baseline.
using corner = std::pair<int, int>;

struct edge {
    corner from, to;
    bool used = false;
};

bool inked(int ch, int x, int y) { return glyph_ink(ch, x, y); }

// Turns the glyph's ink into closed polygons. Every inked pixel contributes its four sides
// in clockwise order, and sides shared with another inked pixel are dropped, so what is left
// is the boundary of the ink: clockwise around filled areas, counter-clockwise around holes.
std::vector<ttf_contour> trace_glyph(int ch) {
    std::vector<edge> edges;
    for (int y = 0; y < glyph_rows; ++y) {
        const int top = glyph_baseline - y, bottom = top - 1;
        for (int x = 0; x < glyph_width(ch); ++x) {
            if (!inked(ch, x, y)) continue;
            if (!inked(ch, x, y - 1)) edges.push_back({{x, top}, {x + 1, top}});
            if (!inked(ch, x + 1, y)) edges.push_back({{x + 1, top}, {x + 1, bottom}});
            if (!inked(ch, x, y + 1)) edges.push_back({{x + 1, bottom}, {x, bottom}});
            if (!inked(ch, x - 1, y)) edges.push_back({{x, bottom}, {x, top}});
        }
    }
    std::multimap<corner, size_t> starting_at;
    for (size_t i = 0; i < edges.size(); ++i) starting_at.insert({edges[i].from, i});

    std::vector<ttf_contour> contours;
    for (size_t first = 0; first < edges.size(); ++first) {
        if (edges[first].used) continue;
        std::vector<corner> loop;
        size_t current = first;
        while (!edges[current].used) {
            edges[current].used = true;
            loop.push_back(edges[current].from);
            // Where two pixels touch only at a corner, two sides leave the same point; taking
            // the right-hand turn keeps each pixel's outline to itself.
            const corner at = edges[current].to;
            const int dx = at.first - edges[current].from.first;
            const int dy = at.second - edges[current].from.second;
            size_t next = current;
            int best_rank = 3;
            auto range = starting_at.equal_range(at);
            for (auto it = range.first; it != range.second; ++it) {
                const edge& e = edges[it->second];
                if (e.used && it->second != first) continue;
                const int ex = e.to.first - e.from.first, ey = e.to.second - e.from.second;
                const int cross = dx * ey - dy * ex;  // negative: right turn (clockwise)
                const int rank = cross < 0 ? 0 : (cross == 0 ? 1 : 2);
                if (rank < best_rank) {
                    best_rank = rank;
                    next = it->second;
                }
            }
            if (next == current) break;
            current = next;
        }
        // Keep only the corners where the outline turns.
        ttf_contour contour;
        const size_t n = loop.size();
        for (size_t i = 0; i < n; ++i) {
            const corner& prev = loop[(i + n - 1) % n];
            const corner& here = loop[i];
            const corner& next = loop[(i + 1) % n];
            const bool straight = (prev.first == here.first && here.first == next.first) ||
                                  (prev.second == here.second && here.second == next.second);
            if (!straight) contour.push_back({here.first * pixel, here.second * pixel});
        }
        contours.push_back(contour);
    }
    return contours;
}

// The .notdef glyph: a hollow box the size of a capital.
ttf_glyph notdef_glyph() {
    ttf_glyph g;
    g.advance = 6 * pixel;
    g.contours.push_back({{0, 7 * pixel}, {5 * pixel, 7 * pixel}, {5 * pixel, 0}, {0, 0}});
    g.contours.push_back({{pixel, pixel}, {4 * pixel, pixel}, {4 * pixel, 6 * pixel}, {pixel, 6 * pixel}});
    return g;
}

ttf_font make_font() {
    ttf_font font;
    font.family = "Umbrafront Pixel";
    font.style = "Regular";
    font.version = "Version 1.0";
    font.postscript = "UmbrafrontPixel-Regular";
    font.copyright = "Drawn for Umbrafront";
    font.vendor = "UMBR";
    font.units_per_em = units_per_em;
    // SDL_ttf's line height is ceil(ascender) - ceil(descender) + 1 pixels: 8 + 3 + 1 = 12,
    // covering every grid row (rows 0..7 above the baseline, 8..10 below).
    font.ascender = glyph_baseline * pixel;
    font.descender = -(glyph_rows - glyph_baseline) * pixel;
    font.line_gap = pixel;
    font.x_height = 5 * pixel;
    font.cap_height = 7 * pixel;
    font.glyphs.push_back(notdef_glyph());
    for (int ch = 32; ch <= 126; ++ch) {
        ttf_glyph g;
        g.advance = glyph_advance(ch) * pixel;
        g.contours = trace_glyph(ch);
        font.glyphs.push_back(g);
        font.char_codes.push_back(ch);
    }
    return font;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir>\n", argv[0]);
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/arcadepi.ttf";
    std::vector<uint8_t> bytes;
    try {
        bytes = build_ttf(make_font());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_font: %s\n", e.what());
        return 1;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return 1;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "gen_font: could not write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
