// The Light's winning theme: bright G major at 144 beats a minute, four rows to the beat.
// Channels: 1 pulse lead, 2 octave-jumping bass, 3 chime arpeggios (strings in the
// breakdown), 4 drums. Each line below is one bar.
#include "instruments.h"
#include "songs.h"

namespace {

enum : int { bass = 1, pulse = 2, chime = 3, kick = 4, snare = 5, hihat = 6, strings = 7 };

const char* const rest = "-   -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";

// ---- melody --------------------------------------------------------------------------------
const char* const run_up = "-   -   -   -   -   -   -   -   D-2 -   E-2 -   F#2 -   -   -  ";
// The theme leaps up the G chord and floats down through D, E minor and C.
const char* const theme_1 = "G-2 -   B-2 -   D-3 -   -   -   B-2 -   D-3 -   G-3 -   -   -  ";
const char* const theme_2 = "F#3 -   -   -   ~   ~   E-3 -   D-3 -   -   -   A-2 -   -   -  ";
const char* const theme_3 = "B-2 -   -   -   E-3 -   -   -   D-3 -   B-2 -   G-2 -   -   -  ";
const char* const theme_4 = "E-3 -   -   -   ~   ~   D-3 -   C-3 -   -   -   B-2 -   A-2 -  ";
// The answer reaches the high A and rises into the next part.
const char* const answer_2 = "F#3 -   -   -   A-3 -   -   -   F#3 -   E-3 -   D-3 -   -   -  ";
const char* const answer_3 = "E-3 -   -   -   G-3 -   -   -   E-3 -   D-3 -   C-3 -   -   -  ";
const char* const answer_4 = "D-3 -   -   -   ~   ~   ~   ~   E-3 -   -   -   F#3 -   -   -  ";
const char* const bridge_1 = "G-3 -   -   -   F#3 -   E-3 -   B-2 -   -   -   ~   ~   ~   ~  ";
const char* const bridge_2 = "C-3 -   D-3 -   E-3 -   -   -   G-3 -   -   -   E-3 -   -   -  ";
const char* const bridge_3 = "D-3 -   G-3 -   D-3 -   B-2 -   G-2 -   -   -   B-2 -   D-3 -  ";
const char* const bridge_4 = "A-2 -   -   -   ~   ~   B-2 -   C-3 -   D-3 -   -   -   ~   ~  ";
// The lift: E flat and F borrowed from G minor, pushing up to the home chord.
const char* const lift_1 = "G-3 -   -   -   ~   ~   F-3 -   D#3 -   -   -   A#2 -   -   -  ";
const char* const lift_2 = "A-3 -   -   -   ~   ~   G-3 -   F-3 -   -   -   C-3 -   -   -  ";
const char* const lift_3 = "D-3 -   G-3 -   B-2 -   D-3 -   G-3 -   -   -   ~   ~   ~   ~  ";
const char* const lift_4 = "~   ~   ~   ~   ~   ~   ~   ~   ^   -   -   -   -   -   -   -  ";
// Breakdown: long sung notes over the strings.
const char* const float_1 = "B-2 -   -   -   ~   ~   ~   ~   ~   ~   ~   ~   A-2 -   G-2 -  ";
const char* const float_2 = "E-3 -   -   -   ~   ~   ~   ~   ~   ~   ~   ~   D-3 -   C-3 -  ";
const char* const float_3 = "D-3 -   -   -   ~   ~   ~   ~   B-2 -   -   -   G-2 -   -   -  ";
const char* const float_4 = "A-2 -   -   -   ~   ~   ~   ~   ~   ~   ~   ~   ^   -   -   -  ";
// The theme again with quick turns filled in.
const char* const turns_1 = "G-2 A-2 B-2 -   D-3 -   -   -   B-2 C-3 D-3 -   G-3 -   -   -  ";
const char* const turns_2 = "F#3 -   -   -   E-3 F#3 E-3 -   D-3 -   -   -   A-2 -   B-2 -  ";
const char* const turns_3 = "B-2 -   -   -   E-3 -   -   -   D-3 E-3 D-3 B-2 G-2 -   -   -  ";
const char* const turns_4 = "E-3 -   -   -   G-3 -   -   -   E-3 -   D-3 -   C-3 -   D-3 -  ";

// ---- bass: eighth notes jumping octaves --------------------------------------------------
const char* const bass_g = "G-1 -   G-2 -   G-1 -   G-2 -   G-1 -   G-2 -   G-1 -   G-2 -  ";
const char* const bass_d = "D-1 -   D-2 -   D-1 -   D-2 -   D-1 -   D-2 -   D-1 -   D-2 -  ";
const char* const bass_em = "E-1 -   E-2 -   E-1 -   E-2 -   E-1 -   E-2 -   E-1 -   E-2 -  ";
const char* const bass_c = "C-1 -   C-2 -   C-1 -   C-2 -   C-1 -   C-2 -   C-1 -   C-2 -  ";
const char* const bass_eb = "D#1 -   D#2 -   D#1 -   D#2 -   D#1 -   D#2 -   D#1 -   D#2 -  ";
const char* const bass_f = "F-1 -   F-2 -   F-1 -   F-2 -   F-1 -   F-2 -   F-1 -   F-2 -  ";
const char* const long_g = "G-1 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const long_em = "E-1 -   -   -   -   -   -   -   -   -   -   -   E-2 -   -   -  ";
const char* const long_c = "C-1 -   -   -   -   -   -   -   -   -   -   -   C-2 -   -   -  ";
const char* const long_g2 = "G-1 -   -   -   -   -   -   -   -   -   -   -   G-2 -   -   -  ";
const char* const long_d = "D-1 -   -   -   -   -   -   -   -   -   -   -   D-2 -   -   -  ";

// ---- arpeggios: each chord broken upwards four times a bar -----------------------------------
const char* const arp_g = "G-2 B-2 D-3 G-3 G-2 B-2 D-3 G-3 G-2 B-2 D-3 G-3 G-2 B-2 D-3 G-3";
const char* const arp_d = "F#2 A-2 D-3 F#3 F#2 A-2 D-3 F#3 F#2 A-2 D-3 F#3 F#2 A-2 D-3 F#3";
const char* const arp_em = "G-2 B-2 E-3 G-3 G-2 B-2 E-3 G-3 G-2 B-2 E-3 G-3 G-2 B-2 E-3 G-3";
const char* const arp_c = "G-2 C-3 E-3 G-3 G-2 C-3 E-3 G-3 G-2 C-3 E-3 G-3 G-2 C-3 E-3 G-3";
const char* const arp_eb = "G-2 A#2 D#3 G-3 G-2 A#2 D#3 G-3 G-2 A#2 D#3 G-3 G-2 A#2 D#3 G-3";
const char* const arp_f = "F-2 A-2 C-3 F-3 F-2 A-2 C-3 F-3 F-2 A-2 C-3 F-3 F-2 A-2 C-3 F-3";

// ---- strings for the breakdown -----------------------------------------------------------
const char* const hold_e2 = "E-2 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_d2 = "D-2 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const d2_fs2 = "D-2 -   -   -   -   -   -   -   F#2 -   -   -   -   -   -   -  ";

// ---- drums: k kick, s snare, S accent, r a row of snare roll, h hi-hat ----------------------
const char* const hats = "h   -   h   -   h   -   h   -   h   -   h   -   h   -   h   -  ";
const char* const hats_in = "h   -   h   -   h   -   h   -   h   -   h   -   h   h   s   s  ";
const char* const beat = "k   -   h   -   s   -   h   -   k   -   h   k   s   -   h   -  ";
const char* const beat_2 = "k   -   h   -   s   -   h   k   -   k   h   -   s   -   h   h  ";
const char* const fill = "k   -   h   -   s   -   h   -   s   -   s   s   S   -   s   s  ";
const char* const roll = "k   -   h   -   s   -   h   -   r   r   r   r   S   -   S   -  ";
const char* const half = "k   -   -   -   h   -   -   -   s   -   -   -   h   -   -   -  ";
const char* const half_fill = "k   -   -   -   h   -   -   -   s   -   s   s   r   r   S   -  ";

std::string bars(const char* a, const char* b, const char* c, const char* d)
{
    return std::string(a) + " | " + b + " | " + c + " | " + d;
}

}  // namespace

