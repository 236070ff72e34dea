// Recipes for the eight effects. Each is drawn at four times the output rate, so that noise,
// sweeps and sawtooth edges can be filtered cleanly, then band-limited down to effect_rate.
#include "effects.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace {

constexpr int oversample = 4;
constexpr double rate = effect_rate * oversample;

size_t at(double seconds) { return static_cast<size_t>(seconds * rate); }

// `share` is the effect's peak as a part of effect_ceiling: how they stand to one another.
std::vector<float> finish(std::vector<float> drawn, double share) {
    std::vector<float> out = downsample(drawn, oversample);
    fade_edges(out, effect_rate, 0.001, 0.02);
    normalize_peak(out, share * effect_ceiling);
    return out;
}

// A brass voice: two slightly detuned saws through a low-pass that opens on the attack (the
// "blat" of a lip-buzzed note) and settles; vibrato creeps in on long notes.
void add_brass(std::vector<float>& out, double start_s, double hz, double dur_s, double amp,
               double brightness) {
    svf f;
    double p1 = 0.0, p2 = 0.31;
    const double release = 0.1;
    for (size_t i = at(start_s), n = 0; i < out.size() && n < at(dur_s + release); ++i, ++n) {
        double t = n / rate;
        double vib = 1.0 + 0.005 * std::min(1.0, std::max(0.0, (t - 0.2) / 0.3)) *
                               sine_cycles(5.5 * t);
        double step1 = hz * vib / rate, step2 = hz * 1.004 * vib / rate;
        p1 += step1;
        p1 -= std::floor(p1);
        p2 += step2;
        p2 -= std::floor(p2);
        if (n % 16 == 0) {
            double blat = std::exp(-t / 0.06);
            double open = std::min(1.0, t / 0.02);
            svf_tune(f, hz * (1.5 + brightness * (0.6 * open + 2.0 * blat * open)), 0.9, rate);
        }
        double raw = blep_saw(p1, step1) + 0.7 * blep_saw(p2, step2);
        double e = env_ahr(t, 0.025, dur_s, release);
        out[i] += static_cast<float>(amp * e * svf_step(f, raw).low);
    }
}

// A bell: hum, prime, tierce, fifth and nominal, the higher ones dying sooner. The tierce is
// the rarer major third, so the bell rings in the major key of the call it ends.
void add_bell(std::vector<float>& out, double start_s, double hz, double amp, double tau) {
    const double partials[][2] = {{0.5, 0.35}, {1.0, 0.6}, {1.25, 0.35}, {1.5, 0.25},
                                  {2.0, 0.45}, {2.5, 0.2}, {3.0, 0.12}};
    for (const auto& p : partials)
        add_mode(out, at(start_s), rate, hz * p[0], amp * p[1], tau / std::sqrt(p[0] + 0.5), 0.001,
                 tau * 6.0);
}

// Mixes in a small room so a call rings instead of stopping dead.
void add_room(std::vector<float>& out, double wet, double room) {
    reverb r;
    reverb_init(r, rate, room, 0.35);
    for (float& s : out) {
        float l, rr;
        reverb_step(r, s, l, rr);
        s += static_cast<float>(wet * 0.5 * (l + rr));
    }
}

std::vector<float> make_hit() {
    std::vector<float> out(at(0.85));
    noise_source ns{0x68697431ULL};
    // The clang: a steel plate's inharmonic modes; the close pairs beat against each other.
    const double modes[][3] = {{612, 0.55, 0.22}, {619, 0.35, 0.20}, {1389, 0.45, 0.16},
                               {1641, 0.25, 0.18}, {2237, 0.35, 0.14}, {2904, 0.28, 0.10},
                               {3561, 0.22, 0.07}, {4215, 0.16, 0.05}};
    for (const auto& m : modes) add_mode(out, 0, rate, m[0], m[1], m[2], 0.0004, 0.85);
    // The edge meeting the plate, then the weight of the blow behind it.
    add_noise_hit(out, at(0.0), rate, ns, 3200, 0.8, 1.4, 0.0003, 0.006);
    add_thud(out, at(0.0), rate, 140, 55, 0.02, 0.9, 0.07);
    add_noise_hit(out, at(0.0), rate, ns, 260, 0.7, 1.2, 0.001, 0.03);
    return finish(out, 1.0);
}

