// Checks Data/arcadepi.ttf the way the game uses it: opened through SDL_ttf at size 10 and
// drawn with TTF_RenderText_Solid, it must reproduce the glyph grids pixel for pixel, measure
// what text_width says, and come out of the generator byte for byte the same every time.
#include "assets/font/glyphs.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const font_path = "Data/arcadepi.ttf";
const char* const widest_line = "Light Soldier. Moves Left: 2  (B): Stats";
const char* const game_texts[] = {
    widest_line,
    "Press (A) to continue",
    "(B) to change, (A) to confirm",
    "** The Dark **",
    "-- The Light --",
    "Turn: 12",
    "Are Victorious!",
    "That is an enemy soldier!",
    "Attack Range: 3",
};

std::string all_printable() {
    std::string s;
    for (int ch = 32; ch <= 126; ++ch) s += static_cast<char>(ch);
    return s;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class font_file : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    }
    static void TearDownTestSuite() {
        TTF_Quit();
        SDL_Quit();
    }
    void SetUp() override {
        font = TTF_OpenFont(font_path, 10);
        ASSERT_NE(font, nullptr) << TTF_GetError();
    }
    void TearDown() override {
        if (font) TTF_CloseFont(font);
    }

    // Renders text and compares every pixel with the grids placed at their pen positions.
    // Returns a description of the differences, empty when the picture is exact.
    std::string render_differences(const std::string& text) {
        SDL_Surface* s = TTF_RenderText_Solid(font, text.c_str(), SDL_Color{255, 255, 255, 0});
        if (!s) return std::string("render failed: ") + TTF_GetError();
        std::string problems;
        if (s->format->BitsPerPixel != 8) problems += "surface is not 8-bit palettized\n";
        if (s->w != text_width(text.c_str()) || s->h != TTF_FontHeight(font)) {
            problems += "surface is " + std::to_string(s->w) + "x" + std::to_string(s->h) + ", expected " +
                        std::to_string(text_width(text.c_str())) + "x" + std::to_string(TTF_FontHeight(font)) + "\n";
        }
        if (!problems.empty()) {
            SDL_FreeSurface(s);
            return problems;
        }
        // Surface row of grid row 0: the baseline sits TTF_FontAscent rows down.
        const int top = TTF_FontAscent(font) - glyph_baseline;
        std::vector<bool> want(static_cast<size_t>(s->w * s->h), false);
        int pen = 0;
        for (unsigned char ch : text) {
            for (int y = 0; y < glyph_rows; ++y) {
                for (int x = 0; x < glyph_width(ch); ++x) {
                    const int sy = top + y;
                    if (glyph_ink(ch, x, y) && sy >= 0 && sy < s->h) want[static_cast<size_t>(sy * s->w + pen + x)] = true;
                }
            }
            pen += glyph_advance(ch);
        }
        std::string picture;
        int wrong = 0;
        SDL_LockSurface(s);
        for (int y = 0; y < s->h; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
            for (int x = 0; x < s->w; ++x) {
                const bool got = row[x] != 0;
                const bool expected = want[static_cast<size_t>(y * s->w + x)];
                if (got != expected) ++wrong;
                picture += got == expected ? (got ? '#' : '.') : (got ? '+' : '-');
            }
            picture += '\n';
        }
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
        if (wrong == 0) return "";
        return std::to_string(wrong) + " wrong pixels in \"" + text + "\" (+ extra ink, - missing ink):\n" + picture;
    }

    TTF_Font* font = nullptr;
};

TEST_F(font_file, opens_at_game_size_with_compact_line_height) {
    EXPECT_LE(TTF_FontHeight(font), 12);
    EXPECT_GE(TTF_FontHeight(font), glyph_rows);
    EXPECT_EQ(TTF_FontAscent(font), glyph_baseline);
    EXPECT_STREQ(TTF_FontFaceFamilyName(font), "Umbrafront Pixel");
    EXPECT_FALSE(TTF_FontFaceIsFixedWidth(font));
}