mod_song make_spacemaz()
{
    mod_song song;
    song.title = "umbrafront ascent";
    song.samples = {make_pluck_bass(60), make_pulse_lead(42), make_chime(26), make_kick(64),
                    make_snare(46), make_hihat(30), make_string_pad(34)};
    // Heard through the game's mixer, this brings the piece to the loudness of the other three.
    scale_volumes(song, 0.91);

    const voice lead{pulse, {}};
    const voice low{bass, {}};
    const voice bell{chime, {}};
    const voice pad{strings, {}};
    const voice drums{0,
                      {{"k", {drum_period, kick, 0, 0}},
                       {"s", {drum_period, snare, 0, 0}},
                       {"S", {drum_period, snare, 0xC, 0x40}},
                       {"r", {drum_period, snare, 0xE, 0x93}},
                       {"h", {hihat_period, hihat, 0, 0}}}};

    song.patterns = {
        // 0: arpeggios and hi-hat, then the beat and a run up into the theme
        make_pattern({{{lead, bars(rest, rest, rest, run_up)},
                       {low, bars(long_g, long_g, bass_c, bass_d)},
                       {bell, bars(arp_g, arp_g, arp_c, arp_d)},
                       {drums, bars(hats, hats_in, beat, fill)}}}),
        // 1: the theme, G D Em C
        make_pattern({{{lead, bars(theme_1, theme_2, theme_3, theme_4)},
                       {low, bars(bass_g, bass_d, bass_em, bass_c)},
                       {bell, bars(arp_g, arp_d, arp_em, arp_c)},
                       {drums, bars(beat, beat, beat, beat_2)}}}),
        // 2: the answer, G D C D
        make_pattern({{{lead, bars(theme_1, answer_2, answer_3, answer_4)},
                       {low, bars(bass_g, bass_d, bass_c, bass_d)},
                       {bell, bars(arp_g, arp_d, arp_c, arp_d)},
                       {drums, bars(beat, beat, beat, fill)}}}),
        // 3: the bridge, Em C G D
        make_pattern({{{lead, bars(bridge_1, bridge_2, bridge_3, bridge_4)},
                       {low, bars(bass_em, bass_c, bass_g, bass_d)},
                       {bell, bars(arp_em, arp_c, arp_g, arp_d)},
                       {drums, bars(beat_2, beat, beat_2, fill)}}}),
        // 4: the lift, Eb F G G
        make_pattern({{{lead, bars(lift_1, lift_2, lift_3, lift_4)},
                       {low, bars(bass_eb, bass_f, bass_g, bass_g)},
                       {bell, bars(arp_eb, arp_f, arp_g, arp_g)},
                       {drums, bars(beat, beat, beat, roll)}}}),
        // 5: breakdown at half time, Em C G D
        make_pattern({{{lead, bars(float_1, float_2, float_3, float_4)},
                       {low, bars(long_em, long_c, long_g2, long_d)},
                       {pad, bars(hold_e2, hold_e2, hold_d2, d2_fs2)},
                       {drums, bars(half, half, half, half_fill)}}}),
        // 6: the theme with turns, G D Em C
        make_pattern({{{lead, bars(turns_1, turns_2, turns_3, turns_4)},
                       {low, bars(bass_g, bass_d, bass_em, bass_c)},
                       {bell, bars(arp_g, arp_d, arp_em, arp_c)},
                       {drums, bars(beat_2, beat_2, beat_2, fill)}}}),
    };
    set_timing(song.patterns[0], 6, 144);
    // Ends on the lift's G chord, which the opening arpeggio picks up again.
    song.order = {0, 1, 2, 3, 4, 5, 6, 2, 3, 4};
    return song;
}
