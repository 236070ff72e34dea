// The battle march: a steady 4/4 in D minor at 112 beats a minute, four rows to the beat.
// Channels: 1 brass melody, 2 plucked bass, 3 strings, 4 drums. Each line below is one bar.
#include "instruments.h"
#include "songs.h"

namespace {

enum : int { bass = 1, brass = 2, strings = 3, kick = 4, snare = 5 };

const char* const rest = "-   -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";

// ---- melody --------------------------------------------------------------------------------
// The theme climbs the D minor chord in dotted steps and falls back to the leading tone.
const char* const theme_1 = "D-2 -   -   D-2 F-2 -   -   D-2 A-2 -   -   -   ~   ~   ~   ~  ";
const char* const theme_2 = "A-2 -   -   A#2 A-2 -   -   G-2 F-2 -   -   -   E-2 -   -   -  ";
const char* const theme_3 = "D-2 -   -   F-2 A#2 -   -   -   A-2 -   -   -   G-2 -   -   -  ";
const char* const theme_4 = "E-2 -   -   F-2 E-2 -   -   D-2 C#2 -   -   -   ~   ~   ~   ~  ";
// The answer reaches up through G minor and comes home to D.
const char* const answer_2 = "A#2 -   -   A-2 G-2 -   -   A-2 A#2 -   -   -   D-3 -   -   -  ";
const char* const answer_3 = "C#3 -   -   -   A-2 -   -   G-2 F-2 -   G-2 -   E-2 -   -   -  ";
const char* const answer_4 = "D-2 -   -   -   ~   ~   ~   ~   ~   ~   ~   ~   ^   -   -   -  ";
// The bridge hammers on the high D and leans on E flat for an older, darker colour.
const char* const bridge_1 = "D-3 -   -   D-3 D-3 -   -   C-3 A#2 -   -   -   G-2 -   -   -  ";
const char* const bridge_2 = "A-2 -   -   A-2 A-2 -   -   G-2 F-2 -   -   -   D-2 -   -   -  ";
const char* const bridge_3 = "D#3 -   -   D-3 C-3 -   -   A#2 G-2 -   -   -   A#2 -   -   -  ";
const char* const bridge_4 = "A-2 -   -   -   ~   ~   ~   ~   C#3 -   -   -   E-3 -   -   -  ";
const char* const climb_1 = "F-3 -   -   E-3 D-3 -   -   C-3 A-2 -   -   -   F-2 -   -   -  ";
const char* const climb_2 = "E-3 -   -   D-3 C-3 -   -   A#2 G-2 -   -   -   E-2 -   -   -  ";
const char* const climb_3 = "D-3 -   -   C-3 A#2 -   -   A-2 G-2 -   -   -   A#2 -   -   -  ";
const char* const climb_4 = "A-2 -   -   -   ~   ~   ~   ~   ~   ~   ~   ~   ^   -   -   -  ";
// While the drums roll, the brass only calls.
const char* const call_2 = "-   -   -   -   -   -   -   -   -   -   -   -   A-1 -   -   A-1";
const char* const call_3 = "D-2 -   -   -   D-2 -   -   D-2 F-2 -   -   -   D-2 -   -   -  ";
const char* const call_4 = "E-2 -   -   E-2 E-2 -   -   -   C#2 -   -   -   A-1 -   -   -  ";
// The theme again an octave up, with the strings carrying it below.
const char* const high_1 = "D-3 -   -   D-3 F-3 -   -   D-3 A-3 -   -   -   ~   ~   ~   ~  ";
const char* const high_2 = "A-3 -   -   A#3 A-3 -   -   G-3 F-3 -   -   -   E-3 -   -   -  ";
const char* const high_3 = "D-3 -   -   F-3 A#3 -   -   -   A-3 -   -   -   G-3 -   -   -  ";
const char* const high_4 = "E-3 -   -   F-3 E-3 -   -   D-3 C#3 -   -   -   ~   ~   ~   ~  ";

// ---- bass: root and fifth on the beat, cut short like a march band's tuba --------------------
const char* const bass_dm = "D-1 -   ^   -   A-1 -   ^   -   D-1 -   ^   -   A-1 -   ^   -  ";
const char* const bass_bb = "A#1 -   ^   -   F-1 -   ^   -   A#1 -   ^   -   F-1 -   ^   -  ";
const char* const bass_a = "A-1 -   ^   -   E-1 -   ^   -   A-1 -   ^   -   E-1 -   C#1 -  ";
const char* const bass_gm = "G-1 -   ^   -   D-1 -   ^   -   G-1 -   ^   -   D-1 -   ^   -  ";
const char* const bass_eb = "D#1 -   ^   -   A#1 -   ^   -   D#1 -   ^   -   A#1 -   ^   -  ";
const char* const bass_f = "F-1 -   ^   -   C-1 -   ^   -   F-1 -   ^   -   C-1 -   ^   -  ";
const char* const bass_c = "C-2 -   ^   -   G-1 -   ^   -   C-2 -   ^   -   G-1 -   ^   -  ";
const char* const bass_dm_end = "D-1 -   ^   -   A-1 -   ^   -   D-1 -   -   -   -   -   ^   -  ";

// ---- strings: one or two held notes a bar ----------------------------------------------------
const char* const hold_f2 = "F-2 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_e2 = "E-2 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_d2 = "D-2 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_cs2 = "C#2 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_as1 = "A#1 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_a1 = "A-1 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const hold_g1 = "G-1 -   -   -   -   -   -   -   -   -   -   -   -   -   -   -  ";
const char* const e2_d2 = "E-2 -   -   -   -   -   -   -   D-2 -   -   -   -   -   -   -  ";
const char* const e2_cs2 = "E-2 -   -   -   -   -   -   -   C#2 -   -   -   -   -   -   -  ";
const char* const g1_as1 = "G-1 -   -   -   -   -   -   -   A#1 -   -   -   -   -   -   -  ";
const char* const a1_cs2 = "A-1 -   -   -   -   -   -   -   C#2 -   -   -   -   -   -   -  ";
const char* const d2_f2 = "D-2 -   -   -   -   -   -   -   F-2 -   -   -   -   -   -   -  ";
const char* const a2_f2 = "A-2 -   -   -   -   -   -   -   F-2 -   -   -   -   -   -   -  ";

// ---- drums: k kick, s snare, S accent, g ghost note, r a row of snare roll -------------------
const char* const cadence = "s   -   g   g   s   -   g   g   s   -   g   g   r   r   S   -  ";
const char* const march = "k   -   -   -   s   -   -   g   k   -   g   -   s   -   -   -  ";
const char* const march_roll = "k   -   -   -   s   -   -   g   k   -   g   -   r   r   S   -  ";
const char* const march_end = "k   -   -   -   s   -   -   g   k   -   -   -   S   -   -   -  ";
const char* const fill = "k   -   -   -   s   -   -   g   k   -   r   r   r   r   S   -  ";
const char* const long_roll = "r   r   r   r   r   r   r   r   S   -   -   -   k   -   -   -  ";
const char* const roll_answer = "k   -   -   -   k   -   -   -   r   r   r   r   S   -   S   -  ";

std::string bars(const char* a, const char* b, const char* c, const char* d)
{
    return std::string(a) + " | " + b + " | " + c + " | " + d;
}

}  // namespace

