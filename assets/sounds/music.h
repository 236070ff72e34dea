// The game's two looping pieces, composed here as note strings and rendered to stereo.
#pragma once

#include <string>
#include <vector>

constexpr int music_rate = 22050;

struct music_piece {
    const char* file_name;
    const char* title;
    // Renders exactly one loop: the sample after the last one is the first one again.
    // Throws std::runtime_error if the score doesn't add up.
    void (*render)(std::vector<float>& left, std::vector<float>& right);
};

const std::vector<music_piece>& music_pieces();
