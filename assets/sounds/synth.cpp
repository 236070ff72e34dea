// The synthesizer's building blocks; see synth.h.
#include "synth.h"

#include <algorithm>
#include <array>
#include <cmath>

double noise_uniform(noise_source& n) {
    n.state ^= n.state >> 12;
    n.state ^= n.state << 25;
    n.state ^= n.state >> 27;
    uint64_t x = n.state * 0x2545F4914F6CDD1DULL;
    return static_cast<double>(x >> 11) * (1.0 / 9007199254740992.0);
}

double noise_signed(noise_source& n) { return noise_uniform(n) * 2.0 - 1.0; }

double noise_between(noise_source& n, double lo, double hi) {
    return lo + (hi - lo) * noise_uniform(n);
}

double midi_to_hz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

namespace {

constexpr int sine_table_size = 4096;

const std::array<double, sine_table_size + 1>& sine_table() {
    static const std::array<double, sine_table_size + 1> table = [] {
        std::array<double, sine_table_size + 1> t{};
        for (int i = 0; i <= sine_table_size; ++i) t[i] = std::sin(2.0 * pi * i / sine_table_size);
        return t;
    }();
    return table;
}

double poly_blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

double sine_cycles(double phase) {
    const auto& table = sine_table();
    double p = (phase - std::floor(phase)) * sine_table_size;
    int i = static_cast<int>(p);
    double f = p - i;
    return table[i] + (table[i + 1] - table[i]) * f;
}

double blep_saw(double phase, double step) { return 2.0 * phase - 1.0 - poly_blep(phase, step); }

double blep_square(double phase, double step) {
    double half = phase + 0.5;
    half -= std::floor(half);
    double v = phase < 0.5 ? 1.0 : -1.0;
    return v + poly_blep(phase, step) - poly_blep(half, step);
}

void svf_tune(svf& f, double cutoff_hz, double q, double rate) {
    cutoff_hz = std::clamp(cutoff_hz, 10.0, rate * 0.45);
    double g = std::tan(pi * cutoff_hz / rate);
    f.k = 1.0 / q;
    f.a1 = 1.0 / (1.0 + g * (g + f.k));
    f.a2 = g * f.a1;
    f.a3 = g * f.a2;
}

svf_out svf_step(svf& f, double x) {
    double v3 = x - f.ic2;
    double v1 = f.a1 * f.ic1 + f.a2 * v3;
    double v2 = f.ic2 + f.a2 * f.ic1 + f.a3 * v3;
    f.ic1 = 2.0 * v1 - f.ic1;
    f.ic2 = 2.0 * v2 - f.ic2;
    return {v2, v1, x - f.k * v1 - v2};
}

void one_pole_tune(one_pole& f, double cutoff_hz, double rate) {
    f.a = 1.0 - std::exp(-2.0 * pi * cutoff_hz / rate);
}

double one_pole_low(one_pole& f, double x) {
    f.z += f.a * (x - f.z);
    return f.z;
}

double env_ahr(double t, double attack, double hold, double release) {
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    if (t < hold) return 1.0;
    double r = 1.0 - (t - std::max(hold, attack)) / release;
    return r > 0.0 ? r : 0.0;
}

double env_strike(double t, double attack, double tau) {
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

void add_mode(std::vector<float>& out, size_t start, double rate, double hz, double amp,
              double tau, double attack_s, double max_s) {
    if (hz <= 0.0 || hz >= rate * 0.48 || start >= out.size()) return;
    size_t count = std::min(out.size() - start, static_cast<size_t>(max_s * rate));
    // A decaying phasor: one complex multiply per sample instead of a sine and an exp.
    double w = 2.0 * pi * hz / rate;
    double decay = std::exp(-1.0 / (tau * rate));
    double rot_re = decay * std::cos(w), rot_im = decay * std::sin(w);
    double re = 1.0, im = 0.0;
    size_t attack_n = std::max<size_t>(1, static_cast<size_t>(attack_s * rate));
    for (size_t i = 0; i < count; ++i) {
        double gain = i < attack_n ? static_cast<double>(i) / attack_n : 1.0;
        out[start + i] += static_cast<float>(amp * gain * im);
        double nre = re * rot_re - im * rot_im;
        im = re * rot_im + im * rot_re;
        re = nre;
    }
}

void add_thud(std::vector<float>& out, size_t start, double rate, double from_hz, double to_hz,
              double sweep_tau, double amp, double tau) {
    double phase = 0.0;
    size_t count = static_cast<size_t>(tau * 8.0 * rate);
    for (size_t i = start, n = 0; i < out.size() && n < count; ++i, ++n) {
        double t = n / rate;
        phase += (to_hz + (from_hz - to_hz) * std::exp(-t / sweep_tau)) / rate;
        out[i] += static_cast<float>(amp * env_strike(t, 0.001, tau) * sine_cycles(phase));
    }
}

void add_noise_hit(std::vector<float>& out, size_t start, double rate, noise_source& ns, double hz,
                   double q, double amp, double attack, double tau) {
    svf f;
    svf_tune(f, hz, q, rate);
    size_t count = static_cast<size_t>((attack + tau * 7.0) * rate);
    for (size_t i = start, n = 0; i < out.size() && n < count; ++i, ++n) {
        double e = env_strike(n / rate, attack, tau);
        out[i] += static_cast<float>(amp * e * svf_step(f, noise_signed(ns)).band);
    }
}

void reverb_init(reverb& r, double rate, double room, double damp) {
    static const int comb_lengths[4] = {1116, 1188, 1277, 1356};
    static const int allpass_lengths[2] = {556, 441};
    double scale = rate / 44100.0;
    for (int ch = 0; ch < 2; ++ch) {
        int spread = ch * 23;
        for (int i = 0; i < 4; ++i) {
            r.combs[ch][i] = {};
            r.combs[ch][i].buf.assign(static_cast<size_t>((comb_lengths[i] + spread) * scale), 0.0f);
        }
        for (int i = 0; i < 2; ++i) {
            r.allpasses[ch][i] = {};
            r.allpasses[ch][i].buf.assign(static_cast<size_t>((allpass_lengths[i] + spread) * scale),
                                          0.0f);
        }
    }
    r.feedback = static_cast<float>(room);
    r.damp = static_cast<float>(damp);
}

void reverb_step(reverb& r, float in, float& out_left, float& out_right) {
    float input = in * 0.06f;
    float outs[2];
    for (int ch = 0; ch < 2; ++ch) {
        float sum = 0.0f;
        for (auto& c : r.combs[ch]) {
            float y = c.buf[c.pos];
            c.store = y * (1.0f - r.damp) + c.store * r.damp;
            c.buf[c.pos] = input + c.store * r.feedback;
            if (++c.pos == c.buf.size()) c.pos = 0;
            sum += y;
        }
        for (auto& a : r.allpasses[ch]) {
            float y = a.buf[a.pos];
            a.buf[a.pos] = sum + y * 0.5f;
            if (++a.pos == a.buf.size()) a.pos = 0;
            sum = y - sum;
        }
        outs[ch] = sum;
    }
    out_left = outs[0];
    out_right = outs[1];
}

std::vector<float> downsample(const std::vector<float>& in, int factor) {
    const int half = 32 * factor;
    const double cutoff = 0.45 / factor;  // cycles per input sample
    std::vector<double> taps(2 * half + 1);
    double sum = 0.0;
    for (int i = -half; i <= half; ++i) {
        double x = 2.0 * cutoff * i;
        double sinc = i == 0 ? 1.0 : std::sin(pi * x) / (pi * x);
        double n = static_cast<double>(i + half) / (2 * half);
        double window = 0.42 - 0.5 * std::cos(2.0 * pi * n) + 0.08 * std::cos(4.0 * pi * n);
        taps[i + half] = sinc * window;
        sum += taps[i + half];
    }
    for (double& t : taps) t /= sum;

    std::vector<float> out(in.size() / factor);
    const long size = static_cast<long>(in.size());
    for (size_t o = 0; o < out.size(); ++o) {
        long center = static_cast<long>(o) * factor;
        double acc = 0.0;
        for (int i = -half; i <= half; ++i) {
            long k = center + i;
            if (k >= 0 && k < size) acc += taps[i + half] * in[k];
        }
        out[o] = static_cast<float>(acc);
    }
    return out;
}

double normalize_peak(std::vector<float>& samples, double peak) {
    float largest = 0.0f;
    for (float s : samples) largest = std::max(largest, std::fabs(s));
    if (largest <= 0.0f) return 1.0;
    double gain = peak / largest;
    for (float& s : samples) s = static_cast<float>(s * gain);
    return gain;
}

void saturate(std::vector<float>& samples, double drive) {
    normalize_peak(samples, 1.0);
    const double top = std::tanh(drive);
    for (float& s : samples) s = static_cast<float>(std::tanh(drive * s) / top);
}

void fade_edges(std::vector<float>& samples, double rate, double fade_in_s, double fade_out_s) {
    size_t n = samples.size();
    size_t fin = std::min(n, static_cast<size_t>(fade_in_s * rate));
    size_t fout = std::min(n, static_cast<size_t>(fade_out_s * rate));
    for (size_t i = 0; i < fin; ++i) samples[i] *= static_cast<float>(i) / fin;
    for (size_t i = 0; i < fout; ++i) samples[n - 1 - i] *= static_cast<float>(i) / fout;
}
