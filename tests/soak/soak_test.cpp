// soak_test.cpp -- the whole program (game_main) driven by a seeded stream of random input: the
// game's keys and pad buttons, other keys and buttons, the window's close request, mouse and axis
// events and idle polls, under a virtual clock and a seeded rand(). After every flip the
// battlefield is checked against the rules; a stretch of virtual time without a flip is a hang.
//
// The suite runs 1,000,000 events (idle polls not counted); UMBRA_SOAK_EVENTS sets another total
// (e.g. 10000000) and UMBRA_SOAK_SEED the first seed. Each seed is one run of game_main; when a run
// has used 150,000 events the stream turns to leaving the program (Escape held, A tapped) until
// game_main returns. Runs follow one another until the total is reached.
//
// Linked with --wrap for SDL_GetTicks, SDL_PollEvent, SDL_Flip, rand, TTF_RenderText_Solid and
// play_battle (mangled _Z11play_battlev), so the stream can follow which screen is up.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battle/state.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "shell/game.h"
#include "view/board.h"
#include "harness/input_events.h"
#include "harness/link_names.h"
#include "harness/scratch_directory.h"

UMBRA_WRAP_SDL(Uint32, SDL_GetTicks, ());
UMBRA_WRAP_SDL(int, SDL_PollEvent, (SDL_Event * event));
UMBRA_WRAP_SDL(int, SDL_Flip, (SDL_Surface * surface));
UMBRA_WRAP_SDL(SDL_Surface*, TTF_RenderText_Solid, (TTF_Font * font, const char* text, SDL_Color fg));
extern "C" void __real__Z11play_battlev();

