// layer_probe.cpp -- runs the game's own text, picture, sound, display and event calls on fixed
// inputs and prints one line per case: what came back and a digest of every pixel or sample.
// Built twice, against Debian's SDL 1.2 (SDL_image 1.2, SDL_mixer 1.2, SDL_ttf 2.0) and against
// the sdl12on2 layer; the two outputs must be identical (compare_probe.sh).
// Usage: layer_probe [<Data directory> <source root>], by default $LAYER_PROBE_DATA and
// $LAYER_PROBE_SOURCES. The texts are every string literal of the game's sources, printf formats
// filled in, and every printable ASCII character.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

void line(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
}

Uint64 digest(const void* data, size_t n, Uint64 h = 1469598103934665603ull)
{
    const Uint8* p = static_cast<const Uint8*>(data);
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

// Rows only as wide as the picture: padding bytes at the end of a row are never part of it.
Uint64 pixel_digest(SDL_Surface* s)
{
    Uint64 h = 1469598103934665603ull;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        h = digest(static_cast<Uint8*>(s->pixels) + y * s->pitch, static_cast<size_t>(s->w) * s->format->BytesPerPixel, h);
    SDL_UnlockSurface(s);
    return h;
}

std::string describe(SDL_Surface* s)
{
    if (!s)
        return "null";
    const SDL_PixelFormat* f = s->format;
    char buf[320];
    std::snprintf(buf, sizeof buf, "%dx%d pitch=%d flags=%x bpp=%d masks=%x,%x,%x,%x key=%x alpha=%d pixels=%016llx",
                  s->w, s->h, s->pitch, s->flags, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask, f->colorkey,
                  f->alpha, static_cast<unsigned long long>(pixel_digest(s)));
    std::string out = buf;
    if (f->palette) {
        Uint64 h = 1469598103934665603ull;
        for (int i = 0; i < f->palette->ncolors; ++i)
            h = digest(&f->palette->colors[i], 3, h);
        std::snprintf(buf, sizeof buf, " palette=%d:%016llx first=%d,%d,%d/%d,%d,%d", f->palette->ncolors,
                      static_cast<unsigned long long>(h), f->palette->colors[0].r, f->palette->colors[0].g,
                      f->palette->colors[0].b, f->palette->colors[1].r, f->palette->colors[1].g, f->palette->colors[1].b);
        out += buf;
    }
    return out;
}

// ---- the texts ----

// printf formats as the game fills them: numbers, and words for strings.
std::string fill_format(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        size_t j = i + 1;
        while (j < s.size() && std::strchr("0123456789.-+ l", s[j]))
            ++j;
        if (j >= s.size())
            break;
        char c = s[j];
        out += c == '%' ? "%" : c == 's' ? "Soldier" : c == 'c' ? "x" : "12";
        i = j;
    }
    return out;
}

void literals_of(const std::string& path, std::set<std::string>& texts)
{
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    const std::string src = all.str();
    for (size_t i = 0; i < src.size(); ++i) {
        if (src[i] == '/' && i + 1 < src.size() && src[i + 1] == '/') {  // comments hold no texts
            while (i < src.size() && src[i] != '\n')
                ++i;
            continue;
        }
        if (src[i] == '\'') {  // a character literal, perhaps '"'
            i += (i + 1 < src.size() && src[i + 1] == '\\') ? 3 : 2;
            continue;
        }
        if (src[i] != '"')
            continue;
        std::string text;
        for (++i; i < src.size() && src[i] != '"'; ++i) {
            if (src[i] == '\\' && i + 1 < src.size()) {
                ++i;
                text += src[i] == 'n' ? '\n' : src[i];
            } else {
                text += src[i];
            }
        }
        if (!text.empty() && text.find('\n') == std::string::npos && text.find('.') != 0)
            texts.insert(fill_format(text));
    }
}

