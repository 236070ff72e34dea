// Synthesizes the module instruments. Everything is computed from fixed formulas and a seeded
// noise generator, so the bytes never change from one build to the next.
#include "instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const double pi = 3.14159265358979323846;

// xorshift32: our own noise so no library's random numbers leak into the files.
struct noise {
    uint32_t state;
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
};

// Scales to a peak just short of full scale; a one-shot sample also fades its last
// `fade` values so it never ends on a click.
std::vector<int8_t> to_bytes(std::vector<double> wave, double peak, int fade)
{
    double top = 1e-9;
    for (double v : wave) top = std::max(top, std::fabs(v));
    const int n = static_cast<int>(wave.size());
    for (int i = 0; i < fade && i < n; ++i) wave[n - 1 - i] *= static_cast<double>(i) / fade;
    std::vector<int8_t> out;
    out.reserve(wave.size());
    for (double v : wave) {
        const long q = std::lround(v / top * peak);
        out.push_back(static_cast<int8_t>(std::max(-127L, std::min(127L, q))));
    }
    return out;
}

mod_sample sample(const char* name, std::vector<int8_t> data, int volume, int loop_start, int loop_length)
{
    mod_sample s;
    s.name = name;
    s.data = std::move(data);
    s.volume = volume;
    s.loop_start = loop_start;
    s.loop_length = loop_length;
    return s;
}

}  // namespace

mod_sample make_pluck_bass(int volume)
{
    // Karplus-Strong: a burst of saw and noise passed round a 64-sample delay line whose
    // symmetric smoothing dulls the upper harmonics pass by pass, like a plucked string.
    const int period = 64;
    const int cycles = 48;
    noise rng{0x2545f491u};
    std::vector<double> y(period * cycles);
    for (int i = 0; i < period; ++i) y[i] = 0.55 * (1.0 - 2.0 * i / period) + 0.45 * rng.next();
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<double> s(period);
        for (int i = 0; i < period; ++i)
            s[i] = 0.25 * y[(i + period - 1) % period] + 0.5 * y[i] + 0.25 * y[(i + 1) % period];
        for (int i = 0; i < period; ++i) y[i] = s[i];
    }
    for (int n = period; n < period * cycles; ++n) {
        const double before = n == period ? y[period - 1] : y[n - period - 1];
        y[n] = 0.992 * (0.25 * before + 0.5 * y[n - period] + 0.25 * y[n - period + 1]);
    }
    const int length = period * cycles;
    return sample("plucked bass", to_bytes(y, 124, 0), volume, length - period, period);
}

mod_sample make_brass(int volume)
{
    // A saw whose upper harmonics open up over the first cycles, then one steady looped cycle.
    const int period = 32;
    const int attack = 12;
    std::vector<double> y(period * (attack + 1));
    for (size_t i = 0; i < y.size(); ++i) {
        const double t = static_cast<double>(i) / period;
        const double closed = std::max(0.0, 1.0 - t / attack);
        const double dullness = 0.16 + 0.55 * closed * closed;
        const double level = std::min(1.0, 0.35 + t / 3.0);
        double v = 0;
        for (int k = 1; k <= 10; ++k) v += std::exp(-k * dullness) / k * std::sin(2 * pi * k * t);
        y[i] = level * v;
    }
    return sample("brass", to_bytes(y, 120, 0), volume, period * attack, period);
}

mod_sample make_pulse_lead(int volume)
{
    // Sixteen cycles of a band-limited pulse; the width swings and returns, so the loop is seamless.
    const int period = 32;
    const int cycles = 16;
    std::vector<double> y(period * cycles);
    for (size_t i = 0; i < y.size(); ++i) {
        const double t = static_cast<double>(i) / period;
        const double width = 0.30 + 0.13 * std::sin(2 * pi * t / cycles);
        const double x = t - std::floor(t) - width / 2;
        double v = 0;
        for (int k = 1; k <= 10; ++k)
            v += 2.0 / (k * pi) * std::sin(pi * k * width) * std::cos(2 * pi * k * x) / (1.0 + k * k / 64.0);
        y[i] = v;
    }
    return sample("pulse lead", to_bytes(y, 118, 0), volume, 0, period * cycles);
}

