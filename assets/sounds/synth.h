// The small synthesizer every sound effect and piece of music is built from: oscillators,
// noise, envelopes, filters, a room reverb and a band-limited resampler. All of it is plain
// arithmetic on seeded state, so the same build writes the same bytes every time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr double pi = 3.14159265358979323846;

// xorshift64*: each sound seeds its own, so changing one never reshuffles another's noise.
struct noise_source {
    uint64_t state;
};
double noise_uniform(noise_source& n);  // [0, 1)
double noise_signed(noise_source& n);   // [-1, 1)
double noise_between(noise_source& n, double lo, double hi);

// Equal temperament, A4 = MIDI 69 = 440 Hz.
double midi_to_hz(double midi);

// Sine of a phase measured in cycles, from a table (errors around -100 dB).
double sine_cycles(double phase);

// Sawtooth and square with their jumps smoothed by PolyBLEP: phase in [0, 1), step = hz / rate.
double blep_saw(double phase, double step);
double blep_square(double phase, double step);

// Topology-preserving state-variable filter; one pass gives low, band and high outputs and it
// stays stable while the cutoff moves.
struct svf {
    double k = 1, a1 = 0, a2 = 0, a3 = 0;
    double ic1 = 0, ic2 = 0;
};
struct svf_out {
    double low, band, high;
};
void svf_tune(svf& f, double cutoff_hz, double q, double rate);
svf_out svf_step(svf& f, double x);

struct one_pole {
    double a = 0, z = 0;
};
void one_pole_tune(one_pole& f, double cutoff_hz, double rate);
double one_pole_low(one_pole& f, double x);

// Linear rise over `attack` seconds, full level until `hold`, linear fall over `release`.
double env_ahr(double t, double attack, double hold, double release);
// Fast rise over `attack`, then exponential decay with time constant `tau`.
double env_strike(double t, double attack, double tau);

// Adds a struck or plucked mode: a sine at `hz` that rises over `attack_s` and dies away with
// time constant `tau`, for at most `max_s` seconds from sample `start` (clipped to `out`).
void add_mode(std::vector<float>& out, size_t start, double rate, double hz, double amp,
              double tau, double attack_s, double max_s);

// A drum-like thud from sample `start`: a sine whose pitch falls from `from_hz` towards `to_hz`
// with time constant `sweep_tau`, dying away with time constant `tau`.
void add_thud(std::vector<float>& out, size_t start, double rate, double from_hz, double to_hz,
              double sweep_tau, double amp, double tau);

// Struck noise through a band-pass: knocks, ticks, crunches, drum skins.
void add_noise_hit(std::vector<float>& out, size_t start, double rate, noise_source& ns, double hz,
                   double q, double amp, double attack, double tau);

// A Schroeder-style room (parallel damped combs into series allpasses), one per channel with
// slightly different lengths for width.
struct reverb {
    struct line {
        std::vector<float> buf;
        size_t pos = 0;
        float store = 0;
    };
    line combs[2][4];
    line allpasses[2][2];
    float feedback = 0.8f, damp = 0.3f;
};
void reverb_init(reverb& r, double rate, double room, double damp);
// Feeds one mono sample in and returns the wet left and right outputs.
void reverb_step(reverb& r, float in, float& out_left, float& out_right);

// Decimates by an integer factor after a windowed-sinc low-pass just under the new Nyquist.
std::vector<float> downsample(const std::vector<float>& in, int factor);

// Scales so the largest magnitude is `peak`; returns the gain used.
double normalize_peak(std::vector<float>& samples, double peak);

// Rounds off the tallest peaks the way an overdriven preamp does: scaled to peak 1, then
// through tanh(drive * x), which leaves quiet parts nearly alone. The result peaks at 1.
void saturate(std::vector<float>& samples, double drive);

// Short linear fades at both ends so a sound never starts or stops on a step.
void fade_edges(std::vector<float>& samples, double rate, double fade_in_s, double fade_out_s);