std::vector<std::string> game_texts(const std::string& root)
{
    std::set<std::string> texts;
    for (const char* dir : {"platform", "shell", "battle", "view"}) {
        std::string path = root + "/" + dir;
        DIR* d = opendir(path.c_str());
        if (!d)
            continue;
        std::vector<std::string> names;
        while (dirent* e = readdir(d))
            if (std::strstr(e->d_name, ".cpp"))
                names.push_back(path + "/" + e->d_name);
        closedir(d);
        for (const std::string& name : names)
            literals_of(name, texts);
    }
    std::string printable;
    for (int ch = 32; ch <= 126; ++ch) {
        printable += static_cast<char>(ch);
        texts.insert(std::string(1, static_cast<char>(ch)));
    }
    texts.insert(printable);
    texts.insert("  leading and trailing  ");
    return std::vector<std::string>(texts.begin(), texts.end());
}

// ---- cases ----

void fonts(const std::string& data, const std::vector<std::string>& texts)
{
    int ttf = TTF_Init();
    line("ttf init: %d was %d", ttf, TTF_WasInit());
    TTF_Font* missing = TTF_OpenFont((data + "/no-such-font.ttf").c_str(), 10);
    line("ttf missing: %s", missing ? "opened" : "null");
    TTF_Font* font = TTF_OpenFont((data + "/arcadepi.ttf").c_str(), 10);
    if (!font) {
        line("ttf open: null");
        return;
    }
    line("ttf metrics: height=%d ascent=%d descent=%d lineskip=%d faces=%ld fixed=%d family=%s style=%s/%d hinting=%d",
         TTF_FontHeight(font), TTF_FontAscent(font), TTF_FontDescent(font), TTF_FontLineSkip(font),
         TTF_FontFaces(font), TTF_FontFaceIsFixedWidth(font), TTF_FontFaceFamilyName(font),
         TTF_FontFaceStyleName(font), TTF_GetFontStyle(font), TTF_GetFontHinting(font));
    for (int ch = 0; ch < 256; ++ch) {
        int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
        int r = TTF_GlyphMetrics(font, static_cast<Uint16>(ch), &minx, &maxx, &miny, &maxy, &advance);
        line("glyph %d: %d %d %d %d %d %d", ch, r, minx, maxx, miny, maxy, advance);
    }
    const SDL_Color colours[] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {86, 87, 194, 0}};
    std::string printable;
    for (int ch = 32; ch <= 126; ++ch)
        printable += static_cast<char>(ch);
    for (const std::string& text : texts) {
        int w = -1, h = -1;
        int r = TTF_SizeText(font, text.c_str(), &w, &h);
        line("size \"%s\": %d %dx%d", text.c_str(), r, w, h);
        for (const SDL_Color& c : colours) {
            SDL_Surface* s = TTF_RenderText_Solid(font, text.c_str(), c);
            line("solid \"%s\" %d,%d,%d: %s", text.c_str(), c.r, c.g, c.b, describe(s).c_str());
            SDL_FreeSurface(s);
        }
    }
    SDL_Surface* none = TTF_RenderText_Solid(font, "", colours[0]);
    line("solid empty: %s", none ? "surface" : "null");
    for (int hinting : {TTF_HINTING_LIGHT, TTF_HINTING_MONO, TTF_HINTING_NONE, TTF_HINTING_NORMAL}) {
        TTF_SetFontHinting(font, hinting);
        for (const std::string& text : {printable, std::string("Light Soldier. Moves Left: 2  (B): Stats")}) {
            int w = -1, h = -1;
            TTF_SizeText(font, text.c_str(), &w, &h);
            SDL_Surface* s = TTF_RenderText_Solid(font, text.c_str(), colours[1]);
            line("hinting %d/%d \"%s\": %dx%d %s", hinting, TTF_GetFontHinting(font), text.c_str(), w, h,
                 describe(s).c_str());
            SDL_FreeSurface(s);
        }
    }
    TTF_CloseFont(font);
    TTF_Quit();
    line("ttf quit: was %d", TTF_WasInit());
}

