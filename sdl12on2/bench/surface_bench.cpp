// surface_bench.cpp -- the layer's surface costs that matter to the board: a repaint's worth of
// keyed 16 x 16 tiles (plain and faded) onto the 5-6-5 screen, and one full-screen fill. Built
// natively and for the browser, so the two can be compared.
#include <SDL.h>
#include <benchmark/benchmark.h>

namespace {

const int tiles_per_repaint = 256;

// A 256 x 256 sheet of 16 x 16 tiles in the screen's format, a quarter of each tile the key.
SDL_Surface* make_sheet(Uint32 key)
{
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 256, 16, 0xF800, 0x07E0, 0x001F, 0);
    Uint32 seed = 1;
    for (int y = 0; y < 256; ++y) {
        Uint16* row = reinterpret_cast<Uint16*>(static_cast<Uint8*>(sheet->pixels) + y * sheet->pitch);
        for (int x = 0; x < 256; ++x) {
            seed = seed * 1103515245u + 12345u;
            row[x] = ((x + y) & 3) == 0 ? static_cast<Uint16>(key) : static_cast<Uint16>(seed >> 16);
        }
    }
    SDL_SetColorKey(sheet, SDL_SRCCOLORKEY, key);
    return sheet;
}

SDL_Surface* make_screen()
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xF800, 0x07E0, 0x001F, 0);
}

void repaint(benchmark::State& state, Uint8 alpha)
{
    SDL_Surface* screen = make_screen();
    SDL_Surface* sheet = make_sheet(SDL_MapRGB(screen->format, 174, 105, 174));
    SDL_SetAlpha(sheet, SDL_SRCALPHA, alpha);
    for (auto _ : state) {
        for (int i = 0; i < tiles_per_repaint; ++i) {
            SDL_Rect from = {static_cast<Sint16>((i % 16) * 16), static_cast<Sint16>((i / 16) * 16), 16, 16};
            SDL_Rect to = {static_cast<Sint16>((i % 20) * 16), static_cast<Sint16>((i / 20) * 16), 0, 0};
            SDL_BlitSurface(sheet, &from, screen, &to);
        }
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * tiles_per_repaint);
    SDL_FreeSurface(sheet);
    SDL_FreeSurface(screen);
}

void keyed_tiles(benchmark::State& state)
{
    repaint(state, SDL_ALPHA_OPAQUE);
}
BENCHMARK(keyed_tiles);

void faded_keyed_tiles(benchmark::State& state)
{
    repaint(state, 96);
}
BENCHMARK(faded_keyed_tiles);

void screen_fill(benchmark::State& state)
{
    SDL_Surface* screen = make_screen();
    Uint32 colour = SDL_MapRGB(screen->format, 86, 87, 194);
    for (auto _ : state) {
        SDL_FillRect(screen, nullptr, colour);
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * screen->pitch * screen->h);
    SDL_FreeSurface(screen);
}
BENCHMARK(screen_fill);

}  // namespace
