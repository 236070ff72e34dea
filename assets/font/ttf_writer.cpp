// Encodes a ttf_font as an sfnt file with the tables a TrueType renderer needs:
// OS/2, cmap (format 4), glyf, head, hhea, hmtx, loca, maxp, name, post and optionally prep.
#include "assets/font/ttf_writer.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace {

// 2024-01-01 00:00:00 in seconds since 1904-01-01: the font carries a fixed date so that
// regenerating it never changes a byte.
const int64_t fixed_font_date = 3786912000LL;

struct byte_writer {
    std::vector<uint8_t> bytes;
};

void put_u8(byte_writer& w, int v) { w.bytes.push_back(static_cast<uint8_t>(v)); }
void put_u16(byte_writer& w, int v) {
    put_u8(w, (v >> 8) & 0xFF);
    put_u8(w, v & 0xFF);
}
void put_i16(byte_writer& w, int v) {
    if (v < -32768 || v > 32767) throw std::invalid_argument("value does not fit in 16 bits");
    put_u16(w, v & 0xFFFF);
}
void put_u32(byte_writer& w, uint32_t v) {
    put_u16(w, static_cast<int>(v >> 16));
    put_u16(w, static_cast<int>(v & 0xFFFF));
}
void put_i64(byte_writer& w, int64_t v) {
    put_u32(w, static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32));
    put_u32(w, static_cast<uint32_t>(v & 0xFFFFFFFF));
}
void put_tag(byte_writer& w, const char* tag) {
    for (int i = 0; i < 4; ++i) put_u8(w, tag[i]);
}
void pad_to_4(byte_writer& w) {
    while (w.bytes.size() % 4 != 0) put_u8(w, 0);
}
void set_u32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    bytes[at] = static_cast<uint8_t>(v >> 24);
    bytes[at + 1] = static_cast<uint8_t>(v >> 16);
    bytes[at + 2] = static_cast<uint8_t>(v >> 8);
    bytes[at + 3] = static_cast<uint8_t>(v);
}

uint32_t table_checksum(const std::vector<uint8_t>& bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) {
            word = (word << 8) | (i + k < bytes.size() ? bytes[i + k] : 0);
        }
        sum += word;
    }
    return sum;
}

struct box {
    int x_min = 0, y_min = 0, x_max = 0, y_max = 0;
    bool empty = true;
};

box glyph_box(const ttf_glyph& g) {
    box b;
    for (const ttf_contour& c : g.contours) {
        for (const ttf_point& p : c) {
            if (b.empty) {
                b = {p.x, p.y, p.x, p.y, false};
            } else {
                b.x_min = std::min(b.x_min, p.x);
                b.y_min = std::min(b.y_min, p.y);
                b.x_max = std::max(b.x_max, p.x);
                b.y_max = std::max(b.y_max, p.y);
            }
        }
    }
    return b;
}

// Figures several tables share.
struct font_summary {
    std::vector<box> boxes;
    box all;
    int max_points = 0;
    int max_contours = 0;
    int max_advance = 0;
    int min_lsb = INT_MAX;
    int min_rsb = INT_MAX;
    int max_extent = INT_MIN;
    int average_advance = 0;
};

font_summary summarize(const ttf_font& font) {
    font_summary s;
    int64_t advance_sum = 0;
    int advance_count = 0;
    for (const ttf_glyph& g : font.glyphs) {
        box b = glyph_box(g);
        s.boxes.push_back(b);
        s.max_advance = std::max(s.max_advance, g.advance);
        if (g.advance > 0) {
            advance_sum += g.advance;
            ++advance_count;
        }
        int points = 0;
        for (const ttf_contour& c : g.contours) points += static_cast<int>(c.size());
        s.max_points = std::max(s.max_points, points);
        s.max_contours = std::max(s.max_contours, static_cast<int>(g.contours.size()));
        if (b.empty) continue;
        s.min_lsb = std::min(s.min_lsb, b.x_min);
        s.min_rsb = std::min(s.min_rsb, g.advance - b.x_max);
        s.max_extent = std::max(s.max_extent, b.x_max);
        if (s.all.empty) {
            s.all = b;
        } else {
            s.all.x_min = std::min(s.all.x_min, b.x_min);
            s.all.y_min = std::min(s.all.y_min, b.y_min);
            s.all.x_max = std::max(s.all.x_max, b.x_max);
            s.all.y_max = std::max(s.all.y_max, b.y_max);
        }
    }
    if (s.all.empty) s.min_lsb = s.min_rsb = s.max_extent = 0;
    s.average_advance = advance_count ? static_cast<int>(advance_sum / advance_count) : 0;
    return s;
}

