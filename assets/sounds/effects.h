// The game's eight sound effects, each synthesized from scratch and written as mono WAV.
#pragma once

#include <vector>

// Effects are written at the rate the game's mixer runs at, so it never has to resample them.
constexpr int effect_rate = 11025;

struct sound_effect {
    const char* file_name;
    // Renders the finished effect at effect_rate, peak-normalized, in [-1, 1].
    std::vector<float> (*render)();
};

const std::vector<sound_effect>& sound_effects();
