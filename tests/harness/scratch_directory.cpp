// scratch_directory.cpp -- the private working directory every game-starting test program runs in.
#include "scratch_directory.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

std::string enter_scratch_directory(const char* pattern)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::vector<char> path(pattern, pattern + std::char_traits<char>::length(pattern) + 1);
    std::string directory = mkdtemp(path.data());
    std::string data = UMBRA_DATA_DIR;
    if (symlink(data.c_str(), (directory + "/Data").c_str()) != 0 || chdir(directory.c_str()) != 0) {
        std::fprintf(stderr, "cannot prepare %s\n", directory.c_str());
        std::abort();
    }
    return directory;
}

void remove_scratch_directory(const std::string& path)
{
    std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", path.c_str());
}