void pictures(const std::string& data, SDL_Surface* screen)
{
    for (const char* name : {"tiles.bmp", "title.png", "title_text.png", "options.png", "balance.png",
                             "balancebg.png", "cursor.png", "cmove.png", "no-such-picture.png", "hit.wav"}) {
        SDL_Surface* loaded = IMG_Load((data + "/" + name).c_str());
        line("img %s: %s", name, describe(loaded).c_str());
        if (!loaded)
            continue;
        SDL_Surface* converted = SDL_ConvertSurface(loaded, screen->format, 0);
        line("img %s as screen: %s", name, describe(converted).c_str());
        SDL_Surface* display = SDL_DisplayFormat(loaded);
        line("img %s display format: %s", name, describe(display).c_str());
        SDL_FreeSurface(display);
        SDL_FreeSurface(converted);
        SDL_FreeSurface(loaded);
    }
    SDL_Surface* bmp = SDL_LoadBMP((data + "/tiles.bmp").c_str());
    line("loadbmp tiles.bmp: %s", describe(bmp).c_str());
    SDL_Surface* not_bmp = SDL_LoadBMP((data + "/title.png").c_str());
    line("loadbmp title.png: %s", describe(not_bmp).c_str());
    SDL_FreeSurface(bmp);
}

// Writes a surface as BMP into memory and reads it back.
void save_and_load(const char* name, SDL_Surface* s)
{
    static Uint8 buffer[1 << 20];
    std::memset(buffer, 0xA5, sizeof buffer);
    SDL_RWops* rw = SDL_RWFromMem(buffer, sizeof buffer);
    int r = SDL_SaveBMP_RW(s, rw, 1);
    Uint32 size = buffer[2] | (buffer[3] << 8) | (buffer[4] << 16) | (static_cast<Uint32>(buffer[5]) << 24);
    if (size > sizeof buffer)
        size = 0;
    line("savebmp %s: %d size=%u bytes=%016llx", name, r, size, static_cast<unsigned long long>(digest(buffer, size)));
    if (r != 0)
        return;
    SDL_Surface* back = SDL_LoadBMP_RW(SDL_RWFromMem(buffer, static_cast<int>(size)), 1);
    line("savebmp %s read back: %s", name, describe(back).c_str());
    SDL_FreeSurface(back);
}

void bmp_files(SDL_Surface* screen)
{
    SDL_Surface* s565 = SDL_CreateRGBSurface(SDL_SWSURFACE, 37, 11, 16, 0xF800, 0x07E0, 0x001F, 0);
    for (int y = 0; y < s565->h; ++y)
        for (int x = 0; x < s565->w; ++x)
            reinterpret_cast<Uint16*>(static_cast<Uint8*>(s565->pixels) + y * s565->pitch)[x] =
                static_cast<Uint16>(x * 1771 + y * 40503);
    save_and_load("565", s565);
    SDL_SetColorKey(s565, SDL_SRCCOLORKEY, reinterpret_cast<Uint16*>(s565->pixels)[3]);
    save_and_load("565 keyed", s565);
    SDL_Surface* s8 = SDL_CreateRGBSurface(SDL_SWSURFACE, 13, 5, 8, 0, 0, 0, 0);
    SDL_Color colours[3] = {{1, 2, 3, 0}, {200, 100, 50, 0}, {9, 8, 7, 0}};
    SDL_SetColors(s8, colours, 0, 3);
    for (int i = 0; i < s8->pitch * s8->h; ++i)
        static_cast<Uint8*>(s8->pixels)[i] = static_cast<Uint8>(i % 3);
    save_and_load("8-bit", s8);
    SDL_Surface* s24 = SDL_CreateRGBSurface(SDL_SWSURFACE, 6, 3, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int i = 0; i < s24->pitch * s24->h; ++i)
        static_cast<Uint8*>(s24->pixels)[i] = static_cast<Uint8>(i * 7);
    save_and_load("24-bit", s24);
    save_and_load("screen", screen);
    SDL_FreeSurface(s565);
    SDL_FreeSurface(s8);
    SDL_FreeSurface(s24);
}

void display()
{
    const SDL_VideoInfo* before = SDL_GetVideoInfo();
    line("video before: hw=%d wm=%d mem=%u bpp=%d size=%dx%d", before->hw_available, before->wm_available,
         before->video_mem, before->vfmt->BitsPerPixel, before->current_w, before->current_h);
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    line("caption before: %s %s", title ? title : "(null)", icon ? icon : "(null)");
    line("mode ok: %d %d", SDL_VideoModeOK(320, 240, 16, SDL_SWSURFACE), SDL_VideoModeOK(320, 240, 32, SDL_SWSURFACE));
}