std::vector<float> make_arrow() {
    std::vector<float> out(at(0.8));
    noise_source ns{0x6172726fULL};
    const double flight = 0.40;
    // The whoosh: band-passed air rising in pitch and level as the arrow closes in.
    svf air;
    double whistle = 0.0;
    for (size_t i = 0; i < at(flight); ++i) {
        double t = i / rate;
        double x = t / flight;
        double center = 600.0 + 2000.0 * std::pow(std::sin(pi * 0.5 * std::min(1.0, x / 0.8)), 2.0);
        if (i % 16 == 0) svf_tune(air, center, 2.2, rate);
        double level = x < 0.85 ? std::pow(x / 0.85, 2.0) : 1.0 - (x - 0.85) / 0.15;
        whistle += center * 0.98 / rate;
        double s = svf_step(air, noise_signed(ns)).band + 0.06 * sine_cycles(whistle);
        out[i] += static_cast<float>(0.9 * level * s);
    }
    // The thud into wood, a knock, and the shaft quivering after.
    add_thud(out, at(flight), rate, 175, 65, 0.02, 0.9, 0.05);
    add_noise_hit(out, at(flight), rate, ns, 520, 4.0, 2.2, 0.0005, 0.025);
    for (size_t i = at(flight), n = 0; i < out.size() && n < at(0.35); ++i, ++n) {
        double t = n / rate;
        double wobble = 0.55 + 0.45 * sine_cycles(31.0 * t);
        out[i] += static_cast<float>(0.22 * wobble * env_strike(t, 0.004, 0.08) *
                                     sine_cycles(192.0 * t));
    }
    return finish(out, 0.95);
}

std::vector<float> make_fireball() {
    // The game shows the spell's result 0.7 s after the sound starts: the flame must have
    // landed by then, and only its embers may die away after.
    const double len = 1.2, peak_at = 0.5;
    std::vector<float> out(at(len));
    noise_source ns{0x66697265ULL};
    svf roar, hiss;
    one_pole flicker;
    one_pole_tune(flicker, 9.0, rate);
    double rumble = 0.0;
    // The roar: noise whose low-pass climbs while the flame swells, flickering unevenly.
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double x = std::min(1.0, t / peak_at);
        if (i % 16 == 0) {
            svf_tune(roar, 220.0 * std::pow(12.0, x), 1.1, rate);
            svf_tune(hiss, 900.0 + 2200.0 * x, 1.6, rate);
        }
        double level = t < peak_at ? std::pow(x, 1.5) : std::exp(-(t - peak_at) / 0.18);
        double flick = std::clamp(0.8 + 9.0 * one_pole_low(flicker, noise_signed(ns)), 0.3, 1.4);
        double n = noise_signed(ns);
        rumble += (45.0 + 75.0 * x) / rate;
        double body = svf_step(roar, n).low + 0.35 * svf_step(hiss, n).band +
                      0.3 * sine_cycles(rumble) + 0.12 * blep_saw(rumble - std::floor(rumble), 0.003);
        out[i] += static_cast<float>(0.8 * level * flick * body);
    }
    // The crackle: sparse sharp pops, thickening as it burns, kept bright with a high-pass.
    std::vector<float> pops(out.size());
    for (size_t i = 0; i < at(len - 0.15); ++i) {
        double t = i / rate;
        double chance = (0.00004 + 0.0004 * std::min(1.0, t / peak_at)) *
                        (t < peak_at ? 1.0 : std::exp(-(t - peak_at) / 0.25));
        if (noise_uniform(ns) >= chance) continue;
        double amp = noise_between(ns, 0.2, 1.0);
        if (noise_uniform(ns) < 0.5) amp = -amp;
        double tau = noise_between(ns, 0.0008, 0.003);
        for (size_t k = 0; k < at(tau * 6.0) && i + k < pops.size(); ++k)
            pops[i + k] += static_cast<float>(amp * std::exp(-(k / rate) / tau) * noise_signed(ns));
    }
    svf bright;
    svf_tune(bright, 1800, 0.7, rate);
    for (size_t i = 0; i < out.size(); ++i) out[i] += static_cast<float>(0.9 * svf_step(bright, pops[i]).high);
    // The burst when it lands.
    add_noise_hit(out, at(peak_at - 0.02), rate, ns, 380, 0.6, 2.5, 0.01, 0.12);
    add_thud(out, at(peak_at - 0.02), rate, 90, 38, 0.06, 0.6, 0.16);
    return finish(out, 0.95);
}

