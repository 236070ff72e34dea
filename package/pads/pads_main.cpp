// pads_main.cpp -- umbrafront-pads: prints SDL2 game controller mapping lines rewritten so that the
// game, run on sdl12-compat with SDL12COMPAT_USE_GAME_CONTROLLERS=1, reads each pad's controls as
// its own pad buttons (pad_mapping.h). The launcher passes what it prints as SDL_GAMECONTROLLERCONFIG.
//
// Without arguments it rewrites the mapping SDL2 has for each connected pad; with lines as
// arguments, or "-" for lines on standard input, it rewrites those. Rewritten lines go to standard
// output, one a line; every pad or line left as it is gets a message on standard error.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "pad_mapping.h"

static const char* const usage =
    "usage: umbrafront-pads            rewrite the mappings of the connected pads\n"
    "       umbrafront-pads LINE...    rewrite the given SDL2 mapping lines\n"
    "       umbrafront-pads -          rewrite SDL2 mapping lines read from standard input\n";

// Rewrites one line and prints it; returns whether it could.
static bool print_rewritten(const std::string& line, const std::string& where)
{
    std::string out, message;
    if (!rewrite_pad_mapping(line, out, message)) {
        std::fprintf(stderr, "umbrafront-pads: %s%s; left unchanged\n", where.c_str(), message.c_str());
        return false;
    }
    std::printf("%s\n", out.c_str());
    std::fflush(stdout);
    return true;
}

static int rewrite_connected_pads()
{
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "umbrafront-pads: cannot read the pads: %s\n", SDL_GetError());
        return 1;
    }
    int status = 0;
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; i++) {
        const char* name = SDL_JoystickNameForIndex(i);
        std::string where = "pad " + std::to_string(i) + " (" + (name ? name : "no name") + "): ";
        if (!SDL_IsGameController(i)) {
            std::fprintf(stderr, "umbrafront-pads: %sSDL2 has no controller mapping for it; it keeps its own "
                                 "button numbers\n", where.c_str());
            status = 1;
            continue;
        }
        char* mapping = SDL_GameControllerMappingForDeviceIndex(i);
        if (!mapping) {
            std::fprintf(stderr, "umbrafront-pads: %sSDL2 gives no mapping line: %s\n", where.c_str(), SDL_GetError());
            status = 1;
            continue;
        }
        if (!print_rewritten(mapping, where))
            status = 1;
        SDL_free(mapping);
    }
    SDL_Quit();
    return status;
}

int main(int argc, char** argv)
{
    if (argc == 1)
        return rewrite_connected_pads();
    if (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return 0;
    }
    int status = 0;
    if (argc == 2 && std::strcmp(argv[1], "-") == 0) {
        std::string line;
        int number = 0;
        while (std::getline(std::cin, line)) {
            number++;
            // Blank lines and comments, as in SDL2's own mapping files, are passed over.
            size_t first = line.find_first_not_of(" \t\r");
            if (first == std::string::npos || line[first] == '#')
                continue;
            if (!print_rewritten(line, "line " + std::to_string(number) + ": "))
                status = 1;
        }
        return status;
    }
    for (int i = 1; i < argc; i++) {
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "umbrafront-pads: unknown option %s\n%s", argv[i], usage);
            return 2;
        }
        if (!print_rewritten(argv[i], "argument " + std::to_string(i) + ": "))
            status = 1;
    }
    return status;
}