SDL_Surface* set_mode()
{
    SDL_Surface* screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE | SDL_HWPALETTE | SDL_DOUBLEBUF);
    // SDL 1.2 draws a software mouse pointer into the screen under the dummy driver until it is
    // hidden (the layer never does): hide it first, as the game does.
    int first = SDL_ShowCursor(SDL_QUERY);
    int was = SDL_ShowCursor(SDL_DISABLE);
    line("screen: %s same=%d", describe(screen).c_str(), SDL_GetVideoSurface() == screen);
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    line("video: hw=%d wm=%d blit=%d%d%d%d%d%d fill=%d mem=%u vfmt=%d size=%dx%d", info->hw_available,
         info->wm_available, info->blit_hw, info->blit_hw_CC, info->blit_hw_A, info->blit_sw, info->blit_sw_CC,
         info->blit_sw_A, info->blit_fill, info->video_mem, info->vfmt == screen->format, info->current_w,
         info->current_h);
    char buf[64];
    line("driver: %s", SDL_VideoDriverName(buf, sizeof buf));
    line("cursor: %d %d %d", first, was, SDL_ShowCursor(SDL_QUERY));
    SDL_WM_SetCaption("Umbrafront", nullptr);
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    line("caption: %s %s", title ? title : "(null)", icon ? icon : "(null)");
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 86, 87, 194));
    line("flip: %d", SDL_Flip(screen));
    SDL_FreeSurface(screen);  // the display surface is not the game's to free
    line("after free: %dx%d", screen->w, screen->h);
    return screen;
}

std::string queue_types()
{
    SDL_Event events[200];
    int n = SDL_PeepEvents(events, 200, SDL_PEEKEVENT, SDL_ALLEVENTS);
    std::string out = std::to_string(n) + ":";
    for (int i = 0; i < n; ++i)
        out += " " + std::to_string(events[i].type) + "/" + std::to_string(events[i].key.keysym.sym);
    return out;
}

SDL_Event key_event(Uint8 type, SDLKey sym)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    return e;
}

void events()
{
    SDL_PumpEvents();
    line("events at start: %s", queue_types().c_str());
    SDL_Event drain;
    while (SDL_PollEvent(&drain)) {
    }
    int d = -1, i = -1;
    SDL_GetKeyRepeat(&d, &i);
    line("repeat: %d %d", d, i);
    int refused = SDL_EnableKeyRepeat(-1, 5);
    int taken = SDL_EnableKeyRepeat(200, 0);
    line("repeat set: %d %d", refused, taken);
    SDL_GetKeyRepeat(&d, &i);
    line("repeat now: %d %d", d, i);
    SDL_EnableKeyRepeat(0, 0);
    int unicode_at_start = SDL_EnableUNICODE(-1);
    int unicode_before_on = SDL_EnableUNICODE(1);
    int unicode_before_off = SDL_EnableUNICODE(0);
    line("unicode: %d %d %d", unicode_at_start, unicode_before_on, unicode_before_off);
    int numkeys = 0;
    Uint8* keys = SDL_GetKeyState(&numkeys);
    line("keystate: %d %d mod=%d", numkeys, keys[SDLK_z], SDL_GetModState());
    line("eventstate: %d %d %d", SDL_EventState(SDL_SYSWMEVENT, SDL_QUERY), SDL_EventState(SDL_KEYDOWN, SDL_QUERY),
         SDL_EventState(SDL_USEREVENT, SDL_QUERY));

    int pushed = 0;
    for (int n = 0; n < 130; ++n) {
        SDL_Event e = key_event(n % 2 ? SDL_KEYUP : SDL_KEYDOWN, static_cast<SDLKey>(SDLK_a + n % 26));
        if (SDL_PushEvent(&e) == 0)
            ++pushed;
    }
    line("pushed: %d of 130", pushed);
    SDL_Event got[4];
    int n = SDL_PeepEvents(got, 4, SDL_GETEVENT, SDL_EVENTMASK(SDL_KEYUP));
    line("get keyups: %d %d/%d %d/%d", n, got[0].type, got[0].key.keysym.sym, got[3].type, got[3].key.keysym.sym);
    n = SDL_PeepEvents(got, 2, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_KEYDOWN) | SDL_EVENTMASK(SDL_QUIT));
    line("peek keydowns: %d %d/%d %d/%d", n, got[0].type, got[0].key.keysym.sym, got[1].type, got[1].key.keysym.sym);
    int keyup_was = SDL_EventState(SDL_KEYUP, SDL_IGNORE);
    line("ignore keyup: %d", keyup_was);
    line("after ignore: %s", queue_types().c_str());
    SDL_EventState(SDL_KEYUP, SDL_ENABLE);
    SDL_Event added[3] = {key_event(SDL_KEYUP, SDLK_x), key_event(SDL_KEYDOWN, SDLK_z), key_event(SDL_KEYUP, SDLK_z)};
    line("add after get: %d", SDL_PeepEvents(added, 3, SDL_ADDEVENT, 0));
    line("poll null: %d", SDL_PollEvent(nullptr));
    int polled = 0;
    SDL_Event e;
    Uint8 last = 0;
    while (SDL_PollEvent(&e)) {
        ++polled;
        last = e.type;
    }
    line("polled: %d last=%d now: %s", polled, last, queue_types().c_str());
    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    line("wait: %d type=%d", SDL_WaitEvent(&e), e.type);
    SDL_Event user;
    std::memset(&user, 0, sizeof user);
    user.type = SDL_USEREVENT;
    user.user.code = 7;
    SDL_PushEvent(&user);
    SDL_PollEvent(&e);
    line("user: %d code=%d", e.type, e.user.code);
}

