// The scores of the two pieces. Every track must fill the loop exactly, in whole bars;
// the renderer refuses one that doesn't.
#include "music.h"

#include <utility>

#include "instruments.h"
#include "score.h"
#include "song.h"

namespace {

// Vorbis's coding error can lift a peak by a few percent, so the pieces are finished a little
// under the ceiling.
const double ogg_ceiling = 0.9 * music_ceiling;

// "Creek": the title music. G major, 3/4, unhurried: a harp melody over rolling harp
// arpeggios, a warm pad and a round bass, a soft frame drum and shaker, water running under it.
// Form: intro, A, B, A' (with a flute joining the harp), a short outro that leads back in.
const double creek_bpm = 84;
const double creek_beats_per_bar = 3;
const int creek_bars = 32;

const std::vector<chord_voicing> creek_chords = {
    {"G", "G2 D3 G3 B3 D4"},   {"D/F#", "F#2 D3 F#3 A3 D4"}, {"Em", "E2 B2 E3 G3 B3"},
    {"C", "C3 E3 G3 C4 E4"},   {"Am", "A2 E3 A3 C4 E4"},     {"Am7", "A2 E3 G3 C4 E4"},
    {"D", "D3 F#3 A3 D4 F#4"},
};

const char* creek_progression =
    "G | Em | C | D | "
    "G | D/F# | Em | C | G | C | Am | D | "
    "Em | C | G | D | Em | C | Am7 | D | "
    "G | D/F# | Em | C | G | C | D | G | "
    "C | G | Am7 | D |";

const std::string creek_intro = "r:3 | r:3 | r:3 | r:2 B4:0.5 C5:0.5 | ";
const std::string creek_a =
    "D5:2 B4:1 | A4:2 D5:1 | B4:1.5 A4:0.5 G4:1 | E4:2 G4:1 | "
    "D4:1 G4:1 B4:1 | E5:2 D5:0.5 C5:0.5 | B4:1 A4:1 G4:1 | A4:2 F#4:0.5 A4:0.5 | ";
const std::string creek_b =
    "B4:1 E5:1 G5:1 | G5:1.5 E5:0.5 C5:1 | D5:2 B4:1 | A4:1.5 B4:0.5 C5:1 | "
    "B4:1 E5:1 G5:1 | A5:1.5 G5:0.5 E5:1 | C5:1 E5:1 G5:1 | F#5:1.5 E5:0.5 D5:0.5 C5:0.5 | ";
const std::string creek_a2 =
    "B4:2 D5:1 | A4:2 F#4:1 | G4:1.5 A4:0.5 B4:1 | C5:2 E5:1 | "
    "D5:1.5 E5:0.5 D5:1 | C5:1 E5:1 G4:1 | A4:1.5 B4:0.5 F#4:1 | G4:3 | ";
const std::string creek_outro = "r:1 E5:1@0.8 G5:1@0.8 | D5:3@0.8 | r:1 C5:1@0.7 E5:1@0.7 | D5:2@0.7 r:1 |";

const std::string creek_flute = "[r:3 |]*20 " + creek_a2 + "[r:3 |]*4";

const char* creek_drums =
    "[shk:1@0.5 shk:1@0.35 shk:1@0.35 |]*4 "
    "[thum:1@0.8 shk:1@0.55 shk:0.5@0.4 shk:0.5@0.3 |]*28";

void render_creek(std::vector<float>& left, std::vector<float>& right) {
    song s = start_song("creek", music_rate, creek_bpm, creek_beats_per_bar, creek_bars, 0xc4ee6ULL);
    const double bar = creek_beats_per_bar;
    auto chords = parse_progression(creek_progression, bar);

    // The arpeggio rolls up and back, every other bar in a different order.
    score_track arpeggio = chord_track(s, chords, creek_chords, {{0, 1, 2, 3, 4, 3}, {0, 2, 3, 4, 3, 2}}, 0.5);
    play_track(s, "arpeggio", arpeggio, harp, {0.35, -0.25, 0.008, 0});
    play_track(s, "pad", held_chords(chords, creek_chords, {2, 3, 4}), warm_pad, {0.3, 0.2, 0.0, 0});
    play_track(s, "bass", held_chords(chords, creek_chords, {0}), round_bass, {0.55, 0.0, 0.0, -12});

    score_track melody = parse_track(creek_intro + creek_a + creek_b + creek_a2 + creek_outro, bar);
    play_track(s, "melody", melody, harp, {0.95, 0.1, 0.006, 0});
    play_track(s, "flute", parse_track(creek_flute, bar), flute, {0.6, 0.35, 0.0, 0});

    play_drums(s, "drums", parse_track(creek_drums, bar),
               {{"thum", frame_drum}, {"shk", shaker}}, {0.5, -0.1, 0.005, 0});
    add_brook(s, 0.07, 0xb700cULL);

    // A little lift above 2 kHz keeps the harp's and the water's sparkle on a small speaker.
    finish_song(s, {0.84, 0.45, 0.35, 100.0, 1.0, 2500.0, 1.6, music_level_db, ogg_ceiling});
    left = std::move(s.left);
    right = std::move(s.right);
}

// "Fastelmo": for when the Dark is winning. D minor, 4/4, slow and heavy: a low drone that
// swells every two bars, low strings, a dark choir, a brass lead, war drums and a tolling bell.
const double dark_bpm = 72;
const double dark_beats_per_bar = 4;
const int dark_bars = 20;

const std::vector<chord_voicing> dark_chords = {
    {"Dm", "D2 A2 D3 F3 A3"},   {"Bb", "Bb1 F2 Bb2 D3 F3"}, {"Gm", "G1 D2 G2 Bb2 D3"},
    {"A", "A1 E2 A2 C#3 E3"},   {"F", "F2 C3 F3 A3 C4"},     {"C", "C2 G2 C3 E3 G3"},
};

const char* dark_progression =
    "Dm | Dm | Bb | A | "
    "Dm | Bb | Gm | A | Dm | F | Gm:2 A:2 | Dm | "
    "Bb | C | Gm | A | "
    "Dm | Bb | Gm:2 A:2 | Dm |";

const char* dark_drone = "[D1+A1:8 |]*10";

const char* dark_bass =
    "D2:4 | D2:4 | Bb1:4 | A1:4 | "
    "D2:2 A1:2 | Bb1:2 F2:2 | G1:2 D2:2 | A1:2 E2:2 | D2:2 A1:2 | F2:2 C2:2 | G1:2 A1:2 | D2:4 | "
    "Bb1:2 F2:2 | C2:2 G2:2 | G1:2 D2:2 | A1:2 A1:1 C#2:1 | "
    "D2:2 A1:2 | Bb1:2 F2:2 | G1:2 A1:2 | D2:4 |";

const std::string dark_intro = "r:4 | r:4 | r:4 | r:3 A3:1@0.8 | ";
const std::string dark_a =
    "D4:3 A3:1 | F4:2 D4:1 Bb3:1 | G4:1.5 F4:0.5 D4:2 | E4:2 C#4:2 | "
    "D4:3 F4:1 | A4:2 G4:1 F4:1 | G4:2 E4:1 C#4:1 | D4:4 | ";
const std::string dark_b = "Bb4:2 A4:1 G4:1 | G4:2 F4:1 E4:1 | D4:2 G4:1 Bb4:1 | A4:3 A3:1 | ";
const std::string dark_a2 = "D4:3 A3:1 | F4:2 D4:1 Bb3:1 | G4:1 F4:1 E4:1 C#4:1 | D4:4 |";
// In the B section the brass is doubled an octave down, for weight.
const std::string dark_low_brass = "[r:4 |]*12 " + dark_b + "[r:4 |]*4";

const char* dark_drums =
    "boom:2 boom:2@0.6 | boom:2 boom:2@0.6 | boom:1 r:1 boom:1 r:1 | "
    "boom:1 r:1 boom:1 tom:0.5@0.6 tom:0.5@0.8 | "
    "[boom:1 r:1 boom:1 crack:1@0.7 | boom:1 r:1 boom:1 boom:0.5@0.5 crack:0.5@0.8 |]*7 "
    "boom:1 r:1 boom:1 crack:1 | "
    "boom:1 tom:0.5@0.6 tom:0.5@0.65 tom:0.5@0.7 tom:0.5@0.75 tom:0.5@0.85 tom:0.5@0.95 |";

const char* dark_bell = "bell:4 | r:4 | bell:4@0.8 | r:4 | [r:4 |]*8 bell:4@0.9 | [r:4 |]*7";

void render_fastelmo(std::vector<float>& left, std::vector<float>& right) {
    song s = start_song("fastelmo", music_rate, dark_bpm, dark_beats_per_bar, dark_bars, 0xda7cULL);
    const double bar = dark_beats_per_bar;
    auto chords = parse_progression(dark_progression, bar);

    play_track(s, "drone", parse_track(dark_drone, bar), drone, {0.5, 0.0, 0.0, 0});
    play_track(s, "bass", parse_track(dark_bass, bar), low_strings, {0.6, -0.15, 0.0, 0});
    play_track(s, "choir", held_chords(chords, dark_chords, {2, 3, 4}), choir, {0.45, 0.2, 0.0, 0});
    play_track(s, "brass", parse_track(dark_intro + dark_a + dark_b + dark_a2, bar), dark_brass,
               {1.1, 0.1, 0.0, 0});
    play_track(s, "low brass", parse_track(dark_low_brass, bar), dark_brass, {0.6, -0.2, 0.0, -12});
    play_drums(s, "drums", parse_track(dark_drums, bar),
               {{"boom", war_drum}, {"tom", low_tom}, {"crack", deep_snare}}, {0.9, 0.0, 0.004, 0});
    play_drums(s, "bell", parse_track(dark_bell, bar), {{"bell", tolling_bell}}, {0.7, -0.3, 0.0, 0});

    // Small speakers give nothing below 150 Hz and muddy what they try to: the weight is
    // carried by the drone's and the drums' overtones, and the brass and the choir cut through.
    finish_song(s, {0.88, 0.5, 0.3, 170.0, 0.45, 2200.0, 2.0, music_level_db, ogg_ceiling});
    left = std::move(s.left);
    right = std::move(s.right);
}

}  // namespace

const std::vector<music_piece>& music_pieces() {
    static const std::vector<music_piece> pieces = {
        {"creek.ogg", "Creek", render_creek},
        {"fastelmo.ogg", "Fastelmo", render_fastelmo},
    };
    return pieces;
}
