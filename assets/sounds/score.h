// Reading the note strings the music is written in.
//
// A track is a list of tokens separated by spaces:
//   E4:2        a note and its length in beats (sharps "F#3", flats "Bb2")
//   D3+F3+A3:4  several notes struck together
//   boom:1      a drum (any lower-case word), for percussion tracks
//   r:1.5       a rest
//   E4:2@0.6    any of the above at a softer velocity (default 1)
//   |           a bar line: checked to fall on a whole bar
//   [ ... ]*4   the bracketed tokens repeated four times (brackets nest)
// A chord progression is a list of chord names, one bar each unless given as "Gm:2".
#pragma once

#include <string>
#include <vector>

struct score_note {
    double beat;       // start, in beats from the start of the piece
    double beats;      // length in beats
    int midi;          // pitch, or -1 for a drum
    std::string drum;  // the drum's name, empty for a pitched note
    double velocity;   // 0..1
};

struct score_track {
    std::vector<score_note> notes;
    double beats;  // total length, rests included
};

struct chord_span {
    std::string name;
    double beat;
    double beats;
};

// Both throw std::runtime_error naming the offending token on anything malformed.
int note_midi(const std::string& name);
score_track parse_track(const std::string& text, double beats_per_bar);
std::vector<chord_span> parse_progression(const std::string& text, double beats_per_bar);