TEST_F(font_file, game_texts_measure_as_text_width) {
    for (const char* text : game_texts) {
        int w = -1, h = -1;
        ASSERT_EQ(TTF_SizeText(font, text, &w, &h), 0) << text;
        EXPECT_EQ(w, text_width(text)) << text;
        EXPECT_EQ(h, TTF_FontHeight(font)) << text;
    }
    int widest = 0;
    ASSERT_EQ(TTF_SizeText(font, widest_line, &widest, nullptr), 0);
    EXPECT_LT(widest, 300);
    std::printf("widest game line: %d px\n", widest);
}

TEST_F(font_file, every_character_renders_exactly_as_its_grid) {
    for (int ch = 33; ch <= 126; ++ch) {
        const std::string text(1, static_cast<char>(ch));
        EXPECT_EQ(render_differences(text), "") << "character " << ch;
    }
}

TEST_F(font_file, strings_render_with_glyphs_at_their_pen_positions) {
    const std::string all = all_printable();
    for (size_t i = 0; i < all.size(); i += 24) {
        EXPECT_EQ(render_differences(all.substr(i, 24)), "");
    }
    for (const char* text : game_texts) EXPECT_EQ(render_differences(text), "");
}

TEST_F(font_file, every_hinting_mode_draws_the_same_pixels) {
    const std::string all = all_printable();
    for (int hinting : {TTF_HINTING_NORMAL, TTF_HINTING_LIGHT, TTF_HINTING_MONO, TTF_HINTING_NONE}) {
        TTF_SetFontHinting(font, hinting);
        EXPECT_EQ(render_differences(all.substr(1, 47)), "") << "hinting " << hinting;
        EXPECT_EQ(render_differences(all.substr(48)), "") << "hinting " << hinting;
    }
}

TEST(glyph_grids, every_character_is_drawn_tightly) {
    for (int ch = 33; ch <= 126; ++ch) {
        const int w = glyph_width(ch);
        ASSERT_GT(w, 0) << "character " << ch;
        EXPECT_EQ(glyph_advance(ch), w + 1) << "character " << ch;
        bool left = false, right = false;
        for (int y = 0; y < glyph_rows; ++y) {
            left = left || glyph_ink(ch, 0, y);
            right = right || glyph_ink(ch, w - 1, y);
            EXPECT_FALSE(glyph_ink(ch, -1, y) || glyph_ink(ch, w, y)) << "character " << ch;
        }
        EXPECT_TRUE(left && right) << "blank edge column in character " << ch;
    }
    for (int x = 0; x < glyph_width(' '); ++x) {
        for (int y = 0; y < glyph_rows; ++y) EXPECT_FALSE(glyph_ink(' ', x, y));
    }
    EXPECT_GT(glyph_advance(' '), 1);
    for (int ch : {0, 31, 127, 200, -5}) {
        EXPECT_EQ(glyph_width(ch), 0) << ch;
        EXPECT_FALSE(glyph_ink(ch, 0, 4)) << ch;
    }
}

// Rows that hold ink, as a bit mask (bit y for row y).
int ink_rows(int ch) {
    int mask = 0;
    for (int y = 0; y < glyph_rows; ++y) {
        for (int x = 0; x < glyph_width(ch); ++x) {
            if (glyph_ink(ch, x, y)) mask |= 1 << y;
        }
    }
    return mask;
}