void pads()
{
    line("joysticks: %d", SDL_NumJoysticks());
    SDL_Joystick* j = SDL_JoystickOpen(0);
    line("open 0: %s opened=%d", j ? "joystick" : "null", SDL_JoystickOpened(0));
}

Uint8 tone[4000];
int post_mix_calls = 0;
void post_mix(void*, Uint8*, int)
{
    ++post_mix_calls;
}

void sound(const std::string& data)
{
    int r = Mix_OpenAudio(11025, AUDIO_S16LSB, 2, 128);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    int opened = Mix_QuerySpec(&frequency, &format, &channels);
    line("mixer: %d opened=%d %d %x %d channels=%d", r, opened, frequency, format, channels, Mix_AllocateChannels(-1));
    for (const char* name : {"hit.wav", "arrow.wav", "fireball.wav", "spawn.wav", "castle.wav", "step.wav", "chains.wav",
                             "gameover.wav", "no-such.wav", "title.png"}) {
        Mix_Chunk* c = Mix_LoadWAV_RW(SDL_RWFromFile((data + "/" + name).c_str(), "rb"), 1);
        if (!c) {
            line("wav %s: null", name);
            continue;
        }
        line("wav %s: allocated=%d alen=%u volume=%d samples=%016llx", name, c->allocated, c->alen, c->volume,
             static_cast<unsigned long long>(digest(c->abuf, c->alen)));
        int chunk_before = Mix_VolumeChunk(c, 40);
        line("wav %s volume: %d %d", name, chunk_before, Mix_VolumeChunk(c, -1));
        Mix_FreeChunk(c);
    }
    for (int n = 0; n < 4000; ++n)
        tone[n] = static_cast<Uint8>(n * 13);
    SDL_LockAudio();
    Mix_Chunk* raw = Mix_QuickLoad_RAW(tone, sizeof tone);
    line("raw: allocated=%d alen=%u volume=%d same=%d", raw->allocated, raw->alen, raw->volume, raw->abuf == tone);
    int channel = Mix_PlayChannel(-1, raw, 0);
    line("play raw: %d playing=%d all=%d", channel, Mix_Playing(channel), Mix_Playing(-1));
    int average = Mix_Volume(-1, -1);
    int before_loud = Mix_Volume(channel, 200);
    int loud = Mix_Volume(channel, -1);
    int before_all = Mix_Volume(-1, 64);
    line("volumes: %d %d %d %d", average, before_loud, loud, before_all);
    int halted = Mix_HaltChannel(-1);
    line("halt: %d playing=%d", halted, Mix_Playing(-1));
    int more = Mix_AllocateChannels(16);
    int asked = Mix_AllocateChannels(-1);
    line("channels: %d %d %d", more, asked, Mix_AllocateChannels(8));
    SDL_UnlockAudio();
    Mix_FreeChunk(raw);
    for (const char* name : {"creek.ogg", "pyramid.mod", "spacemaz.mod", "fastelmo.ogg", "no-such.ogg"}) {
        Mix_Music* m = Mix_LoadMUS((data + "/" + name).c_str());
        if (!m) {
            line("music %s: null", name);
            continue;
        }
        SDL_LockAudio();
        int played = Mix_PlayMusic(m, -1);
        line("music %s: type=%d play=%d playing=%d type now=%d", name, Mix_GetMusicType(m), played, Mix_PlayingMusic(),
             Mix_GetMusicType(nullptr));
        int music_volume = Mix_VolumeMusic(-1);
        int before_set = Mix_VolumeMusic(100);
        line("music volume: %d %d %d", music_volume, before_set, Mix_VolumeMusic(-1));
        Mix_PauseMusic();
        line("paused: %d", Mix_PausedMusic());
        Mix_ResumeMusic();
        SDL_UnlockAudio();
        int halted = Mix_HaltMusic();
        line("halt music: %d playing=%d", halted, Mix_PlayingMusic());
        Mix_FreeMusic(m);
    }
    Mix_SetPostMix(post_mix, nullptr);
    for (int n = 0; n < 500 && post_mix_calls == 0; ++n)
        SDL_Delay(10);
    Mix_SetPostMix(nullptr, nullptr);
    line("post mix called: %d", post_mix_calls > 0);
    Mix_CloseAudio();
    line("closed: %d", Mix_QuerySpec(&frequency, &format, &channels));
}

}  // namespace

