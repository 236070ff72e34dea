// harness.cpp -- virtual clock, scripted rand, scripted input, reference screens, sound record,
// and the once-per-program start-up of the real game in a private directory.
#include "harness.h"
#include "input_events.h"
#include "link_names.h"
#include "scratch_directory.h"

#include <png.h>
#include <SDL_image.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>

#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "shell/startup.h"
#include "view/board.h"

UMBRA_WRAP_SDL(Uint32, SDL_GetTicks, ());
UMBRA_WRAP_SDL(int, SDL_PollEvent, (SDL_Event * event));
UMBRA_WRAP_SDL(int, Mix_PlayChannelTimed, (int channel, Mix_Chunk* chunk, int loops, int ticks));
UMBRA_WRAP_SDL(int, SDL_Flip, (SDL_Surface * surface));
extern "C" int __real_rand();

namespace {

Uint32 clock_now = 0;
Uint32 clock_step = 1;
Uint32 clock_base = 0;
Uint32 clock_limit = 0;  // 0: no limit

struct ScheduledEvent {
    Uint32 at;
    SDL_Event event;
};
std::deque<ScheduledEvent> schedule;

std::deque<int> rand_script;
int rand_count = 0;

std::vector<Mix_Chunk*> sounds;

int flips = 0;
bool capturing = false;
std::vector<SDL_Surface*> captured;

void advance(Uint32 ms)
{
    clock_now += ms;
    if (clock_limit && clock_now - clock_base > clock_limit) {
        std::fprintf(stderr, "virtual clock ran %u ms past its start: a loop that never ends?\n",
                     clock_now - clock_base);
        std::abort();
    }
}

void deliver_due_events()
{
    // Compare elapsed times, not raw values, so schedules near the counter's wrap still work.
    while (!schedule.empty() && static_cast<Sint32>(clock_now - schedule.front().at) >= 0) {
        SDL_PushEvent(&schedule.front().event);
        schedule.pop_front();
    }
}

void add_scheduled(Uint32 at, const SDL_Event& e)
{
    auto it = schedule.begin();
    while (it != schedule.end() && static_cast<Sint32>(it->at - at) <= 0)
        ++it;
    schedule.insert(it, ScheduledEvent{at, e});
}

std::string directory;

class GameEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        directory = enter_scratch_directory("/tmp/umbra-test-XXXXXX");
        startup_game();
    }
    void TearDown() override
    {
        shutdown_game();
        remove_scratch_directory(directory);
    }
};

::testing::Environment* const game_environment =
    ::testing::AddGlobalTestEnvironment(new GameEnvironment);

}  // namespace

extern "C" Uint32 __wrap_SDL_GetTicks()
{
    Uint32 now = clock_now;
    advance(clock_step);
    deliver_due_events();
    return now;
}

extern "C" int __wrap_SDL_PollEvent(SDL_Event* event)
{
    deliver_due_events();
    int got = __real_SDL_PollEvent(event);
    if (!got)
        advance(1);
    return got;
}

extern "C" int __wrap_rand()
{
    rand_count++;
    if (!rand_script.empty()) {
        int value = rand_script.front();
        rand_script.pop_front();
        return value;
    }
    return __real_rand();
}

extern "C" int __wrap_Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks)
{
    sounds.push_back(chunk);
    return __real_Mix_PlayChannelTimed(channel, chunk, loops, ticks);
}

extern "C" int __wrap_SDL_Flip(SDL_Surface* surface)
{
    flips++;
    if (capturing && surface == screen)
        captured.push_back(SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE));
    return __real_SDL_Flip(surface);
}

int flip_count()
{
    return flips;
}

void capture_flips(bool on)
{
    for (SDL_Surface* s : captured)
        SDL_FreeSurface(s);
    captured.clear();
    capturing = on;
}

size_t flipped_screen_count()
{
    return captured.size();
}

SDL_Surface* flipped_screen(size_t i)
{
    return i < captured.size() ? captured[i] : nullptr;
}

void set_ticks(Uint32 now)
{
    clock_now = now;
    clock_base = now;
}

Uint32 ticks_now()
{
    return clock_now;
}

void set_clock_step(Uint32 step)
{
    clock_step = step;
}

void set_clock_limit(Uint32 span_ms)
{
    clock_base = clock_now;
    clock_limit = span_ms;
}

void script_rand(const std::vector<int>& values)
{
    rand_script.assign(values.begin(), values.end());
    rand_count = 0;
}

int rand_calls()
{
    return rand_count;
}

size_t rand_script_left()
{
    return rand_script.size();
}

void push_key(SDLKey sym, bool down)
{
    SDL_Event e = key_event(sym, down);
    SDL_PushEvent(&e);
}

void push_key_press(SDLKey sym)
{
    push_key(sym, true);
    push_key(sym, false);
}

void push_pad(int which, bool down)
{
    SDL_Event e = pad_event(which, down);
    SDL_PushEvent(&e);
}

void push_pad_press(int which)
{
    push_pad(which, true);
    push_pad(which, false);
}

void schedule_key(Uint32 at, SDLKey sym, bool down)
{
    add_scheduled(at, key_event(sym, down));
}