std::vector<float> make_spawn() {
    std::vector<float> out(at(1.3));
    noise_source ns{0x737061776eULL};
    // A quick rising arpeggio of glassy tones, each a slightly detuned pair that shimmers.
    const double notes[] = {72, 76, 79, 84, 88, 91, 96};
    for (int k = 0; k < 7; ++k) {
        double start = 0.065 * k;
        double hz = midi_to_hz(notes[k]);
        double amp = 0.5 - 0.03 * k;
        add_mode(out, at(start), rate, hz, amp, 0.42, 0.002, 1.3);
        add_mode(out, at(start), rate, hz * 1.0035, amp * 0.6, 0.42, 0.002, 1.3);
        add_mode(out, at(start), rate, hz * 2.0, amp * 0.22, 0.18, 0.001, 1.3);
        add_mode(out, at(start), rate, hz * 3.0, amp * 0.08, 0.09, 0.001, 1.3);
    }
    // Sparkle over it: high tones trembling at different speeds.
    const double sparkle[][2] = {{2637, 17}, {3136, 13}, {3520, 19}, {3951, 11}};
    for (size_t i = 0; i < out.size(); ++i) {
        double t = i / rate;
        double e = env_ahr(t, 0.3, 0.6, 0.65);
        double s = 0.0;
        for (const auto& sp : sparkle)
            s += sine_cycles(sp[0] * t) * (0.5 + 0.5 * sine_cycles(sp[1] * t));
        out[i] += static_cast<float>(0.05 * e * s);
    }
    // A breath of rising air underneath.
    svf air;
    for (size_t i = 0; i < at(1.1); ++i) {
        double t = i / rate;
        if (i % 16 == 0) svf_tune(air, 400.0 + 3200.0 * std::min(1.0, t / 0.55), 2.0, rate);
        out[i] += static_cast<float>(0.3 * env_ahr(t, 0.35, 0.45, 0.65) *
                                     svf_step(air, noise_signed(ns)).band);
    }
    return finish(out, 0.85);
}

std::vector<float> make_castle() {
    std::vector<float> out(at(1.7));
    // A hunting-horn call in C, the key of the reinforcements' chime that may sound with it;
    // it climbs the chord and comes to rest on the home note, struck with a bell.
    const double call[][3] = {{0.00, 67, 0.11}, {0.13, 72, 0.11}, {0.26, 76, 0.11},
                              {0.39, 79, 0.11}, {0.52, 84, 0.70}};
    for (const auto& c : call) add_brass(out, c[0], midi_to_hz(c[1]), c[2], 0.35, 0.7);
    add_brass(out, 0.52, midi_to_hz(72), 0.70, 0.22, 0.6);
    add_brass(out, 0.52, midi_to_hz(76), 0.70, 0.12, 0.5);
    add_bell(out, 0.52, midi_to_hz(72), 0.35, 0.55);
    add_room(out, 0.9, 0.78);
    fade_edges(out, rate, 0.0, 0.3);
    return finish(out, 0.9);
}

std::vector<float> make_step() {
    std::vector<float> out(at(0.3));
    noise_source ns{0x73746570ULL};
    // Heel then toe (or one hoof after another). The weight is only felt on a big speaker; what
    // every speaker carries is the knock of the sole and the earth crunching under it.
    const double hits[][2] = {{0.0, 1.0}, {0.085, 0.75}};
    for (const auto& h : hits) {
        add_thud(out, at(h[0]), rate, 150, 80, 0.012, 0.25 * h[1], 0.03);
        add_thud(out, at(h[0]), rate, 420, 260, 0.006, 0.45 * h[1], 0.025);
        add_noise_hit(out, at(h[0]), rate, ns, 700, 1.1, 2.0 * h[1], 0.002, 0.04);
        for (int g = 0; g < 14; ++g) {
            // One draw per statement: argument order is unspecified, the noise must not be.
            double when = h[0] + noise_between(ns, 0.0, 0.08);
            double hz = noise_between(ns, 900, 2600);
            double amp = h[1] * noise_between(ns, 0.4, 1.0);
            add_noise_hit(out, at(when), rate, ns, hz, 1.5, amp, 0.0005, 0.007);
        }
    }
    // A footstep is short, so its few loudest moments would set its level: rounding them off
    // lets the whole of it be heard.
    saturate(out, 1.5);
    return finish(out, 1.0);
}

