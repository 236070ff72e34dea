// gen_sounds <output-dir>: writes the game's sound effects (WAV) and music (Ogg Vorbis).
// Each file is synthesized from the recipes and scores in this folder; two runs write the same
// bytes.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>

#include "effects.h"
#include "music.h"
#include "writers.h"

namespace {

// Low enough for a few hundred kilobytes a piece, high enough that the harp stays clean.
constexpr float music_quality = 0.3f;

bool make_piece(const music_piece& piece, const std::string& dir) {
    try {
        std::vector<float> left, right;
        piece.render(left, right);
        return write_ogg_loop(dir + "/" + piece.file_name, left, right, music_rate, music_quality,
                                piece.title);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", piece.file_name, e.what());
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code err;
    std::filesystem::create_directories(dir, err);
    if (err) {
        std::fprintf(stderr, "%s: %s\n", dir.c_str(), err.message().c_str());
        return 1;
    }

    // The two pieces are the slow part and independent of each other: one gets its own thread
    // while this one renders the other and then the effects.
    const auto& pieces = music_pieces();
    bool first_ok = false;
    std::thread first([&] { first_ok = make_piece(pieces[0], dir); });
    bool ok = true;
    for (size_t i = 1; i < pieces.size(); ++i) ok = make_piece(pieces[i], dir) && ok;
    for (const auto& effect : sound_effects())
        ok = write_wav(dir + "/" + effect.file_name, effect.render(), effect_rate) && ok;
    first.join();
    return ok && first_ok ? 0 : 1;
}