namespace {

const long default_total = 1000000;
const long run_budget_events = 150000;  // a seed's run is the same in a soak of any length
const Uint32 hang_limit_ms = 5u * 60u * 1000u;  // virtual time without a flip
const long leaving_limit = 200000;              // items the program may take to quit once asked

// A small fast generator (splitmix64), so a seed gives the same stream on every platform.
struct Generator {
    uint64_t state = 0;
    uint64_t next()
    {
        uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
};

enum Kind {
    idle, direction, press_a, press_b, press_select, volume_key, escape, shoulder_l_key,
    shoulder_r_key, other_key, other_pad, mouse, axis, other_event, close_request, stray_release,
    kind_count
};

// Weights per million stream items, by what is on the screen. A person at the title steps through
// the options more than confirming them, so every option is taken; in a battle Select and quit
// requests are rare enough that whole turns are played out and units finished; while the computer
// plays the stream is mostly idle, so its battles often run to a victory.
struct Mix {
    int weight[kind_count];
};
//                          idle    dir      A      B   sel  vol   esc   L    R  okey  opad mouse axis other quit stray
constexpr Mix title_mix   = {{500000, 50000, 50000, 200000, 20000, 20000, 1000, 1500, 1500, 50000, 40000, 30000, 20000, 6000, 5000, 5000}};
constexpr Mix playing_mix = {{450000, 200000, 90000, 60000, 100, 15000, 20, 600, 600, 40000, 30000, 40000, 30000, 10000, 5000, 28680}};
constexpr Mix watching_mix = {{950000, 20000, 6000, 6000, 2000, 4000, 5, 100, 100, 3000, 3000, 3000, 2000, 495, 200, 100}};

constexpr int weight_sum(const Mix& m, int i = 0) { return i == kind_count ? 0 : m.weight[i] + weight_sum(m, i + 1); }
static_assert(weight_sum(title_mix) == 1000000 && weight_sum(playing_mix) == 1000000 &&
              weight_sum(watching_mix) == 1000000, "each mix shares out a million");

struct Release {
    long due;  // stream item from which it may be delivered
    SDL_Event event;
};

struct Outcome {
    uint64_t digest = 14695981039346656037ull;
    long items = 0;   // stream items handed out: events and idle polls
    long events = 0;  // the SDL events among them, which the budget counts
    long flips = 0;
    long battles = 0;
    long victories = 0;
    Uint32 virtual_ms = 0;
    bool operator==(const Outcome& o) const
    {
        return digest == o.digest && items == o.items && events == o.events &&
               flips == o.flips && battles == o.battles && victories == o.victories &&
               virtual_ms == o.virtual_ms;
    }
};

struct Coverage {
    long setups[4] = {};  // battles by (cpu_player[0], cpu_player[1]) as the title's options 0..3
    long credits = 0;
    long quit_option = 0;
    long quit_request = 0;
};

// ---- the run in progress ----
unsigned run_seed = 0;
Generator input_stream;
Generator game_rand;
long run_budget = 0;
bool leaving = false;
int leaving_step = 0;
long leaving_from = 0;
std::vector<Release> releases;
Uint32 clock_now = 0;
Uint32 last_flip_at = 0;
bool in_battle = false;
Outcome outcome;
Coverage coverage;

// The side not on the move, as it stood when the current turn was first shown.
struct Snapshot {
    long battle = -1;
    int side = -1;
    int turn = -1;
    UnitRecord grid[map_width][map_height];
} idle_side;

std::vector<std::string> violations;  // the first few, with seed and stream position
long violation_count = 0;
long run_violations = 0;

void mix_in(uint64_t value)
{
    for (int i = 0; i < 8; i++) {
        outcome.digest ^= (value >> (8 * i)) & 0xff;
        outcome.digest *= 1099511628211ull;
    }
}

[[noreturn]] void give_up(const char* why)
{
    std::fprintf(stderr, "soak seed %u, item %ld, virtual %u ms: %s\n", run_seed, outcome.items,
                 clock_now, why);
    std::fflush(stderr);
    std::abort();
}

void advance(Uint32 ms)
{
    clock_now += ms;
    if (clock_now - last_flip_at > hang_limit_ms)
        give_up("no flip for five minutes of virtual time: the game hangs");
}

void violation(const std::string& what)
{
    violation_count++;
    run_violations++;
    // One broken rule tends to show at every flip after it: list the first few of each run.
    if (violations.size() < 12 && run_violations <= 3)
        violations.push_back("seed " + std::to_string(run_seed) + ", item " +
                             std::to_string(outcome.items) + ", battle " +
                             std::to_string(outcome.battles) + ", turn " +
                             std::to_string(turn_number) + ": " + what);
}

std::string at(int x, int y)
{
    return " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Everything the rules promise about the battlefield at any moment it is shown.
void check_battlefield()
{
    int own_units = 0;
    for (int x = 0; x < map_width; x++) {
        for (int y = 0; y < map_height; y++) {
            const UnitRecord& unit = unit_grid[x][y];
            int ground = get_pixel(terrain_map, x, y);
            mix_in((static_cast<uint64_t>(ground) << 40) ^ (static_cast<uint64_t>(unit.type + 2) << 20) ^
                   static_cast<uint64_t>(unit.moves + 2));
            if (ground < terrain_plain || ground > terrain_light_castle || ground == terrain_water)
                violation("terrain code " + std::to_string(ground) + at(x, y));
            if (unit.type < -1 || unit.type > 7) {
                violation("unit type " + std::to_string(unit.type) + at(x, y));
                continue;
            }
            if (unit.type == -1) {
                if (unit.moves != -2 || unit.attack != 0)
                    violation("an empty cell with moves " + std::to_string(unit.moves) +
                              " and attack " + std::to_string(unit.attack) + at(x, y));
                continue;
            }
            const UnitRecord& kind = unit_types[unit.type];
            if (unit.moves < -1 || unit.moves > kind.moves)
                violation("moves " + std::to_string(unit.moves) + " of type " +
                          std::to_string(unit.type) + at(x, y));
            if (unit.attack != kind.attack || unit.defence != kind.defence || unit.range != kind.range)
                violation("a unit whose numbers are not its type's" + at(x, y));
            if (ground == terrain_dark_castle || ground == terrain_light_castle)
                violation("a unit in a home castle" + at(x, y));
            else if (ground != terrain_plain && ground != terrain_grasslands)
                violation("a unit on terrain " + std::to_string(ground) + at(x, y));
            if (unit.type / 4 == current_side)
                own_units++;
        }
    }
    if (selected_x != -1) {
        if (selected_x < 0 || selected_x >= map_width || selected_y < 0 || selected_y >= map_height)
            violation("selection outside the board" + at(selected_x, selected_y));
        else if (unit_grid[selected_x][selected_y].type == -1 ||
                 unit_grid[selected_x][selected_y].type / 4 != current_side)
            violation("selection on type " + std::to_string(unit_grid[selected_x][selected_y].type) +
                      at(selected_x, selected_y) + " in the turn of side " + std::to_string(current_side));
    }
    if (units_to_move > own_units)
        violation("units_to_move " + std::to_string(units_to_move) + " above the side's " +
                  std::to_string(own_units) + " units");

    int waiting = 1 - current_side;
    if (idle_side.battle != outcome.battles || idle_side.side != current_side || idle_side.turn != turn_number) {
        idle_side.battle = outcome.battles;
        idle_side.side = current_side;
        idle_side.turn = turn_number;
        std::memcpy(idle_side.grid, unit_grid, sizeof unit_grid);
        return;
    }
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++) {
            const UnitRecord& now = unit_grid[x][y];
            if (now.type == -1 || now.type / 4 != waiting)
                continue;
            const UnitRecord& then = idle_side.grid[x][y];
            if (std::memcmp(&now, &then, sizeof now) != 0)
                violation("the side not on the move gained, moved or changed a unit" + at(x, y));
        }
}

void check_after_flip()
{
    mix_in(clock_now);
    mix_in((static_cast<uint64_t>(cursor_x) << 48) ^ (static_cast<uint64_t>(cursor_y) << 32) ^
           (static_cast<uint64_t>(button) << 16) ^ static_cast<uint64_t>(volume));
    if (cursor_x < 0 || cursor_x >= map_width || cursor_y < 0 || cursor_y >= map_height)
        violation("cursor" + at(cursor_x, cursor_y));
    if (volume < 0 || volume > 128)
        violation("volume " + std::to_string(volume));
    if (in_battle) {
        mix_in((static_cast<uint64_t>(current_side) << 48) ^ (static_cast<uint64_t>(turn_number) << 32) ^
               (static_cast<uint64_t>(selected_x + 1) << 24) ^ (static_cast<uint64_t>(selected_y) << 16) ^
               static_cast<uint64_t>(units_to_move + 100));
        check_battlefield();
    }
}

// A press is its down event now and its release a few items later: often in a later poll, now and
// then in the same one, which hides the press from the game.
SDL_Event press(const SDL_Event& down, const SDL_Event& up)
{
    releases.push_back(Release{outcome.items + 1 + static_cast<long>(input_stream.below(40)), up});
    return down;
}

SDL_Event press_key(SDLKey sym) { return press(key_event(sym, true), key_event(sym, false)); }
SDL_Event press_pad(int which) { return press(pad_event(which, true), pad_event(which, false)); }

// Either the key or the pad button for the same control.
SDL_Event press_control(SDLKey sym, int pad)
{
    return input_stream.below(2) ? press_key(sym) : press_pad(pad);
}

const SDLKey arrow_keys[4] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
const int pad_directions[4] = {0, 4, 2, 6};
const SDLKey game_keys[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_z, SDLK_x,
                            SDLK_TAB, SDLK_ESCAPE, SDLK_PAGEUP, SDLK_PAGEDOWN};
const int game_pad[] = {0, 2, 4, 6, 9, 10, 11, 12, 13, 16, 17};

// In a person's turn most cursor moves head for a unit, mostly one of the side to move, as a player
// would; without them a wandering cursor seldom finds the units and hardly a turn is played out.
int aim_x = -1;
int aim_y = -1;

bool aim_still_good()
{
    return aim_x >= 0 && unit_grid[aim_x][aim_y].type != -1 && (aim_x != cursor_x || aim_y != cursor_y);
}

void choose_aim()
{
    bool own = input_stream.below(4) != 0;
    int cells[map_width * map_height][2];
    int n = 0;
    for (int x = 0; x < map_width; x++)
        for (int y = 0; y < map_height; y++)
            if (unit_grid[x][y].type != -1 && (unit_grid[x][y].type / 4 == current_side) == own) {
                cells[n][0] = x;
                cells[n][1] = y;
                n++;
            }
    aim_x = -1;
    if (n == 0)
        return;
    unsigned pick = input_stream.below(static_cast<unsigned>(n));
    aim_x = cells[pick][0];
    aim_y = cells[pick][1];
}

// The arrow (0 up, 1 down, 2 left, 3 right) that brings the cursor closer to the aim, or a random one.
unsigned aimed_direction()
{
    if (!in_battle || cpu_player[current_side] != 0 || input_stream.below(4) == 0)
        return input_stream.below(4);
    if (!aim_still_good())
        choose_aim();
    if (aim_x < 0 || (aim_x == cursor_x && aim_y == cursor_y))
        return input_stream.below(4);
    bool across = aim_x != cursor_x && (aim_y == cursor_y || input_stream.below(2));
    if (across)
        return aim_x < cursor_x ? 2 : 3;
    return aim_y < cursor_y ? 0 : 1;
}

SDL_Event make(Kind kind)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    unsigned r = input_stream.below(4);
    switch (kind) {
    case direction: {
        unsigned d = aimed_direction();
        return press_control(arrow_keys[d], pad_directions[d]);
    }
    case press_a: return press_control(SDLK_z, 12);
    case press_b: return press_control(SDLK_x, 13);
    case press_select: return press_control(SDLK_TAB, 9);
    case volume_key:
        return r & 1 ? press_control(SDLK_PAGEUP, 16) : press_control(SDLK_PAGEDOWN, 17);
    case escape: return press_key(SDLK_ESCAPE);
    case shoulder_l_key: return press_pad(10);
    case shoulder_r_key: return press_pad(11);
    case other_key: return press_key(static_cast<SDLKey>(1 + input_stream.below(SDLK_LAST - 1)));
    case other_pad: return press_pad(static_cast<int>(input_stream.below(32)));
    case mouse:
        if (r == 0) {
            e.type = SDL_MOUSEMOTION;
            e.motion.x = static_cast<Uint16>(input_stream.below(320));
            e.motion.y = static_cast<Uint16>(input_stream.below(240));
            e.motion.xrel = static_cast<Sint16>(input_stream.below(41)) - 20;
            e.motion.yrel = static_cast<Sint16>(input_stream.below(41)) - 20;
            return e;
        }
        e.type = r == 1 ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = static_cast<Uint8>(1 + input_stream.below(5));
        e.button.state = r == 1 ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = static_cast<Uint16>(input_stream.below(320));
        e.button.y = static_cast<Uint16>(input_stream.below(240));
        return e;
    case axis:
        e.type = SDL_JOYAXISMOTION;
        e.jaxis.axis = static_cast<Uint8>(r);
        e.jaxis.value = static_cast<Sint16>(static_cast<int>(input_stream.below(65536)) - 32768);
        return e;
    case other_event:
        if (r == 0) {
            e.type = SDL_JOYHATMOTION;
            e.jhat.value = static_cast<Uint8>(input_stream.below(16));
        } else if (r == 1) {
            e.type = SDL_ACTIVEEVENT;
            e.active.gain = static_cast<Uint8>(input_stream.below(2));
            e.active.state = static_cast<Uint8>(1 + input_stream.below(7));
        } else if (r == 2) {
            e.type = SDL_VIDEOEXPOSE;
        } else {
            e.type = SDL_JOYBALLMOTION;
            e.jball.xrel = static_cast<Sint16>(input_stream.below(11)) - 5;
        }
        return e;
    case close_request: e.type = SDL_QUIT; return e;
    case stray_release:
        // A release whose press the game never saw.
        if (r & 1)
            return key_event(game_keys[input_stream.below(sizeof game_keys / sizeof game_keys[0])], false);
        return pad_event(game_pad[input_stream.below(sizeof game_pad / sizeof game_pad[0])], false);
    default: return e;
    }
}

// The next stream item: true with an event to hand over, false for an idle poll.
bool next_item(SDL_Event* event)
{
    if (leaving) {
        // Let go of everything, then keep Escape down and tap A: Escape ends a battle or the title
        // menu, A ends every box and the credits.
        if (!releases.empty()) {
            *event = releases.back().event;
            releases.pop_back();
            return true;
        }
        int step = leaving_step++ % 6;
        if (step % 2 == 1)
            return false;
        *event = key_event(step == 0 ? SDLK_ESCAPE : SDLK_z, step != 4);
        return true;
    }
    for (size_t i = 0; i < releases.size(); i++)
        if (releases[i].due <= outcome.items) {
            *event = releases[i].event;
            releases.erase(releases.begin() + static_cast<long>(i));
            return true;
        }
    const Mix& mix = !in_battle ? title_mix : cpu_player[current_side] == 1 ? watching_mix : playing_mix;
    int pick = static_cast<int>(input_stream.below(1000000));
    int kind = 0;
    while (kind < kind_count - 1 && pick >= mix.weight[kind])
        pick -= mix.weight[kind++];
    if (kind == idle)
        return false;
    *event = make(static_cast<Kind>(kind));
    return true;
}

Outcome run(unsigned seed, long budget)
{
    run_seed = seed;
    input_stream.state = seed * 0x2545f4914f6cdd1dull + 1;
    game_rand.state = seed * 0x9e3779b97f4a7c15ull + 7;
    run_budget = budget;
    leaving = false;
    leaving_step = 0;
    releases.clear();
    clock_now = 1000;
    last_flip_at = clock_now;
    in_battle = false;
    outcome = Outcome{};
    idle_side.battle = -1;
    aim_x = -1;
    run_violations = 0;

    // What a freshly started program holds; the previous run may have left anything.
    clear_input();
    cursor_x = 0;
    cursor_y = 0;
    volume = 64;
    status_text[0] = '\0';
    selected_x = -1;
    selected_y = 0;
    cpu_player[0] = 0;
    cpu_player[1] = 0;

    int result = game_main();
    EXPECT_EQ(result, 0);
    if (key[0] != 0)
        coverage.quit_request++;
    else
        coverage.quit_option++;
    outcome.virtual_ms = clock_now - 1000;
    return outcome;
}

}  // namespace