TEST(glyph_grids, letters_keep_to_cap_height_x_height_and_descenders) {
    const int cap_rows = 0xFE;      // rows 1..7
    const int x_rows = 0xF8;        // rows 3..7
    const int below_baseline = ~((1 << glyph_baseline) - 1);
    for (int ch = 'A'; ch <= 'Z'; ++ch) {
        if (ch == 'Q') continue;  // the tail may dip
        EXPECT_EQ(ink_rows(ch), cap_rows) << static_cast<char>(ch);
    }
    for (int ch = '0'; ch <= '9'; ++ch) EXPECT_EQ(ink_rows(ch), cap_rows) << static_cast<char>(ch);
    for (char ch : std::string("acemnorsuvwxz")) EXPECT_EQ(ink_rows(ch), x_rows) << ch;
    for (char ch : std::string("bdfhklt")) EXPECT_EQ(ink_rows(ch) & ~cap_rows, 0) << ch;
    for (char ch : std::string("gjpqy")) {
        EXPECT_NE(ink_rows(ch) & below_baseline, 0) << ch << " needs a descender";
        const int above_x_height = ink_rows(ch) & 0x07;
        EXPECT_EQ(above_x_height, ch == 'j' ? 1 << 1 : 0) << ch << " reaches above the x-height";
    }
    for (char ch : std::string("abcdefhiklmnorstuvwxz")) EXPECT_EQ(ink_rows(ch) & below_baseline, 0) << ch;
}

TEST(glyph_grids, text_width_adds_advances) {
    EXPECT_EQ(text_width(""), 0);
    EXPECT_EQ(text_width("A"), glyph_advance('A'));
    EXPECT_EQ(text_width("Turn: 12"), glyph_advance('T') + glyph_advance('u') + glyph_advance('r') +
                                          glyph_advance('n') + glyph_advance(':') + glyph_advance(' ') +
                                          glyph_advance('1') + glyph_advance('2'));
}

uint32_t read_u32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
           static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

uint32_t checksum(const std::vector<uint8_t>& b, size_t at, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) word = word << 8 | (i + k < length ? b[at + i + k] : 0);
        sum += word;
    }
    return sum;
}

TEST(font_generator, tables_and_checksums_are_sound) {
    const std::vector<uint8_t> b = read_file(font_path);
    ASSERT_GE(b.size(), 12u);
    EXPECT_EQ(read_u32(b, 0), 0x00010000u);
    const size_t count = static_cast<size_t>(b[4] << 8 | b[5]);
    ASSERT_GE(b.size(), 12 + 16 * count);
    std::vector<std::string> tags;
    size_t head_at = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = 12 + 16 * i;
        const std::string tag(b.begin() + static_cast<long>(entry), b.begin() + static_cast<long>(entry) + 4);
        const size_t offset = read_u32(b, entry + 8), length = read_u32(b, entry + 12);
        ASSERT_LE(offset + length, b.size()) << tag;
        EXPECT_EQ(offset % 4, 0u) << tag;
        if (!tags.empty()) {
            EXPECT_LT(tags.back(), tag) << "table directory must be sorted";
        }
        tags.push_back(tag);
        if (tag == "head") {
            head_at = offset;
            continue;  // its sum leaves out the adjustment, checked below through the whole file
        }
        EXPECT_EQ(read_u32(b, entry + 4), checksum(b, offset, length)) << tag;
    }
    for (const char* needed : {"OS/2", "cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "post"}) {
        EXPECT_NE(std::find(tags.begin(), tags.end(), needed), tags.end()) << needed;
    }
    ASSERT_NE(head_at, 0u);
    EXPECT_EQ(checksum(b, 0, b.size()), 0xB1B0AFBAu);
}

TEST(font_generator, output_is_byte_identical_on_every_run) {
    const std::vector<uint8_t> built = read_file(font_path);
    ASSERT_FALSE(built.empty());
    std::vector<std::vector<uint8_t>> runs;
    for (int run = 0; run < 2; ++run) {
        char dir[] = "/tmp/umbra_font_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        const std::string command = std::string(UMBRA_EMULATOR) + "'" + UMBRA_GENERATOR + "' '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::string out = std::string(dir) + "/arcadepi.ttf";
        runs.push_back(read_file(out));
        std::remove(out.c_str());
        std::remove(dir);
    }
    EXPECT_FALSE(runs[0].empty());
    EXPECT_TRUE(runs[0] == runs[1]) << "two runs differ";
    EXPECT_TRUE(runs[0] == built) << "a fresh run differs from " << font_path;
}

}  // namespace
