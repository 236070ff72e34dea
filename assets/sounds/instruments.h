// The instruments the music is played on. Voices follow voice_fn, drums drum_fn (song.h).
#pragma once

#include "song.h"

// For the calm title piece.
void harp(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
          noise_source& ns);
void warm_pad(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
              noise_source& ns);
void round_bass(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
                noise_source& ns);
void flute(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
           noise_source& ns);
void frame_drum(std::vector<float>& out, double rate, double velocity, noise_source& ns);
void shaker(std::vector<float>& out, double rate, double velocity, noise_source& ns);
// Running water under a whole loop: two streams of filtered noise swelling slowly, and
// droplets. Its level changes only in whole cycles of the loop, so it has no seam either.
void add_brook(song& s, double gain, uint64_t seed);

// For the ominous piece.
void drone(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
           noise_source& ns);
void low_strings(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
                 noise_source& ns);
void choir(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
           noise_source& ns);
void dark_brass(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
                noise_source& ns);
void war_drum(std::vector<float>& out, double rate, double velocity, noise_source& ns);
void low_tom(std::vector<float>& out, double rate, double velocity, noise_source& ns);
void deep_snare(std::vector<float>& out, double rate, double velocity, noise_source& ns);
void tolling_bell(std::vector<float>& out, double rate, double velocity, noise_source& ns);
