// The instruments our modules play, synthesized from scratch. Pitched ones repeat every 32
// samples (64 for the bass), so every instrument is in tune with the others at the same note;
// the drums are tuned to be played at a fixed note (drum_note / hihat_note).
#pragma once

#include "mod_writer.h"

// Playback rate of a sample played at period p, from the Amiga's clock.
constexpr double amiga_rate(int period) { return 3546894.6 / period; }

constexpr int drum_period = 428;   // C-2: kick and snare are made for this rate
constexpr int hihat_period = 214;  // C-3: the hi-hat needs the higher rate for its top end

mod_sample make_pluck_bass(int volume);   // string pluck that rings on quietly
mod_sample make_brass(int volume);        // bright horn-like lead that opens up after the attack
mod_sample make_pulse_lead(int volume);   // pulse wave whose width slowly sweeps
mod_sample make_string_pad(int volume);   // three slightly detuned soft saws, slow attack
mod_sample make_chime(int volume);        // short bell for arpeggios, plays once
mod_sample make_kick(int volume);
mod_sample make_snare(int volume);
mod_sample make_hihat(int volume);