// One simple glyph description; empty glyphs have no data at all.
std::vector<uint8_t> encode_glyph(const ttf_glyph& g, const box& b) {
    byte_writer w;
    if (g.contours.empty()) return w.bytes;
    put_i16(w, static_cast<int>(g.contours.size()));
    put_i16(w, b.x_min);
    put_i16(w, b.y_min);
    put_i16(w, b.x_max);
    put_i16(w, b.y_max);
    int end = -1;
    for (const ttf_contour& c : g.contours) {
        if (c.size() < 3) throw std::invalid_argument("contour with fewer than three points");
        end += static_cast<int>(c.size());
        put_u16(w, end);
    }
    put_u16(w, 0);  // no instructions: the outlines already sit on the pixel grid

    const int on_curve = 0x01, x_short = 0x02, y_short = 0x04, x_same_or_positive = 0x10,
              y_same_or_positive = 0x20;
    std::vector<uint8_t> flags;
    byte_writer xs, ys;
    int px = 0, py = 0;
    for (const ttf_contour& c : g.contours) {
        for (const ttf_point& p : c) {
            int flag = on_curve;
            const int dx = p.x - px, dy = p.y - py;
            if (dx == 0) {
                flag |= x_same_or_positive;
            } else if (dx > -256 && dx < 256) {
                flag |= x_short | (dx > 0 ? x_same_or_positive : 0);
                put_u8(xs, dx > 0 ? dx : -dx);
            } else {
                put_i16(xs, dx);
            }
            if (dy == 0) {
                flag |= y_same_or_positive;
            } else if (dy > -256 && dy < 256) {
                flag |= y_short | (dy > 0 ? y_same_or_positive : 0);
                put_u8(ys, dy > 0 ? dy : -dy);
            } else {
                put_i16(ys, dy);
            }
            flags.push_back(static_cast<uint8_t>(flag));
            px = p.x;
            py = p.y;
        }
    }
    w.bytes.insert(w.bytes.end(), flags.begin(), flags.end());
    w.bytes.insert(w.bytes.end(), xs.bytes.begin(), xs.bytes.end());
    w.bytes.insert(w.bytes.end(), ys.bytes.begin(), ys.bytes.end());
    return w.bytes;
}

std::vector<uint8_t> make_cmap(const ttf_font& font) {
    // Runs of consecutive codes mapped to consecutive glyphs become one segment each.
    struct segment {
        int start, end, delta;
    };
    std::vector<segment> segments;
    for (size_t i = 0; i < font.char_codes.size(); ++i) {
        const int code = font.char_codes[i];
        const int glyph = static_cast<int>(i) + 1;
        if (code < 0 || code >= 0xFFFF) throw std::invalid_argument("character code outside the BMP");
        if (i > 0 && code <= font.char_codes[i - 1]) throw std::invalid_argument("character codes must ascend");
        if (!segments.empty() && segments.back().end == code - 1 &&
            segments.back().delta == glyph - code) {
            segments.back().end = code;
        } else {
            segments.push_back({code, code, glyph - code});
        }
    }
    segments.push_back({0xFFFF, 0xFFFF, 1});

    const int seg_count = static_cast<int>(segments.size());
    int search_range = 2, entry_selector = 0;
    while (search_range * 2 <= seg_count * 2) {
        search_range *= 2;
        ++entry_selector;
    }
    byte_writer sub;
    put_u16(sub, 4);
    put_u16(sub, 16 + seg_count * 8);
    put_u16(sub, 0);  // language
    put_u16(sub, seg_count * 2);
    put_u16(sub, search_range);
    put_u16(sub, entry_selector);
    put_u16(sub, seg_count * 2 - search_range);
    for (const segment& s : segments) put_u16(sub, s.end);
    put_u16(sub, 0);  // reserved pad
    for (const segment& s : segments) put_u16(sub, s.start);
    for (const segment& s : segments) put_u16(sub, s.delta & 0xFFFF);
    for (int i = 0; i < seg_count; ++i) put_u16(sub, 0);  // idRangeOffset

    byte_writer w;
    put_u16(w, 0);  // version
    put_u16(w, 2);  // two encoding records share the one subtable
    put_u16(w, 0);  // Unicode platform, BMP encoding
    put_u16(w, 3);
    put_u32(w, 4 + 2 * 8);
    put_u16(w, 3);  // Windows platform, Unicode BMP
    put_u16(w, 1);
    put_u32(w, 4 + 2 * 8);
    w.bytes.insert(w.bytes.end(), sub.bytes.begin(), sub.bytes.end());
    return w.bytes;
}

