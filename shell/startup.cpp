// startup.cpp -- brings every resource up in one fixed order and releases it again.
// Shut-down must work from any point of a half-finished start, so every release checks its handle.
#include "shell/startup.h"

#include <cstdlib>
#include <ctime>

#include <SDL_image.h>

#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/log.h"
#include "platform/resources.h"

static SDL_Surface* load_image(const char* path, bool keyed, const char* failure)
{
    SDL_Surface* loaded = IMG_Load(path);
    if (!loaded)
        fatal_error("%s", failure);
    SDL_Surface* converted = SDL_ConvertSurface(loaded, screen->format, 0);
    SDL_FreeSurface(loaded);
    if (!converted)
        fatal_error("%s", failure);  // a picture we cannot show is as bad as a missing one
    if (keyed)
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY, colour_key);
    return converted;
}

static Mix_Chunk* load_sound(const char* path, const char* failure)
{
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path, "rb"), 1);
    if (!chunk)
        fatal_error("%s", failure);
    return chunk;
}

static Mix_Music* load_music(const char* path, const char* failure)
{
    Mix_Music* music = Mix_LoadMUS(path);
    if (!music)
        fatal_error("%s", failure);
    return music;
}

void startup_game()
{
    open_log("logfile.txt");
    log_banner();

    log_line("Randomize");
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    log_line("Initiating SDL");
    if (SDL_Init(SDL_INIT_EVERYTHING) == -1)
        fatal_error("Unable to init SDL.");

    SDL_version compiled;
    SDL_VERSION(&compiled);
    log_line("SDL compile-time version: %u.%u.%u", compiled.major, compiled.minor, compiled.patch);
    const SDL_version* linked = SDL_Linked_Version();
    log_line("SDL runtime version: %u.%u.%u", linked->major, linked->minor, linked->patch);

    screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE | SDL_HWPALETTE | SDL_DOUBLEBUF);
    SDL_ShowCursor(SDL_DISABLE);
    log_line("Videomode set");
    log_line("Video info:");
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    log_line(" - Video memory: %d", info ? static_cast<int>(info->video_mem) : 0);

    SDL_WM_SetCaption("Umbrafront", nullptr);
    // Without a display surface the flip cannot succeed; this is where a failed mode is caught.
    if (!screen || SDL_Flip(screen) == -1)
        fatal_error("Unable to flip the screen.");
    colour_key = SDL_MapRGB(screen->format, 174, 105, 174);

    log_line("Loading font");
    TTF_Init();
    font = TTF_OpenFont("Data/arcadepi.ttf", 10);
    if (!font)
        fatal_error("Unable to load font!");

    draw_text_centred(screen, "Loading", 160, 110, map_colour(3), -1);
    draw_text_centred(screen, "This might take a while...", 160, 140, map_colour(3), -1);
    SDL_Flip(screen);

    log_line("Starting up mixer");
    if (Mix_OpenAudio(11025, AUDIO_S16LSB, 2, 128) != 0)
        fatal_error("Unable to initialize audio: %s\n", SDL_GetError());

    log_line("Creating buffers");
    terrain_map = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 12, 16, 0, 0, 0, 0);
    if (!terrain_map)
        fatal_error("Unable to create the terrain map.");  // every rule reads it; nothing works without

    tiles_image = load_image("Data/tiles.bmp", true, "Unable to load tiles!");
    title_image = load_image("Data/title.png", false, "Unable to load title!");
    title_text_image = load_image("Data/title_text.png", true, "Unable to load title text!");
    options_image = load_image("Data/options.png", true, "Unable to load title options!");
    balance_image = load_image("Data/balance.png", false, "Unable to balance image!");
    balance_bg_image = load_image("Data/balancebg.png", false, "Unable to balance background!");
    cursor_image = load_image("Data/cursor.png", true, "Unable to load cursor!");
    move_cursor_image = load_image("Data/cmove.png", true, "Unable to load move cursor!");

    log_line("Loading sound effects and music");
    sound_hit = load_sound("Data/hit.wav", "Unable to load hit.wav");
    sound_arrow = load_sound("Data/arrow.wav", "Unable to load arrow.wav");
    sound_fireball = load_sound("Data/fireball.wav", "Unable to load fireball.wav");
    sound_spawn = load_sound("Data/spawn.wav", "Unable to load spawn.wav");
    sound_castle = load_sound("Data/castle.wav", "Unable to load castle.wav");
    sound_step = load_sound("Data/step.wav", "Unable to load step.wav");
    sound_chains = load_sound("Data/chains.wav", "Unable to load chains.wav");
    sound_gameover = load_sound("Data/gameover.wav", "Unable to load gameover.wav");
    music_title = load_music("Data/creek.ogg", "Unable to open the title music!");
    music_balanced = load_music("Data/pyramid.mod", "Unable to open the balanced music!");
    music_light = load_music("Data/spacemaz.mod", "Unable to open the light music!");
    music_dark = load_music("Data/fastelmo.ogg", "Unable to open the dark music!");

    init_vidkit();

    log_line("Setting up units...");
    setup_unit_types();
    log_line("startup_game done");
}

template <typename T>
static void release(T*& handle, void (*free_it)(T*))
{
    if (handle)
        free_it(handle);
    handle = nullptr;
}

void shutdown_game()
{
    log_line("shutdown_game called");

    log_line("Shutting down SDL_Ttf");
    release(font, TTF_CloseFont);
    TTF_Quit();

    log_line("Releasing surfaces");
    release(tiles_image, SDL_FreeSurface);
    release(title_image, SDL_FreeSurface);
    release(options_image, SDL_FreeSurface);
    release(terrain_map, SDL_FreeSurface);
    release(cursor_image, SDL_FreeSurface);
    release(move_cursor_image, SDL_FreeSurface);
    release(balance_image, SDL_FreeSurface);
    release(balance_bg_image, SDL_FreeSurface);
    release(title_text_image, SDL_FreeSurface);

    log_line("Releasing sound effects and music");
    Mix_HaltMusic();
    release(sound_hit, Mix_FreeChunk);
    release(sound_arrow, Mix_FreeChunk);
    release(sound_fireball, Mix_FreeChunk);
    release(sound_spawn, Mix_FreeChunk);
    release(sound_castle, Mix_FreeChunk);
    release(sound_step, Mix_FreeChunk);
    release(sound_chains, Mix_FreeChunk);
    release(sound_gameover, Mix_FreeChunk);
    release(music_title, Mix_FreeMusic);
    release(music_balanced, Mix_FreeMusic);
    release(music_light, Mix_FreeMusic);
    release(music_dark, Mix_FreeMusic);
    Mix_CloseAudio();

    log_line("Shutting down SDL");
    joystick = nullptr;  // SDL_Quit closes it
    SDL_Quit();
    screen = nullptr;

    log_line("Shutting down logfile and exiting game.");
    close_log();
}
