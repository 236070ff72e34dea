// Instrument recipes; see instruments.h.
#include "instruments.h"

#include <algorithm>
#include <cmath>

namespace {

size_t samples(double seconds, double rate) { return static_cast<size_t>(seconds * rate); }

// A free-running oscillator phase in cycles.
struct phasor {
    double phase = 0.0;
    double advance(double step) {
        phase += step;
        phase -= std::floor(phase);
        return phase;
    }
};

}  // namespace

void harp(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
          noise_source&) {
    // Low strings ring longer; higher partials die sooner, as on a real string.
    double ring = std::clamp(1.6 * std::pow(196.0 / hz, 0.4), 0.45, 3.0);
    double len = seconds + 1.8;
    out.assign(samples(len, rate), 0.0f);
    for (int n = 1; n <= 10; ++n) {
        // Plucked near one end: that position sets how strongly each partial sounds.
        double amp = 0.5 * velocity * std::fabs(std::sin(n * pi * 0.18)) / n;
        double partial = hz * n * (1.0 + 0.0003 * n * n);
        add_mode(out, 0, rate, partial, amp, ring / (1.0 + 0.6 * (n - 1)), 0.002, len);
    }
    fade_edges(out, rate, 0.0, 0.3);
}

void warm_pad(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
              noise_source& ns) {
    const double ratios[3] = {1.0, 1.0058, 0.9951};
    phasor osc[3];
    for (auto& o : osc) o.phase = noise_uniform(ns);
    svf f;
    svf_tune(f, std::min(1100.0, hz * 5.0), 0.7, rate);
    out.assign(samples(seconds + 1.4, rate), 0.0f);
    for (size_t i = 0; i < out.size(); ++i) {
        double raw = 0.0;
        for (int k = 0; k < 3; ++k) {
            double step = hz * ratios[k] / rate;
            raw += blep_saw(osc[k].advance(step), step);
        }
        double e = env_ahr(i / rate, 0.9, seconds, 1.3);
        out[i] = static_cast<float>(0.16 * velocity * e * svf_step(f, raw).low);
    }
}

void round_bass(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
                noise_source&) {
    out.assign(samples(seconds + 0.5, rate), 0.0f);
    phasor osc;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double p = osc.advance(hz / rate);
        double tone = sine_cycles(p) + 0.25 * sine_cycles(2.0 * p) + 0.08 * sine_cycles(3.0 * p);
        double e = env_strike(t, 0.012, 1.5) * env_ahr(t, 1e-4, seconds, 0.4);
        out[i] = static_cast<float>(0.5 * velocity * e * tone);
    }
}

void flute(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
           noise_source& ns) {
    out.assign(samples(seconds + 0.25, rate), 0.0f);
    phasor osc;
    svf breath;
    svf_tune(breath, hz * 2.0, 1.5, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double vibrato = 1.0 + 0.004 * std::clamp((t - 0.25) / 0.4, 0.0, 1.0) * sine_cycles(5.0 * t);
        double p = osc.advance(hz * vibrato / rate);
        double tone = sine_cycles(p) + 0.22 * sine_cycles(2.0 * p) + 0.06 * sine_cycles(3.0 * p);
        // Breath noise, strongest in the "chiff" as the note speaks.
        double air = svf_step(breath, noise_signed(ns)).band * (0.08 + 0.5 * std::exp(-t / 0.03));
        double e = env_ahr(t, 0.07, std::max(0.0, seconds - 0.02), 0.18);
        out[i] = static_cast<float>(0.3 * velocity * e * (tone + air));
    }
}

void frame_drum(std::vector<float>& out, double rate, double velocity, noise_source& ns) {
    out.assign(samples(0.6, rate), 0.0f);
    add_thud(out, 0, rate, 105, 68, 0.03, 0.8 * velocity, 0.16);
    add_noise_hit(out, 0, rate, ns, 300, 0.7, 0.5 * velocity, 0.001, 0.02);
}

void shaker(std::vector<float>& out, double rate, double velocity, noise_source& ns) {
    out.assign(samples(0.12, rate), 0.0f);
    svf f;
    svf_tune(f, 3800, 1.0, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        double e = env_ahr(i / rate, 0.012, 0.02, 0.06);
        out[i] = static_cast<float>(0.8 * velocity * e * svf_step(f, noise_signed(ns)).band);
    }
}

