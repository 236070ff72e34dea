/* Uses each library of the browser build on the game's own Data files and prints one
   "smoke: WHAT RESULT" line per check. libs_smoke.sh runs it in the browser and natively against
   Debian's SDL2 libraries of the same versions: pictures and text must come out the same. */
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <stdint.h>
#include <stdio.h>

static SDL_Surface *screen;

/* FNV-1a over a surface's pixels as RGBA bytes, whatever its own format. */
static uint32_t pixel_hash(SDL_Surface *surface)
{
    SDL_Surface *rgba = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGBA32, 0);
    uint32_t hash = 2166136261u;
    int x, y;
    if (!rgba) {
        return 0;
    }
    for (y = 0; y < rgba->h; ++y) {
        const uint8_t *row = (const uint8_t *)rgba->pixels + y * rgba->pitch;
        for (x = 0; x < rgba->w * 4; ++x) {
            hash = (hash ^ row[x]) * 16777619u;
        }
    }
    SDL_FreeSurface(rgba);
    return hash;
}

/* Prints a picture's size and pixels and draws it on the window, or the error. */
static void report_surface(const char *what, SDL_Surface *surface)
{
    if (!surface) {
        printf("smoke: %s failed: %s\n", what, SDL_GetError());
        return;
    }
    printf("smoke: %s %dx%d %08x\n", what, surface->w, surface->h, pixel_hash(surface));
    if (screen && SDL_BlitSurface(surface, NULL, screen, NULL) != 0) {
        printf("smoke: blit of %s failed: %s\n", what, SDL_GetError());
    }
    SDL_FreeSurface(surface);
}

static const char *music_type_name(Mix_Music *music)
{
    switch (Mix_GetMusicType(music)) {
    case MUS_MOD:
        return "mod";
    case MUS_OGG:
        return "ogg";
    case MUS_WAV:
        return "wav";
    default:
        return "other";
    }
}

static void report_music(const char *file)
{
    Mix_Music *music = Mix_LoadMUS(file);
    if (!music) {
        printf("smoke: music %s failed: %s\n", file, Mix_GetError());
        return;
    }
    printf("smoke: music %s %s\n", file, music_type_name(music));
    if (Mix_PlayMusic(music, 0) != 0) {
        printf("smoke: playing %s failed: %s\n", file, Mix_GetError());
    }
    Mix_HaltMusic();
    Mix_FreeMusic(music);
}

int main(int argc, char **argv)
{
    SDL_Window *window;
    TTF_Font *font;
    Mix_Chunk *chunk;
    Uint32 before;
    SDL_Color white = {255, 255, 255, 255};
    (void)argc;
    (void)argv;

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER |
                 SDL_INIT_TIMER) != 0) {
        printf("smoke: init failed: %s\n", SDL_GetError());
        return 1;
    }
    printf("smoke: init ok\n");
    printf("smoke: joysticks %d\n", SDL_NumJoysticks());

    window = SDL_CreateWindow("libs smoke", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 320,
                              200, 0);
    screen = window ? SDL_GetWindowSurface(window) : NULL;
    if (screen) {
        printf("smoke: window %dx%d\n", screen->w, screen->h);
    } else {
        printf("smoke: window failed: %s\n", SDL_GetError());
    }

    report_surface("png", IMG_Load("Data/title.png"));
    report_surface("bmp", IMG_Load("Data/tiles.bmp"));

    if (TTF_Init() != 0) {
        printf("smoke: ttf init failed: %s\n", TTF_GetError());
    } else if (!(font = TTF_OpenFont("Data/arcadepi.ttf", 16))) {
        printf("smoke: font failed: %s\n", TTF_GetError());
    } else {
        report_surface("text", TTF_RenderUTF8_Solid(font, "Umbrafront 0123", white));
        TTF_CloseFont(font);
    }

    if (screen) {
        printf("smoke: update %s\n", SDL_UpdateWindowSurface(window) == 0 ? "ok" : SDL_GetError());
    }

    before = SDL_GetTicks();
    SDL_Delay(20);
    printf("smoke: delay %s\n", SDL_GetTicks() - before >= 20 ? "ok" : "too short");

    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
        printf("smoke: audio failed: %s\n", Mix_GetError());
    } else {
        printf("smoke: audio ok\n");
        report_music("Data/pyramid.mod");
        report_music("Data/creek.ogg");
        chunk = Mix_LoadWAV("Data/arrow.wav");
        if (!chunk) {
            printf("smoke: wav failed: %s\n", Mix_GetError());
        } else {
            printf("smoke: wav %s\n", chunk->alen > 0 ? "ok" : "empty");
            Mix_FreeChunk(chunk);
        }
        Mix_CloseAudio();
    }
    printf("smoke: done\n");
    return 0;
}
