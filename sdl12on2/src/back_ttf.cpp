// back_ttf.cpp -- fonts through SDL2_ttf, handed to the front one glyph at a time: its SDL_ttf 2.0
// box and its monochrome bitmap. The front lays the glyphs out as SDL_ttf 2.0 did (SDL2_ttf places
// and sizes lines differently). Glyph bitmaps are read off SDL2_ttf's own one-glyph render and kept.
#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <map>
#include <vector>

#include "back.h"
#include "bridge.h"

struct CachedGlyph {
    sdl12_glyph glyph;
    std::vector<Uint8> bitmap;
};

struct BackFont {
    TTF_Font* font;
    std::map<unsigned, CachedGlyph> glyphs;  // emptied when the hinting or style changes
};

int sdl12b_ttf_init(void)
{
    return TTF_Init();
}

void sdl12b_ttf_quit(void)
{
    if (TTF_WasInit())
        TTF_Quit();
}

int sdl12b_ttf_was_init(void)
{
    return TTF_WasInit();
}

void* sdl12b_ttf_open(const char* file, int ptsize)
{
    TTF_Font* font = TTF_OpenFont(file, ptsize);
    if (!font)
        return nullptr;
    BackFont* back = new BackFont;
    back->font = font;
    return back;
}

void sdl12b_ttf_close(void* font)
{
    BackFont* back = static_cast<BackFont*>(font);
    if (!back)
        return;
    TTF_CloseFont(back->font);
    delete back;
}

void sdl12b_ttf_metrics(void* font, sdl12_font_metrics* out)
{
    TTF_Font* f = static_cast<BackFont*>(font)->font;
    // SDL2_ttf rounds the ascent, descent and line skip exactly as SDL_ttf 2.0 did.
    out->ascent = TTF_FontAscent(f);
    out->descent = TTF_FontDescent(f);
    out->lineskip = TTF_FontLineSkip(f);
}

// Copies the glyph's bitmap out of SDL2_ttf's render of the glyph alone. SDL2_ttf 2.20 renders a
// line as high as the font, with the bitmap's left edge at its left bearing (or 0 when that is
// negative) and its top at the ascent less its top bearing (or 0 when the glyph rises above the
// ascent); older SDL2_ttf (2.0.15) returns just the bitmap. Where the two could be told apart by
// size alone, both put the bitmap at the top-left corner.
static void read_bitmap(TTF_Font* f, unsigned ch, CachedGlyph& cached)
{
    sdl12_glyph& g = cached.glyph;
    cached.bitmap.assign(static_cast<size_t>(g.width) * g.rows, 0);
    if (g.width <= 0 || g.rows <= 0)
        return;
    SDL_Color white = {255, 255, 255, 255};
    SDL_Surface* s = TTF_RenderGlyph_Solid(f, static_cast<Uint16>(ch), white);
    if (!s)
        return;
    int x0 = 0, y0 = 0;
    if (s->w != g.width || s->h != g.rows) {
        x0 = g.minx < 0 ? 0 : g.minx;
        int top = TTF_FontAscent(f) - g.maxy;
        y0 = top < 0 ? 0 : top;
    }
    if (SDL_MUSTLOCK(s))
        SDL_LockSurface(s);
    for (int row = 0; row < g.rows; row++) {
        int y = y0 + row;
        if (y < 0 || y >= s->h)
            continue;
        const Uint8* in = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
        for (int col = 0; col < g.width; col++) {
            int x = x0 + col;
            if (x >= 0 && x < s->w && in[x])
                cached.bitmap[static_cast<size_t>(row) * g.width + col] = 1;
        }
    }
    if (SDL_MUSTLOCK(s))
        SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
}

int sdl12b_ttf_glyph(void* font, unsigned ch, sdl12_glyph* out)
{
    BackFont* back = static_cast<BackFont*>(font);
    auto found = back->glyphs.find(ch);
    if (found == back->glyphs.end()) {
        CachedGlyph cached;
        sdl12_glyph& g = cached.glyph;
        if (ch > 0xFFFF || TTF_GlyphMetrics(back->font, static_cast<Uint16>(ch), &g.minx, &g.maxx, &g.miny,
                                            &g.maxy, &g.advance) < 0)
            return -1;
        g.width = g.maxx - g.minx;
        g.rows = g.maxy - g.miny;
        g.index = static_cast<unsigned>(TTF_GlyphIsProvided(back->font, static_cast<Uint16>(ch)));
        read_bitmap(back->font, ch, cached);
        found = back->glyphs.emplace(ch, std::move(cached)).first;
    }
    *out = found->second.glyph;
    out->bitmap = found->second.bitmap.data();
    return 0;
}

int sdl12b_ttf_kerning(void* font, unsigned previous_ch, unsigned ch)
{
    TTF_Font* f = static_cast<BackFont*>(font)->font;
    if (!TTF_GetFontKerning(f) || previous_ch > 0xFFFF || ch > 0xFFFF)
        return 0;
    return TTF_GetFontKerningSizeGlyphs(f, static_cast<Uint16>(previous_ch), static_cast<Uint16>(ch));
}

int sdl12b_ttf_style(void* font)
{
    return TTF_GetFontStyle(static_cast<BackFont*>(font)->font);
}

void sdl12b_ttf_set_style(void* font, int style)
{
    BackFont* back = static_cast<BackFont*>(font);
    TTF_SetFontStyle(back->font, style);
    back->glyphs.clear();
}

int sdl12b_ttf_hinting(void* font)
{
    return TTF_GetFontHinting(static_cast<BackFont*>(font)->font);
}

void sdl12b_ttf_set_hinting(void* font, int hinting)
{
    BackFont* back = static_cast<BackFont*>(font);
    TTF_SetFontHinting(back->font, hinting);
    back->glyphs.clear();
}

long sdl12b_ttf_faces(void* font)
{
    return TTF_FontFaces(static_cast<BackFont*>(font)->font);
}

int sdl12b_ttf_fixed_width(void* font)
{
    return TTF_FontFaceIsFixedWidth(static_cast<BackFont*>(font)->font);
}

const char* sdl12b_ttf_family(void* font)
{
    return TTF_FontFaceFamilyName(static_cast<BackFont*>(font)->font);
}

const char* sdl12b_ttf_style_name(void* font)
{
    return TTF_FontFaceStyleName(static_cast<BackFont*>(font)->font);
}