extern "C" Uint32 __wrap_SDL_GetTicks()
{
    Uint32 now = clock_now;
    advance(1);
    return now;
}

extern "C" int __wrap_SDL_PollEvent(SDL_Event* event)
{
    // SDL's own queue is drained and dropped, so nothing but the stream reaches the game.
    SDL_Event dropped;
    while (__real_SDL_PollEvent(&dropped)) {
    }
    if (!leaving && outcome.events >= run_budget) {
        leaving = true;
        leaving_from = outcome.items;
    }
    if (leaving && outcome.items - leaving_from > leaving_limit)
        give_up("the program did not quit after Escape and A for 200000 items");
    outcome.items++;
    SDL_Event e;
    if (!next_item(&e)) {
        advance(1 + input_stream.below(4));
        return 0;
    }
    outcome.events++;
    unsigned char bytes[sizeof e];  // every event starts zeroed, so its bytes are all defined
    std::memcpy(bytes, &e, sizeof e);
    for (unsigned char byte : bytes)
        mix_in(byte);
    if (event)
        *event = e;
    return 1;
}

extern "C" int __wrap_rand()
{
    return static_cast<int>(game_rand.next() >> 33);
}

extern "C" int __wrap_SDL_Flip(SDL_Surface* surface)
{
    outcome.flips++;
    last_flip_at = clock_now;
    check_after_flip();
    return __real_SDL_Flip(surface);
}