std::vector<uint8_t> make_name(const ttf_font& font) {
    struct record {
        int id;
        std::string text;
    };
    const std::string full = font.family + (font.style == "Regular" ? "" : " " + font.style);
    const std::vector<record> records = {
        {0, font.copyright}, {1, font.family},  {2, font.style},      {3, font.postscript + ";" + font.version},
        {4, full},           {5, font.version}, {6, font.postscript},
    };
    for (const record& r : records) {
        for (char c : r.text) {
            if (static_cast<unsigned char>(c) > 126 || c < 32) throw std::invalid_argument("names must be printable ASCII");
        }
    }
    // Mac Roman (platform 1) first, then Windows UTF-16 (platform 3), as sorted order requires.
    byte_writer strings;
    byte_writer w;
    const int count = static_cast<int>(records.size()) * 2;
    put_u16(w, 0);
    put_u16(w, count);
    put_u16(w, 6 + count * 12);
    for (int platform : {1, 3}) {
        for (const record& r : records) {
            const int offset = static_cast<int>(strings.bytes.size());
            for (char c : r.text) {
                if (platform == 3) put_u8(strings, 0);
                put_u8(strings, c);
            }
            put_u16(w, platform);
            put_u16(w, platform == 3 ? 1 : 0);       // encoding: Unicode BMP / Roman
            put_u16(w, platform == 3 ? 0x409 : 0);   // language: English (US) / English
            put_u16(w, r.id);
            put_u16(w, static_cast<int>(strings.bytes.size()) - offset);
            put_u16(w, offset);
        }
    }
    w.bytes.insert(w.bytes.end(), strings.bytes.begin(), strings.bytes.end());
    return w.bytes;
}

std::vector<uint8_t> make_os2(const ttf_font& font, const font_summary& s) {
    byte_writer w;
    const int em = font.units_per_em;
    put_u16(w, 4);                      // version
    put_i16(w, s.average_advance);      // xAvgCharWidth
    put_u16(w, 400);                    // usWeightClass: regular
    put_u16(w, 5);                      // usWidthClass: medium
    put_u16(w, 0);                      // fsType: installable
    put_i16(w, em * 65 / 100);          // subscript x size
    put_i16(w, em * 60 / 100);          // subscript y size
    put_i16(w, 0);                      // subscript x offset
    put_i16(w, em * 7 / 100);           // subscript y offset
    put_i16(w, em * 65 / 100);          // superscript x size
    put_i16(w, em * 60 / 100);          // superscript y size
    put_i16(w, 0);                      // superscript x offset
    put_i16(w, em * 35 / 100);          // superscript y offset
    put_i16(w, em / 10);                // strikeout size: one pixel at the design size
    put_i16(w, font.x_height / 2 + em / 20);  // strikeout position
    put_i16(w, 0);                      // sFamilyClass
    for (int i = 0; i < 10; ++i) put_u8(w, 0);  // PANOSE: any
    put_u32(w, 1);                      // Unicode ranges: Basic Latin
    put_u32(w, 0);
    put_u32(w, 0);
    put_u32(w, 0);
    for (int i = 0; i < 4; ++i) put_u8(w, i < static_cast<int>(font.vendor.size()) ? font.vendor[i] : ' ');
    put_u16(w, 0x40);                   // fsSelection: regular
    const int first = font.char_codes.empty() ? 0 : font.char_codes.front();
    const int last = font.char_codes.empty() ? 0 : font.char_codes.back();
    put_u16(w, first);
    put_u16(w, last);
    put_i16(w, font.ascender);          // typo ascender
    put_i16(w, font.descender);         // typo descender
    put_i16(w, font.line_gap);
    put_u16(w, std::max(font.ascender, s.all.y_max));   // win ascent
    put_u16(w, std::max(-font.descender, -s.all.y_min));  // win descent
    put_u32(w, 1);                      // code pages: Latin 1
    put_u32(w, 0);
    put_i16(w, font.x_height);
    put_i16(w, font.cap_height);
    put_u16(w, 0);                      // default char: .notdef
    put_u16(w, 32);                     // break char: space
    put_u16(w, 1);                      // max context: no ligatures or kerning
    return w.bytes;
}

}  // namespace

