// ttf.cpp -- SDL_ttf 2.0's text calls with its results: a line is as high as the font (ascent less
// descent plus the baseline row), glyphs sit at their bearings from pen positions that advance by
// whole pixels, and solid text is an 8-bit surface whose index 0 is the keyed background and index
// 1 the text colour. The glyphs themselves come from SDL2_ttf (back_ttf.cpp).
#include <cstring>
#include <vector>

#include "SDL_ttf.h"
#include "bridge.h"

struct _TTF_Font {
    void* back;
    int ascent, descent, height, lineskip;
};

const SDL_version* TTF_Linked_Version(void)
{
    static SDL_version linked = {TTF_MAJOR_VERSION, TTF_MINOR_VERSION, TTF_PATCHLEVEL};
    return &linked;
}

int TTF_Init(void)
{
    return sdl12b_ttf_init();
}

int TTF_WasInit(void)
{
    return sdl12b_ttf_was_init();
}

void TTF_Quit(void)
{
    sdl12b_ttf_quit();
}

TTF_Font* TTF_OpenFont(const char* file, int ptsize)
{
    if (!sdl12b_ttf_was_init()) {
        SDL_SetError("Library not initialized");
        return nullptr;
    }
    void* back = sdl12b_ttf_open(file, ptsize);
    if (!back)
        return nullptr;
    TTF_Font* font = new TTF_Font;
    font->back = back;
    sdl12_font_metrics m;
    sdl12b_ttf_metrics(back, &m);
    font->ascent = m.ascent;
    font->descent = m.descent;
    font->height = m.ascent - m.descent + 1;  // SDL_ttf 2.0 counts the baseline row as well
    font->lineskip = m.lineskip;
    return font;
}

void TTF_CloseFont(TTF_Font* font)
{
    if (!font)
        return;
    sdl12b_ttf_close(font->back);
    delete font;
}

int TTF_GetFontStyle(const TTF_Font* font)
{
    return sdl12b_ttf_style(font->back);
}

void TTF_SetFontStyle(TTF_Font* font, int style)
{
    sdl12b_ttf_set_style(font->back, style);
}

int TTF_GetFontHinting(const TTF_Font* font)
{
    return sdl12b_ttf_hinting(font->back);
}

void TTF_SetFontHinting(TTF_Font* font, int hinting)
{
    sdl12b_ttf_set_hinting(font->back, hinting);
}

int TTF_FontHeight(const TTF_Font* font)
{
    return font->height;
}

int TTF_FontAscent(const TTF_Font* font)
{
    return font->ascent;
}

int TTF_FontDescent(const TTF_Font* font)
{
    return font->descent;
}

int TTF_FontLineSkip(const TTF_Font* font)
{
    return font->lineskip;
}

long TTF_FontFaces(const TTF_Font* font)
{
    return sdl12b_ttf_faces(font->back);
}

int TTF_FontFaceIsFixedWidth(const TTF_Font* font)
{
    return sdl12b_ttf_fixed_width(font->back);
}

char* TTF_FontFaceFamilyName(const TTF_Font* font)
{
    return const_cast<char*>(sdl12b_ttf_family(font->back));
}

char* TTF_FontFaceStyleName(const TTF_Font* font)
{
    return const_cast<char*>(sdl12b_ttf_style_name(font->back));
}

int TTF_GlyphMetrics(TTF_Font* font, Uint16 ch, int* minx, int* maxx, int* miny, int* maxy, int* advance)
{
    sdl12_glyph g;
    if (sdl12b_ttf_glyph(font->back, ch, &g) < 0) {
        SDL_SetError("Couldn't find glyph");
        return -1;
    }
    if (minx)
        *minx = g.minx;
    if (maxx)
        *maxx = g.maxx;
    if (miny)
        *miny = g.miny;
    if (maxy)
        *maxy = g.maxy;
    if (advance)
        *advance = g.advance;
    return 0;
}

// One glyph of a line and where SDL_ttf 2.0 puts it.
struct Placed {
    sdl12_glyph glyph;
    int x;  // the pen position, in pixels from the line's left edge (before the first glyph's shift)
};

// TTF_RenderText and TTF_SizeText take Latin-1: every byte is one character.
static bool lay_out(TTF_Font* font, const char* text, std::vector<Placed>& line, int* w, int* h)
{
    line.clear();
    int x = 0, minx = 0, maxx = 0, miny = 0;
    unsigned previous_ch = 0, previous_index = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
        Placed placed;
        if (sdl12b_ttf_glyph(font->back, *p, &placed.glyph) < 0)
            return false;
        const sdl12_glyph& g = placed.glyph;
        if (previous_index && g.index)
            x += sdl12b_ttf_kerning(font->back, previous_ch, *p);
        placed.x = x;
        if (x + g.minx < minx)
            minx = x + g.minx;
        int right = x + (g.advance > g.maxx ? g.advance : g.maxx);
        if (right > maxx)
            maxx = right;
        x += g.advance;
        if (g.miny < miny)
            miny = g.miny;
        previous_ch = *p;
        previous_index = g.index;
        line.push_back(placed);
    }
    if (w)
        *w = maxx - minx;
    if (h) {
        *h = font->ascent - miny;  // a glyph reaching below the descent makes the line higher
        if (*h < font->height)
            *h = font->height;
    }
    return true;
}

int TTF_SizeText(TTF_Font* font, const char* text, int* w, int* h)
{
    std::vector<Placed> line;
    if (!lay_out(font, text, line, w, h))
        return -1;
    return 0;
}

SDL_Surface* TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color fg)
{
    std::vector<Placed> line;
    int width = 0, height = 0;
    if (!lay_out(font, text, line, &width, &height) || width == 0) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }
    SDL_Surface* textbuf = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
    if (!textbuf)
        return nullptr;
    SDL_Palette* palette = textbuf->format->palette;
    palette->colors[0].r = static_cast<Uint8>(255 - fg.r);
    palette->colors[0].g = static_cast<Uint8>(255 - fg.g);
    palette->colors[0].b = static_cast<Uint8>(255 - fg.b);
    palette->colors[1].r = fg.r;
    palette->colors[1].g = fg.g;
    palette->colors[1].b = fg.b;
    SDL_SetColorKey(textbuf, SDL_SRCCOLORKEY, 0);

    Uint8* pixels = static_cast<Uint8*>(textbuf->pixels);
    const Uint8* end = pixels + textbuf->pitch * textbuf->h;
    // A first glyph reaching left of its pen moves the whole line right by that much.
    int shift = (!line.empty() && line[0].glyph.minx < 0) ? -line[0].glyph.minx : 0;
    for (const Placed& placed : line) {
        const sdl12_glyph& g = placed.glyph;
        int columns = g.width;
        if (columns > g.maxx - g.minx)
            columns = g.maxx - g.minx;
        int top = font->ascent - g.maxy;
        for (int row = 0; row < g.rows; row++) {
            int y = row + top;
            if (y < 0 || y >= textbuf->h)
                continue;
            Uint8* out = pixels + y * textbuf->pitch + shift + placed.x + g.minx;
            const Uint8* in = g.bitmap + row * g.width;
            for (int col = 0; col < columns && out < end; col++, out++)
                if (out >= pixels)
                    *out |= in[col];
        }
    }
    return textbuf;
}