void add_brook(song& s, double gain, uint64_t seed) {
    noise_source ns{seed};
    const size_t n = s.loop;
    const double loop_seconds = n / s.rate;
    for (int channel = 0; channel < 2; ++channel) {
        std::vector<float>& out = channel == 0 ? s.left : s.right;
        std::vector<float> noise(n);
        for (float& x : noise) x = static_cast<float>(noise_signed(ns));
        svf high, low;
        svf_tune(high, 2600, 2.0, s.rate);
        svf_tune(low, 1300, 3.0, s.rate);
        // Run the filters over the loop's end first, so its start carries on from it.
        for (size_t i = n - 2048; i < n; ++i) {
            svf_step(high, noise[i]);
            svf_step(low, noise[i]);
        }
        for (size_t i = 0; i < n; ++i) {
            double lap = static_cast<double>(i) / n;
            double swell = 0.55 + 0.25 * sine_cycles(7.0 * lap + 0.3 * channel) +
                           0.2 * sine_cycles(13.0 * lap + 0.1 + 0.5 * channel);
            double water = 0.7 * svf_step(high, noise[i]).band + 0.5 * svf_step(low, noise[i]).band;
            out[i] += static_cast<float>(gain * swell * water);
        }
    }
    // Droplets: little upward-gliding blips scattered across the stereo field.
    std::vector<float> drop(samples(0.08, s.rate));
    const int count = static_cast<int>(loop_seconds * 3.0);
    for (int d = 0; d < count; ++d) {
        double start = noise_uniform(ns) * loop_seconds;
        double hz = noise_between(ns, 700, 1800);
        double level = noise_between(ns, 0.3, 1.0);
        double pan = noise_between(ns, -0.7, 0.7);
        phasor osc;
        for (size_t i = 0; i < drop.size(); ++i) {
            double t = i / s.rate;
            double p = osc.advance(hz * (1.0 + 0.8 * (1.0 - std::exp(-t / 0.012))) / s.rate);
            drop[i] = static_cast<float>(env_strike(t, 0.002, 0.012) * sine_cycles(p));
        }
        mix_in(s, drop, start, gain * 0.5 * level, pan);
    }
}

void drone(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
           noise_source& ns) {
    out.assign(samples(seconds + 2.5, rate), 0.0f);
    phasor a, b;
    b.phase = noise_uniform(ns);
    double sweep = noise_uniform(ns);
    svf f;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        // A slow, resonant growl: the filter breathes open and shut.
        if (i % 32 == 0) svf_tune(f, 150.0 + 90.0 * (0.5 + 0.5 * sine_cycles(0.09 * t + sweep)), 1.6, rate);
        double step_a = hz / rate, step_b = hz * 1.0035 / rate;
        double pa = a.advance(step_a), pb = b.advance(step_b);
        double raw = blep_saw(pa, step_a) + blep_saw(pb, step_b) + 0.8 * sine_cycles(pa);
        double e = env_ahr(t, 2.5, seconds, 2.5);
        out[i] = static_cast<float>(0.22 * velocity * e * svf_step(f, raw).low);
    }
}

void low_strings(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
                 noise_source& ns) {
    out.assign(samples(seconds + 0.4, rate), 0.0f);
    phasor a, b;
    b.phase = noise_uniform(ns);
    svf f;
    svf_tune(f, 380.0 + hz * 1.5, 0.8, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double step_a = hz * 0.997 / rate, step_b = hz * 1.003 / rate;
        double pa = a.advance(step_a), pb = b.advance(step_b);
        double raw = blep_saw(pa, step_a) + blep_saw(pb, step_b) + 0.4 * blep_square(pa, step_a);
        double e = env_ahr(t, 0.07, std::max(0.0, seconds - 0.05), 0.35);
        out[i] = static_cast<float>(0.3 * velocity * e * svf_step(f, raw).low);
    }
}