std::vector<float> make_chains() {
    std::vector<float> out(at(0.55));
    noise_source ns{0x636861696eULL};
    // A dozen links knocking together at uneven intervals, each a short bright inharmonic clink.
    double t = 0.003;
    for (int k = 0; k < 12 && t < 0.45; ++k) {
        double base = noise_between(ns, 1500, 2200);
        double tau = noise_between(ns, 0.012, 0.035);
        double amp = noise_between(ns, 0.35, 1.0) * (k < 4 ? 1.0 : 0.75);
        add_mode(out, at(t), rate, base, 0.5 * amp, tau, 0.0003, 0.3);
        add_mode(out, at(t), rate, base * 1.53, 0.35 * amp, tau * 0.8, 0.0003, 0.3);
        add_mode(out, at(t), rate, base * 2.11, 0.25 * amp, tau * 0.6, 0.0003, 0.3);
        add_mode(out, at(t), rate, base * 0.62, 0.15 * amp, tau * 1.2, 0.0003, 0.3);
        add_noise_hit(out, at(t), rate, ns, 3500, 0.8, 0.8 * amp, 0.0002, 0.0015);
        t += noise_between(ns, 0.018, 0.05);
    }
    // The links sliding over each other between the knocks.
    svf slide;
    svf_tune(slide, 2800, 0.7, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        double e = env_ahr(i / rate, 0.02, t - 0.05, 0.1);
        out[i] += static_cast<float>(0.12 * e * svf_step(slide, noise_signed(ns)).band);
    }
    return finish(out, 0.7);
}

std::vector<float> make_gameover() {
    std::vector<float> out(at(1.9));
    noise_source ns{0x77696eULL};
    // "Ta-ta-ta TAA, ta TAAA" in C: a lead with a second voice under it, then a full chord.
    const double lead[][3] = {{0.00, 67, 0.09}, {0.12, 67, 0.09}, {0.24, 67, 0.09},
                              {0.36, 72, 0.30}, {0.72, 76, 0.11}, {0.86, 79, 0.76}};
    const double second[][3] = {{0.00, 64, 0.09}, {0.12, 64, 0.09}, {0.24, 64, 0.09},
                                {0.36, 67, 0.30}, {0.72, 72, 0.11}, {0.86, 76, 0.76}};
    const double low[][3] = {{0.36, 60, 0.30}, {0.86, 72, 0.76}, {0.86, 60, 0.76}};
    for (const auto& n : lead) add_brass(out, n[0], midi_to_hz(n[1]), n[2], 0.32, 2.2);
    for (const auto& n : second) add_brass(out, n[0], midi_to_hz(n[1]), n[2], 0.22, 1.8);
    for (const auto& n : low) add_brass(out, n[0], midi_to_hz(n[1]), n[2], 0.2, 1.4);
    // Timpani: a stroke under the first long note, a little roll into the chord.
    add_thud(out, at(0.36), rate, 110, 98, 0.05, 0.55, 0.3);
    const double roll[][2] = {{0.74, 0.25}, {0.78, 0.3}, {0.82, 0.35}, {0.86, 0.8}};
    for (const auto& r : roll) {
        add_thud(out, at(r[0]), rate, 75, 65.4, 0.05, r[1], 0.35);
        add_noise_hit(out, at(r[0]), rate, ns, 200, 0.8, r[1] * 0.8, 0.001, 0.03);
    }
    // A cymbal's splash on the chord, kept below what the output rate can carry.
    add_noise_hit(out, at(0.86), rate, ns, 3600, 0.45, 0.3, 0.002, 0.3);
    add_room(out, 0.7, 0.75);
    // The chord's release and the room's tail must be gone before the file ends.
    fade_edges(out, rate, 0.0, 0.18);
    return finish(out, 0.95);
}

}  // namespace

const std::vector<sound_effect>& sound_effects() {
    static const std::vector<sound_effect> effects = {
        {"hit.wav", make_hit},         {"arrow.wav", make_arrow},
        {"fireball.wav", make_fireball}, {"spawn.wav", make_spawn},
        {"castle.wav", make_castle},   {"step.wav", make_step},
        {"chains.wav", make_chains},   {"gameover.wav", make_gameover},
    };
    return effects;
}
