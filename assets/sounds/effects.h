// The game's eight sound effects, each synthesized from scratch and written as mono WAV.
#pragma once

#include <vector>

// Effects are written at the rate the game's mixer runs at, so it never has to resample them.
constexpr int effect_rate = 11025;

// The loudest any effect may peak. The game plays effects and music at one volume, so this
// and the music's own ceiling (music.h) add up to no more than full scale.
constexpr double effect_ceiling = 0.45;

struct sound_effect {
    const char* file_name;
    // Renders the finished effect at effect_rate, peaking at no more than effect_ceiling.
    std::vector<float> (*render)();
};

const std::vector<sound_effect>& sound_effects();
