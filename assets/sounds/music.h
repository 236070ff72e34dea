// The game's two looping pieces, composed here as note strings and rendered to stereo.
#pragma once

#include <string>
#include <vector>

constexpr int music_rate = 22050;

// Every piece, these two and the modules alike, plays at about this loudness (RMS of both
// channels, dB of full scale), so a change of music never jumps in level; and none peaks past
// the ceiling, which leaves room for the loudest effect (effects.h) on top.
constexpr double music_level_db = -21.0;
constexpr double music_ceiling = 0.5;

struct music_piece {
    const char* file_name;
    const char* title;
    // Renders exactly one loop: the sample after the last one is the first one again.
    // Throws std::runtime_error if the score doesn't add up.
    void (*render)(std::vector<float>& left, std::vector<float>& right);
};

const std::vector<music_piece>& music_pieces();
