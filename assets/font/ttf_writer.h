// A small TrueType (glyf-flavoured sfnt) writer: enough to describe an outline font made of
// straight-edged glyphs, with fixed dates and checksums so the same input always gives the
// same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ttf_point {
    int x = 0;  // font units, y up, baseline at 0
    int y = 0;
};

// Closed polygon; clockwise for filled areas, counter-clockwise for holes.
using ttf_contour = std::vector<ttf_point>;

struct ttf_glyph {
    std::vector<ttf_contour> contours;
    int advance = 0;  // font units
};

struct ttf_font {
    std::string family;       // name ID 1
    std::string style;        // name ID 2, e.g. "Regular"
    std::string version;      // name ID 5, e.g. "Version 1.0"
    std::string postscript;   // name ID 6, no spaces
    std::string copyright;    // name ID 0
    std::string vendor = "NONE";  // OS/2 achVendID, four characters
    int units_per_em = 1000;
    int ascender = 800;       // hhea/OS/2, font units above the baseline
    int descender = -200;     // negative: below the baseline
    int line_gap = 0;
    int x_height = 500;
    int cap_height = 700;
    // Glyph 0 is .notdef; characters are mapped to glyphs through char_codes, so
    // glyphs[i + 1] is the drawing of char_codes[i]. Codes must be ascending.
    std::vector<ttf_glyph> glyphs;
    std::vector<int> char_codes;
    std::vector<uint8_t> prep;  // control-value program, may be empty
};

// The complete font file. Throws std::invalid_argument if the description cannot be encoded.
std::vector<uint8_t> build_ttf(const ttf_font& font);
