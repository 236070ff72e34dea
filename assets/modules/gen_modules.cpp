// Writes the game's two music modules into the directory given on the command line.
// With --dump it prints their patterns as tracker rows instead, for reading them back.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "songs.h"

namespace {

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir> | --dump\n", argv[0]);
        return 2;
    }
    try {
        const mod_song songs[2] = {make_pyramid(), make_spacemaz()};
        const char* const names[2] = {"pyramid.mod", "spacemaz.mod"};
        for (int i = 0; i < 2; ++i) {
            if (std::strcmp(argv[1], "--dump") == 0) {
                std::fputs(dump_patterns(songs[i]).c_str(), stdout);
                continue;
            }
            const std::string path = std::string(argv[1]) + "/" + names[i];
            if (!write_file(path, write_mod(songs[i]))) {
                std::fprintf(stderr, "gen_modules: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_modules: %s\n", e.what());
        return 1;
    }
    return 0;
}
