/* SDL_ttf.h -- the SDL_ttf 2.0 interface Umbrafront uses, provided by the sdl12on2 layer over
 * SDL2_ttf, with SDL_ttf 2.0's text metrics (a rendered line is as high as the font). */
#ifndef SDL12ON2_SDL_TTF_H
#define SDL12ON2_SDL_TTF_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TTF_MAJOR_VERSION 2
#define TTF_MINOR_VERSION 0
#define TTF_PATCHLEVEL 11

#define TTF_STYLE_NORMAL 0x00
#define TTF_STYLE_BOLD 0x01
#define TTF_STYLE_ITALIC 0x02
#define TTF_STYLE_UNDERLINE 0x04
#define TTF_STYLE_STRIKETHROUGH 0x08

#define TTF_HINTING_NORMAL 0
#define TTF_HINTING_LIGHT 1
#define TTF_HINTING_MONO 2
#define TTF_HINTING_NONE 3

typedef struct _TTF_Font TTF_Font;

const SDL_version* TTF_Linked_Version(void) SDL12_LINK(TTF_Linked_Version);
int TTF_Init(void) SDL12_LINK(TTF_Init);
int TTF_WasInit(void) SDL12_LINK(TTF_WasInit);
void TTF_Quit(void) SDL12_LINK(TTF_Quit);
TTF_Font* TTF_OpenFont(const char* file, int ptsize) SDL12_LINK(TTF_OpenFont);
void TTF_CloseFont(TTF_Font* font) SDL12_LINK(TTF_CloseFont);

int TTF_GetFontStyle(const TTF_Font* font) SDL12_LINK(TTF_GetFontStyle);
void TTF_SetFontStyle(TTF_Font* font, int style) SDL12_LINK(TTF_SetFontStyle);
int TTF_GetFontHinting(const TTF_Font* font) SDL12_LINK(TTF_GetFontHinting);
void TTF_SetFontHinting(TTF_Font* font, int hinting) SDL12_LINK(TTF_SetFontHinting);
int TTF_FontHeight(const TTF_Font* font) SDL12_LINK(TTF_FontHeight);
int TTF_FontAscent(const TTF_Font* font) SDL12_LINK(TTF_FontAscent);
int TTF_FontDescent(const TTF_Font* font) SDL12_LINK(TTF_FontDescent);
int TTF_FontLineSkip(const TTF_Font* font) SDL12_LINK(TTF_FontLineSkip);
long TTF_FontFaces(const TTF_Font* font) SDL12_LINK(TTF_FontFaces);
int TTF_FontFaceIsFixedWidth(const TTF_Font* font) SDL12_LINK(TTF_FontFaceIsFixedWidth);
char* TTF_FontFaceFamilyName(const TTF_Font* font) SDL12_LINK(TTF_FontFaceFamilyName);
char* TTF_FontFaceStyleName(const TTF_Font* font) SDL12_LINK(TTF_FontFaceStyleName);
int TTF_GlyphMetrics(TTF_Font* font, Uint16 ch, int* minx, int* maxx, int* miny, int* maxy,
                     int* advance) SDL12_LINK(TTF_GlyphMetrics);
int TTF_SizeText(TTF_Font* font, const char* text, int* w, int* h) SDL12_LINK(TTF_SizeText);
SDL_Surface* TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color fg) SDL12_LINK(TTF_RenderText_Solid);

#define TTF_SetError SDL_SetError
#define TTF_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
