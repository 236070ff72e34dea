// A small 4-channel ProTracker module writer, plus the text notation our songs are written in.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

constexpr int mod_channels = 4;
constexpr int mod_rows = 64;
constexpr int mod_sample_slots = 31;

// One 8-bit signed sample with its loop, both in bytes (the file stores words, so all are even).
// A loop_length of 0 means the sample plays once.
struct mod_sample {
    std::string name;
    std::vector<int8_t> data;
    int volume = 64;
    int loop_start = 0;
    int loop_length = 0;
};

// One channel on one row. period 0 = no note, sample 0 = keep the channel's instrument.
struct mod_cell {
    int period = 0;
    int sample = 0;
    int effect = 0;
    int param = 0;
};

struct mod_pattern {
    std::array<std::array<mod_cell, mod_channels>, mod_rows> rows{};
};

struct mod_song {
    std::string title;
    std::vector<mod_sample> samples;  // sample n in the patterns is samples[n - 1]
    std::vector<mod_pattern> patterns;
    std::vector<int> order;
};

// Amiga period of a note named the tracker way ("C-1" .. "B-3", sharps as "C#2").
// Throws std::runtime_error for anything else.
int note_period(const std::string& name);

// How one channel's tokens turn into cells: note tokens play `sample`, and any token found in
// `hits` (drum letters) becomes that whole cell.
struct voice {
    int sample = 0;
    std::map<std::string, mod_cell> hits;
};

// One channel of a pattern written as 64 whitespace-separated tokens, one per row:
//   C-2      play a note          -    nothing new, the note rings on
//   ^        silence the channel  ~    vibrato on the sounding note
//   k, s ... a hit of the voice   |    bar line, must fall every 16 rows
// Any token may end in ":XYZ", a tracker effect in hex (e.g. "A-2:C20", "-:A02").
// Throws std::runtime_error naming the bad token.
std::vector<mod_cell> parse_track(const std::string& text, const voice& v);

struct track {
    const voice& v;
    std::string text;
};

mod_pattern make_pattern(const std::array<track, mod_channels>& tracks);

// Puts the speed and tempo commands on free effect slots of the pattern's first row.
void set_timing(mod_pattern& p, int speed, int tempo);

// Scales every sample's volume by `gain`, rounded: how loud the whole piece plays, with the
// instruments kept in proportion.
void scale_volumes(mod_song& song, double gain);

std::vector<uint8_t> write_mod(const mod_song& song);

// The patterns in tracker rows ("C-2 01 ... | --- .. C20 | ..."), for reading a song back.
std::string dump_patterns(const mod_song& song);