void choir(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
           noise_source& ns) {
    const double ratios[3] = {0.996, 1.0, 1.0045};
    phasor osc[3];
    for (auto& o : osc) o.phase = noise_uniform(ns);
    svf body, ah1, ah2, ring;
    svf_tune(body, 1100, 0.6, rate);
    // Two formants near an open "ah", and the ring trained voices carry near 3 kHz.
    svf_tune(ah1, 650, 2.5, rate);
    svf_tune(ah2, 1050, 3.0, rate);
    svf_tune(ring, 2800, 3.0, rate);
    out.assign(samples(seconds + 1.6, rate), 0.0f);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double vibrato = 1.0 + 0.003 * sine_cycles(4.6 * t);
        double raw = 0.0;
        for (int k = 0; k < 3; ++k) {
            double step = hz * ratios[k] * vibrato / rate;
            raw += blep_saw(osc[k].advance(step), step);
        }
        double voiced = 0.5 * svf_step(body, raw).low + 0.9 * svf_step(ah1, raw).band +
                        0.5 * svf_step(ah2, raw).band + 0.45 * svf_step(ring, raw).band;
        double e = env_ahr(t, 1.2, seconds, 1.6);
        out[i] = static_cast<float>(0.15 * velocity * e * voiced);
    }
}

void dark_brass(std::vector<float>& out, double rate, double hz, double seconds, double velocity,
                noise_source& ns) {
    out.assign(samples(seconds + 0.35, rate), 0.0f);
    phasor a, b;
    b.phase = noise_uniform(ns);
    svf f;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double vibrato =
            1.0 + 0.006 * std::clamp((t - 0.35) / 0.5, 0.0, 1.0) * sine_cycles(5.2 * t);
        if (i % 16 == 0) {
            // The tone swells open as the note speaks, then settles darker.
            double open = std::min(1.0, t / 0.09) * (0.45 + 0.55 * std::exp(-t / 0.25));
            svf_tune(f, hz * (2.0 + 4.5 * open), 1.3, rate);
        }
        double step_a = hz * vibrato / rate, step_b = hz * 1.003 * vibrato / rate;
        double pa = a.advance(step_a), pb = b.advance(step_b);
        double raw = blep_saw(pa, step_a) + blep_saw(pb, step_b) + 0.25 * blep_square(pa, step_a);
        double e = env_ahr(t, 0.06, std::max(0.0, seconds - 0.03), 0.3);
        out[i] = static_cast<float>(0.3 * velocity * e * svf_step(f, raw).low);
    }
}

void war_drum(std::vector<float>& out, double rate, double velocity, noise_source& ns) {
    out.assign(samples(1.6, rate), 0.0f);
    add_thud(out, 0, rate, 80, 44, 0.05, velocity, 0.45);
    add_thud(out, 0, rate, 128, 70, 0.05, 0.3 * velocity, 0.15);
    add_noise_hit(out, 0, rate, ns, 250, 0.7, 0.9 * velocity, 0.001, 0.05);
    add_noise_hit(out, 0, rate, ns, 900, 1.0, 0.4 * velocity, 0.0005, 0.012);
}

void low_tom(std::vector<float>& out, double rate, double velocity, noise_source& ns) {
    out.assign(samples(0.8, rate), 0.0f);
    add_thud(out, 0, rate, 130, 92, 0.04, 0.8 * velocity, 0.22);
    add_noise_hit(out, 0, rate, ns, 400, 0.7, 0.6 * velocity, 0.001, 0.03);
}

void deep_snare(std::vector<float>& out, double rate, double velocity, noise_source& ns) {
    out.assign(samples(0.7, rate), 0.0f);
    add_noise_hit(out, 0, rate, ns, 1400, 0.8, 1.1 * velocity, 0.001, 0.11);
    add_noise_hit(out, 0, rate, ns, 3200, 1.0, 0.6 * velocity, 0.001, 0.06);
    add_thud(out, 0, rate, 210, 170, 0.02, 0.5 * velocity, 0.07);
    add_noise_hit(out, 0, rate, ns, 500, 0.8, 0.5 * velocity, 0.001, 0.04);
}

void tolling_bell(std::vector<float>& out, double rate, double velocity, noise_source&) {
    const double hz = 146.83;  // D3, the piece's tonic
    const double partials[][3] = {{0.5, 0.35, 3.2}, {1.0, 0.6, 2.6}, {1.2, 0.4, 2.0},
                                  {1.5, 0.25, 1.6}, {2.0, 0.45, 1.3}, {2.51, 0.2, 0.9},
                                  {3.0, 0.15, 0.7}, {4.07, 0.08, 0.4}};
    double len = 7.0;
    out.assign(samples(len, rate), 0.0f);
    for (const auto& p : partials)
        add_mode(out, 0, rate, hz * p[0], 0.4 * velocity * p[1], p[2], 0.002, len);
    fade_edges(out, rate, 0.0, 1.0);
}
