// Rendering a looping piece: tracks of notes are played by instruments into a stereo buffer
// with room past the end, and whatever rings past the loop point is folded back onto the
// start, so the last bar flows into the first without a seam.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "score.h"
#include "synth.h"

// Fills `out` (resized by the voice) with one note; `seconds` is the written length, the
// voice may ring on past it.
using voice_fn = void (*)(std::vector<float>& out, double rate, double hz, double seconds,
                          double velocity, noise_source& ns);
using drum_fn = void (*)(std::vector<float>& out, double rate, double velocity, noise_source& ns);

struct drum_sound {
    const char* name;
    drum_fn play;
};

struct chord_voicing {
    const char* chord;
    const char* notes;  // lowest first: the bass, then the notes above it
};

struct song {
    std::string name;
    double rate;
    double seconds_per_beat;
    double beats_per_bar;
    double beats;  // the whole loop
    size_t loop;   // samples in the loop
    std::vector<float> left, right;
    noise_source feel;  // small variations of timing and touch, like a player's
};

song start_song(const std::string& name, double rate, double bpm, double beats_per_bar, int bars,
                uint64_t seed);

struct track_style {
    double gain = 1.0;
    double pan = 0.0;          // -1 left .. 1 right
    double looseness = 0.006;  // seconds a note may land late
    int transpose = 0;         // semitones
};

// These throw std::runtime_error if the track's length isn't the whole loop.
void play_track(song& s, const std::string& what, const score_track& track, voice_fn voice,
                const track_style& style);
void play_drums(song& s, const std::string& what, const score_track& track,
                const std::vector<drum_sound>& kit, const track_style& style);

// Turns a progression into an arpeggio: for each chord, the voicing's notes picked out by a
// pattern (indices into the voicing, one note per `step` beats), the patterns taking turns
// bar by bar.
score_track chord_track(const song& s, const std::vector<chord_span>& progression,
                        const std::vector<chord_voicing>& voicings,
                        const std::vector<std::vector<int>>& patterns, double step);
// The voicing's notes listed in `indices`, held for each chord's whole length.
score_track held_chords(const std::vector<chord_span>& progression,
                        const std::vector<chord_voicing>& voicings, const std::vector<int>& indices);

// Adds a sound that starts at `start_s` and may run past the loop's end.
void mix_in(song& s, const std::vector<float>& voice, double start_s, double gain, double pan);

// How a piece is finished: its room, its tone and its level.
struct song_finish {
    double room, damp, wet;  // reverb_init's room and damping, and how much of the room is heard
    // Shelves on the whole mix: below `low_hz` the level is scaled by `low_gain`, above
    // `high_hz` by `high_gain` (1 leaves it alone).
    double low_hz = 100.0, low_gain = 1.0;
    double high_hz = 2000.0, high_gain = 1.0;
    double level_db;  // RMS of both channels, dB of full scale
    double ceiling;   // no sample goes past this
};

// Closing steps, in order: fold the tail onto the start, add the room's reverberation (run
// twice round the loop so it rings across the seam too), shape the tone, gently roll off the
// top so the game's 11 kHz mixer has little to alias, scale to the level, and round off the
// few peaks that would pass the ceiling.
void finish_song(song& s, const song_finish& f);