std::vector<uint8_t> build_ttf(const ttf_font& font) {
    if (font.glyphs.size() != font.char_codes.size() + 1) {
        throw std::invalid_argument("need one glyph per character code plus .notdef");
    }
    const font_summary s = summarize(font);
    const int glyph_count = static_cast<int>(font.glyphs.size());

    // glyf and loca
    byte_writer glyf, loca;
    for (int i = 0; i < glyph_count; ++i) {
        put_u32(loca, static_cast<uint32_t>(glyf.bytes.size()));
        std::vector<uint8_t> data = encode_glyph(font.glyphs[i], s.boxes[i]);
        glyf.bytes.insert(glyf.bytes.end(), data.begin(), data.end());
        pad_to_4(glyf);
    }
    put_u32(loca, static_cast<uint32_t>(glyf.bytes.size()));

    byte_writer hmtx;
    for (int i = 0; i < glyph_count; ++i) {
        put_u16(hmtx, font.glyphs[i].advance);
        put_i16(hmtx, s.boxes[i].empty ? 0 : s.boxes[i].x_min);
    }

    byte_writer head;
    put_u32(head, 0x00010000);   // version
    put_u32(head, 0x00010000);   // font revision
    put_u32(head, 0);            // checkSumAdjustment, filled in last
    put_u32(head, 0x5F0F3CF5);   // magic
    put_u16(head, 0x000B);       // baseline at y=0, left sidebearing at x=0, integer ppem
    put_u16(head, font.units_per_em);
    put_i64(head, fixed_font_date);  // created
    put_i64(head, fixed_font_date);  // modified
    put_i16(head, s.all.x_min);
    put_i16(head, s.all.y_min);
    put_i16(head, s.all.x_max);
    put_i16(head, s.all.y_max);
    put_u16(head, 0);            // macStyle
    put_u16(head, 8);            // lowestRecPPEM
    put_i16(head, 2);            // fontDirectionHint
    put_i16(head, 1);            // indexToLocFormat: 32-bit offsets
    put_i16(head, 0);            // glyphDataFormat

    byte_writer hhea;
    put_u32(hhea, 0x00010000);
    put_i16(hhea, font.ascender);
    put_i16(hhea, font.descender);
    put_i16(hhea, font.line_gap);
    put_u16(hhea, s.max_advance);
    put_i16(hhea, s.min_lsb);
    put_i16(hhea, s.min_rsb);
    put_i16(hhea, s.max_extent);
    put_i16(hhea, 1);            // caret slope rise: upright
    put_i16(hhea, 0);            // caret slope run
    put_i16(hhea, 0);            // caret offset
    for (int i = 0; i < 4; ++i) put_i16(hhea, 0);
    put_i16(hhea, 0);            // metricDataFormat
    put_u16(hhea, glyph_count);  // every glyph has its own advance

    byte_writer maxp;
    put_u32(maxp, 0x00010000);
    put_u16(maxp, glyph_count);
    put_u16(maxp, s.max_points);
    put_u16(maxp, s.max_contours);
    put_u16(maxp, 0);            // composite points
    put_u16(maxp, 0);            // composite contours
    put_u16(maxp, 2);            // zones
    put_u16(maxp, 0);            // twilight points
    put_u16(maxp, 0);            // storage
    put_u16(maxp, 0);            // function defs
    put_u16(maxp, 0);            // instruction defs
    put_u16(maxp, 16);           // stack elements
    put_u16(maxp, 0);            // size of glyph instructions
    put_u16(maxp, 0);            // component elements
    put_u16(maxp, 0);            // component depth

    byte_writer post;
    put_u32(post, 0x00030000);   // no glyph names
    put_u32(post, 0);            // italic angle
    put_i16(post, -font.units_per_em / 10);  // underline position
    put_i16(post, font.units_per_em / 10);   // underline thickness
    put_u32(post, 0);            // proportional
    for (int i = 0; i < 4; ++i) put_u32(post, 0);

    struct table {
        const char* tag;
        std::vector<uint8_t> data;
    };
    std::vector<table> tables = {
        {"OS/2", make_os2(font, s)}, {"cmap", make_cmap(font)}, {"glyf", glyf.bytes},
        {"head", head.bytes},        {"hhea", hhea.bytes},      {"hmtx", hmtx.bytes},
        {"loca", loca.bytes},        {"maxp", maxp.bytes},      {"name", make_name(font)},
        {"post", post.bytes},
    };
    if (!font.prep.empty()) tables.push_back({"prep", font.prep});

    byte_writer file;
    const int count = static_cast<int>(tables.size());
    int search_range = 1, entry_selector = 0;
    while (search_range * 2 <= count) {
        search_range *= 2;
        ++entry_selector;
    }
    search_range *= 16;
    put_u32(file, 0x00010000);
    put_u16(file, count);
    put_u16(file, search_range);
    put_u16(file, entry_selector);
    put_u16(file, count * 16 - search_range);
    size_t offset = 12 + 16 * tables.size();
    size_t head_offset = 0;
    for (const table& t : tables) {
        put_tag(file, t.tag);
        put_u32(file, table_checksum(t.data));
        put_u32(file, static_cast<uint32_t>(offset));
        put_u32(file, static_cast<uint32_t>(t.data.size()));
        if (std::string(t.tag) == "head") head_offset = offset;
        offset += (t.data.size() + 3) / 4 * 4;
    }
    for (const table& t : tables) {
        file.bytes.insert(file.bytes.end(), t.data.begin(), t.data.end());
        pad_to_4(file);
    }
    set_u32(file.bytes, head_offset + 8, 0xB1B0AFBAu - table_checksum(file.bytes));
    return file.bytes;
}