extern "C" SDL_Surface* __wrap_TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color fg)
{
    if (!in_battle && std::strcmp(text, "Press (A) to continue") == 0)
        coverage.credits++;
    return __real_TTF_RenderText_Solid(font, text, fg);
}

extern "C" void __wrap__Z11play_battlev()
{
    if (cpu_player[0] >= 0 && cpu_player[0] <= 1 && cpu_player[1] >= 0 && cpu_player[1] <= 1)
        coverage.setups[cpu_player[0] * 2 + cpu_player[1]]++;
    outcome.battles++;
    in_battle = true;
    __real__Z11play_battlev();
    in_battle = false;
    if (winner != -1)
        outcome.victories++;
}

namespace {

long env_number(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atol(text) : fallback;
}

std::string directory;

class SoakEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        directory = enter_scratch_directory("/tmp/umbra-soak-XXXXXX");
    }
    void TearDown() override
    {
        remove_scratch_directory(directory);
    }
};

::testing::Environment* const soak_environment =
    ::testing::AddGlobalTestEnvironment(new SoakEnvironment);

std::string listed(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

}  // namespace

TEST(Soak, SeedsReplayExactly)
{
    violations.clear();
    violation_count = 0;
    Outcome first = run(11, 15000);
    Outcome other = run(12, 15000);
    Outcome again = run(11, 15000);
    EXPECT_TRUE(first == again) << "seed 11 gave digest " << first.digest << " then " << again.digest
                                << ", " << first.items << " then " << again.items << " items, "
                                << first.flips << " then " << again.flips << " flips";
    EXPECT_NE(first.digest, other.digest) << "the digest does not follow what happened";
    EXPECT_GT(first.flips, 0);
    EXPECT_GT(first.battles, 0);
    EXPECT_EQ(violation_count, 0) << listed(violations);
}