int main(int argc, char** argv)
{
    const char* data_dir = argc == 3 ? argv[1] : std::getenv("LAYER_PROBE_DATA");
    const char* sources = argc == 3 ? argv[2] : std::getenv("LAYER_PROBE_SOURCES");
    if (!data_dir || !sources) {
        std::fprintf(stderr, "usage: %s <Data directory> <source root> (or LAYER_PROBE_DATA, LAYER_PROBE_SOURCES)\n",
                     argv[0]);
        return 2;
    }
    const std::string data = data_dir;
    const SDL_version* v = SDL_Linked_Version();
    const SDL_version* img = IMG_Linked_Version();
    const SDL_version* mix = Mix_Linked_Version();
    const SDL_version* ttf = TTF_Linked_Version();
    line("versions: %d.%d.%d %d.%d.%d %d.%d.%d %d.%d.%d", v->major, v->minor, v->patch, img->major, img->minor,
         img->patch, mix->major, mix->minor, mix->patch, ttf->major, ttf->minor, ttf->patch);
    SDL_SetError("probe %d %s", 12, "error");
    line("error: %s", SDL_GetError());
    SDL_ClearError();
    line("cleared: \"%s\"", SDL_GetError());
    int init = SDL_Init(SDL_INIT_EVERYTHING);
    line("init: %d", init);
    line("was init: %x %x", SDL_WasInit(SDL_INIT_EVERYTHING), SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_TIMER));
    display();
    SDL_Surface* screen = set_mode();
    events();
    pads();
    pictures(data, screen);
    bmp_files(screen);
    const std::vector<std::string> texts = game_texts(sources);
    if (texts.size() < 150) {  // 96 of them are the printable characters and their line
        std::fprintf(stderr, "too few game texts under %s: is it the source root?\n", sources);
        return 1;
    }
    line("texts: %zu", texts.size());
    fonts(data, texts);
    sound(data);
    SDL_Quit();
    line("quit: %x", SDL_WasInit(SDL_INIT_EVERYTHING));
    line("done");
    return 0;
}