void schedule_pad(Uint32 at, int which, bool down)
{
    add_scheduled(at, pad_event(which, down));
}

void schedule_key_press(Uint32 at, SDLKey sym)
{
    schedule_key(at, sym, true);
    schedule_key(at + 20, sym, false);
}

void drop_input()
{
    schedule.clear();
    SDL_Event e;
    while (__real_SDL_PollEvent(&e)) {
    }
}

std::vector<Mix_Chunk*>& started_sounds()
{
    return sounds;
}

Uint32 screen_pixel(int x, int y)
{
    SDL_LockSurface(screen);
    Uint32 value = *reinterpret_cast<Uint16*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch + x * 2);
    SDL_UnlockSurface(screen);
    return value;
}

bool write_png(SDL_Surface* surface, const std::string& path)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, surface->w, surface->h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(surface->w * 3);
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; y++) {
        for (int x = 0; x < surface->w; x++) {
            Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
                       x * surface->format->BytesPerPixel;
            Uint32 value = 0;
            std::memcpy(&value, p, surface->format->BytesPerPixel);
            SDL_GetRGB(value, surface->format, &row[x * 3], &row[x * 3 + 1], &row[x * 3 + 2]);
        }
        png_write_row(png, row.data());
    }
    SDL_UnlockSurface(surface);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    return true;
}

::testing::AssertionResult screen_matches(const char* name)
{
    return surface_matches(screen, name);
}

Uint32 surface_pixel(SDL_Surface* surface, int x, int y)
{
    SDL_LockSurface(surface);
    Uint32 value = *reinterpret_cast<Uint16*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * 2);
    SDL_UnlockSurface(surface);
    return value;
}

bool updating_references()
{
    const char* update = std::getenv("UMBRA_UPDATE_REFERENCES");
    return update && std::strcmp(update, "1") == 0;
}

static std::string reference_path(const char* name)
{
    return std::string(UMBRA_TEST_REFERENCE_DIR) + "/" + name + ".png";
}

SDL_Surface* load_reference(const char* name)
{
    SDL_Surface* loaded = IMG_Load(reference_path(name).c_str());
    if (!loaded)
        return nullptr;
    SDL_Surface* converted = SDL_ConvertSurface(loaded, screen->format, 0);
    SDL_FreeSurface(loaded);
    return converted;
}

::testing::AssertionResult surface_equals(SDL_Surface* surface, SDL_Surface* expected, const char* name)
{
    std::string output_dir = std::string(UMBRA_DATA_DIR) + "/../test-output";
    std::string actual = output_dir + "/" + name + ".png";
    if (!expected) {
        std::system(("mkdir -p '" + output_dir + "'").c_str());
        write_png(surface, actual);
        return ::testing::AssertionFailure() << "no reference " << reference_path(name)
                                             << "; actual written to " << actual;
    }
    int differing = 0;
    int first_x = -1, first_y = -1;
    if (expected->w != surface->w || expected->h != surface->h) {
        differing = -1;
    } else {
        for (int y = 0; y < surface->h; y++)
            for (int x = 0; x < surface->w; x++) {
                if (surface_pixel(expected, x, y) != surface_pixel(surface, x, y)) {
                    if (differing++ == 0) {
                        first_x = x;
                        first_y = y;
                    }
                }
            }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    std::system(("mkdir -p '" + output_dir + "'").c_str());
    write_png(surface, actual);
    return ::testing::AssertionFailure()
           << name << ": " << (differing < 0 ? std::string("size differs") : std::to_string(differing) + " pixels differ, first at (" + std::to_string(first_x) + ", " + std::to_string(first_y) + ")")
           << "; actual written to " << actual
           << " (refresh references with UMBRA_UPDATE_REFERENCES=1 if the change is intended)";
}

::testing::AssertionResult surface_matches(SDL_Surface* surface, const char* name)
{
    if (updating_references()) {
        if (!write_png(surface, reference_path(name)))
            return ::testing::AssertionFailure() << "cannot write " << reference_path(name);
        return ::testing::AssertionSuccess();
    }
    SDL_Surface* expected = load_reference(name);
    ::testing::AssertionResult result = surface_equals(surface, expected, name);
    if (expected)
        SDL_FreeSurface(expected);
    return result;
}

const std::string& test_directory()
{
    return directory;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void reset_battlefield()
{
    clear_unit_grid();
    clear_surface(terrain_map, terrain_plain);
    current_side = 0;
    turn_number = 1;
    units_to_move = 0;
    winner = -1;
    selected_x = -1;
    selected_y = 0;
    cpu_player[0] = 0;
    cpu_player[1] = 0;
    cursor_x = 0;
    cursor_y = 0;
    status_text[0] = '\0';
    clear_input();
    drop_input();
    sounds.clear();
}

void place_unit(int x, int y, int type)
{
    unit_grid[x][y] = unit_types[type];
}

void set_terrain(int x, int y, int code)
{
    SDL_LockSurface(terrain_map);
    *reinterpret_cast<Uint16*>(static_cast<Uint8*>(terrain_map->pixels) + y * terrain_map->pitch + x * 2) =
        static_cast<Uint16>(code);
    SDL_UnlockSurface(terrain_map);
}