TEST(Soak, RandomInputKeepsTheRules)
{
    long total = env_number("UMBRA_SOAK_EVENTS", default_total);
    unsigned seed = static_cast<unsigned>(env_number("UMBRA_SOAK_SEED", 1));
    violations.clear();
    violation_count = 0;
    coverage = Coverage{};
    long items = 0, events = 0, flips = 0, battles = 0, victories = 0, runs = 0;
    double virtual_ms = 0;
    auto started = std::chrono::steady_clock::now();
    while (events < total) {
        long before = violation_count;
        Outcome o = run(seed, run_budget_events);
        std::printf("seed %u: %ld events (%ld items), %ld flips, %ld battles, %ld won, %.1f virtual "
                    "minutes%s\n",
                    seed, o.events, o.items, o.flips, o.battles, o.victories,
                    o.virtual_ms / 60000.0, violation_count > before ? ", RULES BROKEN" : "");
        items += o.items;
        events += o.events;
        flips += o.flips;
        battles += o.battles;
        victories += o.victories;
        virtual_ms += o.virtual_ms;
        runs++;
        seed++;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%ld runs: %ld events (%ld items with the idle polls), %ld flips, %ld battles "
                "(set-ups %ld/%ld/%ld/%ld), %ld won, credits %ld, quit by option %ld, by request %ld; "
                "%.1f virtual hours; %.2f s: %.0f events/s, %.0f items/s\n",
                runs, events, items, flips, battles, coverage.setups[0], coverage.setups[1],
                coverage.setups[2], coverage.setups[3], victories, coverage.credits,
                coverage.quit_option, coverage.quit_request, virtual_ms / 3600000.0, seconds,
                events / seconds, items / seconds);
    RecordProperty("events_per_second", std::to_string(static_cast<long>(events / seconds)));

    EXPECT_EQ(violation_count, 0) << violation_count << " broken rules, the first:\n" << listed(violations);
    EXPECT_GE(events, total);
    if (total >= default_total) {
        // The suite's million events must have taken every way through the title.
        for (int i = 0; i < 4; i++)
            EXPECT_GT(coverage.setups[i], 0) << "no battle with set-up " << i;
        EXPECT_GT(coverage.credits, 0);
        EXPECT_GT(coverage.quit_option, 0);
        EXPECT_GT(coverage.quit_request, 0);
        EXPECT_GT(victories, 0);
    }
}