mod_sample make_string_pad(int volume)
{
    // Three soft saws at 63, 64 and 65 cycles per 2048 samples: they beat slowly like a section,
    // and all line up again at the loop's end.
    const int loop = 2048;
    const int attack = 1024;
    const int cycles[3] = {64, 63, 65};
    const double weight[3] = {1.0, 0.55, 0.55};
    const double offset[3] = {0.0, 0.37, 0.71};
    std::vector<double> y(attack + loop);
    for (size_t i = 0; i < y.size(); ++i) {
        double v = 0;
        for (int j = 0; j < 3; ++j) {
            const double phase = static_cast<double>(cycles[j]) * i / loop + offset[j];
            for (int k = 1; k <= 8; ++k)
                v += weight[j] * std::sin(2 * pi * k * phase) / (k * (1.0 + k * k / 20.0));
        }
        const double rise = i < static_cast<size_t>(attack) ? 0.5 - 0.5 * std::cos(pi * i / attack) : 1.0;
        y[i] = rise * v;
    }
    return sample("string pad", to_bytes(y, 118, 0), volume, attack, loop);
}

mod_sample make_chime(int volume)
{
    // A few harmonics, the higher ones dying sooner, with a slightly sharp fourth for a bell's shimmer.
    const int period = 32;
    const int cycles = 64;
    const double amp[4] = {1.0, 0.45, 0.18, 0.28};
    std::vector<double> y(period * cycles);
    for (size_t i = 0; i < y.size(); ++i) {
        const double t = static_cast<double>(i) / period;
        double v = 0;
        for (int k = 1; k <= 4; ++k) {
            const double f = k == 4 ? 4.02 : k;
            v += amp[k - 1] * std::exp(-t * k / 18.0) * std::sin(2 * pi * f * t);
        }
        y[i] = v * std::min(1.0, i / 6.0);
    }
    return sample("chime", to_bytes(y, 122, period * 6), volume, 0, 0);
}

mod_sample make_kick(int volume)
{
    // A sine that drops from a thump to a low boom, with a tiny noise click on top.
    const double rate = amiga_rate(drum_period);
    const int length = 1824;
    noise rng{0x9e3779b9u};
    std::vector<double> y(length);
    double phase = 0;
    for (int i = 0; i < length; ++i) {
        const double t = i / rate;
        const double freq = 48 + 125 * std::exp(-t / 0.025);
        y[i] = std::sin(phase) * std::exp(-t / 0.09) + 0.25 * rng.next() * std::exp(-t / 0.003);
        phase += 2 * pi * freq / rate;
    }
    y[0] = 0;
    return sample("kick", to_bytes(y, 126, 200), volume, 0, 0);
}

mod_sample make_snare(int volume)
{
    // Two drum-head tones under a brighter, longer noise burst for the wires.
    const double rate = amiga_rate(drum_period);
    const int length = 1500;
    noise rng{0x6a09e667u};
    std::vector<double> y(length);
    double last = 0;
    for (int i = 0; i < length; ++i) {
        const double t = i / rate;
        const double white = rng.next();
        const double bright = white - 0.55 * last;
        last = white;
        y[i] = 0.50 * std::sin(2 * pi * 185 * t) * std::exp(-t / 0.04) +
               0.25 * std::sin(2 * pi * 330 * t) * std::exp(-t / 0.025) +
               1.00 * bright * std::exp(-t / 0.06);
        y[i] *= std::min(1.0, i / 3.0);
    }
    return sample("snare", to_bytes(y, 124, 200), volume, 0, 0);
}

mod_sample make_hihat(int volume)
{
    // Noise with its lows taken out twice, over in a few hundredths of a second.
    const double rate = amiga_rate(hihat_period);
    const int length = 1000;
    noise rng{0xbb67ae85u};
    std::vector<double> y(length);
    double a = 0, b = 0;
    for (int i = 0; i < length; ++i) {
        const double t = i / rate;
        const double white = rng.next();
        const double once = white - a;
        a = white;
        const double twice = once - b;
        b = once;
        y[i] = twice * std::exp(-t / 0.014) * std::min(1.0, i / 2.0);
    }
    return sample("hi-hat", to_bytes(y, 120, 100), volume, 0, 0);
}