mod_song make_pyramid()
{
    mod_song song;
    song.title = "umbrafront march";
    song.samples = {make_pluck_bass(64), make_brass(44), make_string_pad(30), make_kick(64),
                    make_snare(52)};
    // Heard through the game's mixer, this brings the piece to the loudness of the other three.
    scale_volumes(song, 0.85);

    const voice lead{brass, {}};
    const voice low{bass, {}};
    const voice pad{strings, {}};
    const voice drums{0,
                      {{"k", {drum_period, kick, 0, 0}},
                       {"s", {drum_period, snare, 0, 0}},
                       {"S", {drum_period, snare, 0xC, 0x40}},
                       {"g", {drum_period, snare, 0xC, 0x14}},
                       {"r", {drum_period, snare, 0xE, 0x93}}}};

    song.patterns = {
        // 0: the drums' cadence over the bass and strings holding D minor from the first beat
        // (drums alone would start the battle all but silent); the brass calls the theme in
        make_pattern({{{lead, bars(rest, rest, rest, call_2)},
                       {low, bars(bass_dm, bass_dm, bass_dm, bass_a)},
                       {pad, bars(hold_d2, hold_f2, hold_f2, hold_e2)},
                       {drums, bars(cadence, cadence, march, march_roll)}}}),
        // 1: the theme, Dm Dm Bb A
        make_pattern({{{lead, bars(theme_1, theme_2, theme_3, theme_4)},
                       {low, bars(bass_dm, bass_dm, bass_bb, bass_a)},
                       {pad, bars(hold_f2, e2_d2, hold_d2, hold_cs2)},
                       {drums, bars(march, march, march, fill)}}}),
        // 2: the answer, Dm Gm A Dm
        make_pattern({{{lead, bars(theme_1, answer_2, answer_3, answer_4)},
                       {low, bars(bass_dm, bass_gm, bass_a, bass_dm_end)},
                       {pad, bars(hold_f2, hold_d2, e2_cs2, hold_d2)},
                       {drums, bars(march, march, march_roll, march_end)}}}),
        // 3: the bridge, Gm Dm Eb A
        make_pattern({{{lead, bars(bridge_1, bridge_2, bridge_3, bridge_4)},
                       {low, bars(bass_gm, bass_dm, bass_eb, bass_a)},
                       {pad, bars(hold_as1, hold_a1, g1_as1, a1_cs2)},
                       {drums, bars(march, march, march, fill)}}}),
        // 4: the bridge climbs, F C Gm A
        make_pattern({{{lead, bars(climb_1, climb_2, climb_3, climb_4)},
                       {low, bars(bass_f, bass_c, bass_gm, bass_a)},
                       {pad, bars(hold_a1, hold_g1, hold_as1, hold_cs2)},
                       {drums, bars(march, march, march_roll, long_roll)}}}),
        // 5: the drums take over, the brass calls, Dm Dm Bb A
        make_pattern({{{lead, bars(rest, call_2, call_3, call_4)},
                       {low, bars(bass_dm, bass_dm, bass_bb, bass_a)},
                       {pad, bars(d2_f2, a2_f2, hold_f2, e2_cs2)},
                       {drums, bars(long_roll, roll_answer, long_roll, fill)}}}),
        // 6: the theme high, the strings below it
        make_pattern({{{lead, bars(high_1, high_2, high_3, high_4)},
                       {low, bars(bass_dm, bass_dm, bass_bb, bass_a)},
                       {pad, bars(theme_1, theme_2, theme_3, theme_4)},
                       {drums, bars(march, march_roll, march, fill)}}}),
    };
    set_timing(song.patterns[0], 6, 112);
    // Ends on the answer's D, which leads straight back into the opening drums.
    song.order = {0, 1, 2, 3, 4, 5, 6, 2};
    return song;
}
