// How the sounds sit together as the game plays them (11025 Hz stereo, volume 128): the four
// pieces about equally loud and none opening near-silent, effects over the music without
// clipping, the footstep audible on a small speaker, the castle call and the reinforcement
// chime in one key, the fireball's burst before the result appears, and the two Ogg pieces
// with some presence. Music is captured from SDL's disk driver exactly as the mixer plays it;
// effects are read back as the mixer converted them. Every figure is printed, so a run of this
// program is also the measurement.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int game_rate = 11025;
constexpr int game_chunk = 128;
constexpr double pi = 3.14159265358979323846;

const char* const effect_files[] = {"hit.wav",    "arrow.wav", "fireball.wav", "spawn.wav",
                                    "castle.wav", "step.wav",  "chains.wav",   "gameover.wav"};
const char* const music_files[] = {"creek.ogg", "pyramid.mod", "spacemaz.mod", "fastelmo.ogg"};

// The part of each piece measured: all four loop after a little more than a minute.
constexpr double music_seconds = 60.0;

std::string data_path(const std::string& name) { return std::string(UMBRA_DATA_DIR) + "/" + name; }

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Interleaved stereo, as floats of full scale 1.
struct heard {
    std::vector<float> stereo;
    size_t frames() const { return stereo.size() / 2; }
};

bool open_mixer(const char* driver) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(game_rate, AUDIO_S16SYS, 2, game_chunk) == 0) return true;
    SDL_Quit();
    return false;
}

void close_mixer() {
    Mix_CloseAudio();
    SDL_Quit();
}

heard load_effect(const std::string& path) {
    heard h;
    if (!open_mixer("dummy")) return h;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    if (chunk) {
        const auto* s = reinterpret_cast<const int16_t*>(chunk->abuf);
        for (size_t i = 0; i < chunk->alen / 2; ++i) h.stereo.push_back(s[i] / 32768.0f);
        Mix_FreeChunk(chunk);
    }
    close_mixer();
    return h;
}

// Everything the disk driver wrote, as 16-bit samples.
std::vector<int16_t> read_capture(const std::string& file) {
    const std::string bytes = read_bytes(file);
    std::filesystem::remove(file);
    std::vector<int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::string capture_file() {
    return (std::filesystem::temp_directory_path() /
            ("umbra_levels_" + std::to_string(::getpid()) + ".raw")).string();
}

bool open_disk_mixer(const std::string& file) {
    std::filesystem::remove(file);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    return open_mixer("disk");
}

void wait_for_bytes(const std::string& file, uintmax_t bytes) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::error_code err;
    while (std::filesystem::file_size(file, err) < bytes && std::chrono::steady_clock::now() < give_up)
        SDL_Delay(10);
}

// The rate the disk driver really writes at. Classic SDL writes what the mixer asked for;
// sdl12-compat may open the device at a rate of its own and convert on the way. A second of
// steady tone shows which: count how many frames of it arrive.
int device_rate() {
    static int rate = 0;
    if (rate) return rate;
    const std::string file = capture_file();
    if (!open_disk_mixer(file)) return 0;
    std::vector<int16_t> tone(2 * game_rate);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(4000 + 8000 * std::sin(2 * pi * 441.0 * (i / 2) / game_rate));
    SDL_LockAudio();
    Mix_Chunk* chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(tone.data()), tone.size() * 2);
    const bool playing = chunk && Mix_PlayChannel(-1, chunk, 0) >= 0;
    SDL_UnlockAudio();
    // Three seconds' worth at the fastest rate a device might choose.
    if (playing) wait_for_bytes(file, static_cast<uintmax_t>(96000) * 4 * 3);
    Mix_HaltChannel(-1);
    if (chunk) Mix_FreeChunk(chunk);
    close_mixer();
    const std::vector<int16_t> heard = read_capture(file);
    size_t first = heard.size(), last = 0;
    for (size_t i = 0; i < heard.size(); ++i)
        if (heard[i] != 0) {
            first = std::min(first, i);
            last = i;
        }
    if (first >= last) return 0;
    const double measured = static_cast<double>(last - first) / 2.0;  // frames for one second
    const int rates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000};
    rate = rates[0];
    for (int r : rates)
        if (std::fabs(r - measured) < std::fabs(rate - measured)) rate = r;
    return rate;
}

// The music as the mixer writes it out, from its first sound on, at the game's rate: where the
// device runs faster, its frames are read back at the game's rate between neighbours.
heard capture_music(const std::string& path, double seconds) {
    heard h;
    const int rate = device_rate();
    if (!rate) return h;
    const double step = static_cast<double>(rate) / game_rate;
    const std::string file = capture_file();
    if (!open_disk_mixer(file)) return h;
    // Hold the mixer back until the music plays, or the driver races ahead writing silence.
    SDL_LockAudio();
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    bool playing = music && Mix_PlayMusic(music, -1) == 0;
    SDL_UnlockAudio();
    if (playing) {
        wait_for_bytes(file, static_cast<uintmax_t>((seconds + 1.0) * rate) * 4);
        Mix_HaltMusic();
    }
    if (music) Mix_FreeMusic(music);
    close_mixer();
    const std::vector<int16_t> raw = read_capture(file);
    size_t at = 0;
    while (at + 1 < raw.size() && raw[at] == 0 && raw[at + 1] == 0) at += 2;
    const size_t frames = (raw.size() - at) / 2;
    const size_t wanted = static_cast<size_t>(seconds * game_rate);
    for (size_t i = 0; i < wanted; ++i) {
        const double x = i * step;
        const size_t k = static_cast<size_t>(x);
        if (k + 1 >= frames) break;
        const double f = x - k;
        for (int ch = 0; ch < 2; ++ch) {
            const double a = raw[at + 2 * k + ch], b = raw[at + 2 * (k + 1) + ch];
            h.stereo.push_back(static_cast<float>((a + (b - a) * f) / 32768.0));
        }
    }
    return h;
}

// Each file is loaded or captured once for the whole program.
const heard& effect(const std::string& name) {
    static std::map<std::string, heard> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, load_effect(data_path(name))).first;
    return it->second;
}

const heard& piece(const std::string& name) {
    static std::map<std::string, heard> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, capture_music(data_path(name), music_seconds)).first;
    return it->second;
}

// Both channels mixed down, which is what a handheld's one speaker gives.
std::vector<double> mono(const heard& h) {
    std::vector<double> m(h.frames());
    for (size_t i = 0; i < m.size(); ++i) m[i] = 0.5 * (h.stereo[2 * i] + h.stereo[2 * i + 1]);
    return m;
}

double decibels(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-9)); }

double rms(const float* x, size_t n) {
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) sum += static_cast<double>(x[i]) * x[i];
    return n ? std::sqrt(sum / n) : 0.0;
}

double rms_db(const heard& h) { return decibels(rms(h.stereo.data(), h.stereo.size())); }

double peak(const heard& h) {
    double p = 0.0;
    for (float v : h.stereo) p = std::max(p, static_cast<double>(std::fabs(v)));
    return p;
}

// Loudness of the first `seconds`, both channels.
double opening_db(const heard& h, double seconds) {
    size_t n = std::min(h.stereo.size(), static_cast<size_t>(seconds * game_rate) * 2);
    return decibels(rms(h.stereo.data(), n));
}

void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * pi / len);
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> t = 1.0;
            for (size_t k = 0; k < len / 2; ++k, t *= w) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// Power per frequency bin, summed over Hann-windowed frames that overlap by half. Its bins
// are game_rate / frame apart.
std::vector<double> spectrum(const std::vector<double>& x, size_t frame) {
    std::vector<double> power(frame / 2 + 1, 0.0);
    std::vector<std::complex<double>> buf(frame);
    for (size_t start = 0; start + frame <= x.size(); start += frame / 2) {
        for (size_t i = 0; i < frame; ++i)
            buf[i] = x[start + i] * (0.5 - 0.5 * std::cos(2.0 * pi * i / frame));
        fft(buf);
        for (size_t k = 0; k < power.size(); ++k) power[k] += std::norm(buf[k]);
    }
    return power;
}

// Share of the power between lo and hi Hz.
double band_share(const std::vector<double>& power, double lo, double hi) {
    const double bin_hz = game_rate / (2.0 * (power.size() - 1));
    double in = 0.0, all = 0.0;
    for (size_t k = 1; k < power.size(); ++k) {
        all += power[k];
        if (k * bin_hz >= lo && k * bin_hz < hi) in += power[k];
    }
    return all > 0.0 ? in / all : 0.0;
}

// Loudness of what a sound has above `hz`, over its whole length: the spectrum of all of it at
// once (zero-padded, no window), the bins below cleared, and Parseval's sum.
double rms_above_db(const std::vector<double>& x, double hz) {
    size_t n = 1;
    while (n < x.size()) n <<= 1;
    std::vector<std::complex<double>> buf(n);
    for (size_t i = 0; i < x.size(); ++i) buf[i] = x[i];
    fft(buf);
    double sum = 0.0;
    for (size_t k = 0; k < n; ++k) {
        const double f = std::min(k, n - k) * static_cast<double>(game_rate) / n;
        if (f >= hz) sum += std::norm(buf[k]);
    }
    return decibels(std::sqrt(sum / n / x.size()));
}

// When the loudest 50 ms is centred, and when the largest sample falls.
double loudest_window_s(const std::vector<double>& x) {
    const size_t w = game_rate / 20;
    double sum = 0.0, best = -1.0;
    size_t best_at = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sum += x[i] * x[i];
        if (i >= w) sum -= x[i - w] * x[i - w];
        if (i + 1 >= w && sum > best) {
            best = sum;
            best_at = i + 1 - w;
        }
    }
    return (best_at + w / 2.0) / game_rate;
}

double peak_time_s(const std::vector<double>& x) {
    size_t at = 0;
    for (size_t i = 0; i < x.size(); ++i)
        if (std::fabs(x[i]) > std::fabs(x[at])) at = i;
    return static_cast<double>(at) / game_rate;
}

// Power in each pitch class (0 = C), from 110 Hz to 2 kHz where the notes' fundamentals and
// first overtones lie, normalised so the strongest class is 1.
std::vector<double> chroma(const std::vector<double>& x) {
    const size_t frame = 4096;
    std::vector<double> padded = x;
    padded.resize(std::max(padded.size(), frame), 0.0);
    const std::vector<double> power = spectrum(padded, frame);
    std::vector<double> classes(12, 0.0);
    for (size_t k = 1; k < power.size(); ++k) {
        const double hz = k * static_cast<double>(game_rate) / frame;
        if (hz < 110.0 || hz > 2000.0) continue;
        const long midi = std::lround(69.0 + 12.0 * std::log2(hz / 440.0));
        classes[((midi % 12) + 12) % 12] += power[k];
    }
    const double top = *std::max_element(classes.begin(), classes.end());
    for (double& c : classes) c /= top > 0.0 ? top : 1.0;
    return classes;
}

const char* const class_names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

std::string chroma_text(const std::vector<double>& c) {
    std::string s;
    char buf[32];
    for (int k = 0; k < 12; ++k) {
        std::snprintf(buf, sizeof buf, "%s%s %.2f", k ? ", " : "", class_names[k], c[k]);
        s += buf;
    }
    return s;
}

void print_effect_table() {
    static bool printed = false;
    if (printed) return;
    printed = true;
    std::printf("%-13s %7s %9s %7s %8s %8s %11s\n", "effect", "seconds", "rms dB", "peak", "peak s",
                "loud s", ">200Hz dB");
    for (const char* name : effect_files) {
        const heard& h = effect(name);
        const std::vector<double> m = mono(h);
        std::printf("%-13s %7.3f %9.1f %7.3f %8.3f %8.3f %11.1f\n", name,
                    static_cast<double>(h.frames()) / game_rate, rms_db(h), peak(h), peak_time_s(m),
                    loudest_window_s(m), rms_above_db(m, 200.0));
    }
}

void print_music_table() {
    static bool printed = false;
    if (printed) return;
    printed = true;
    std::printf("(music captured from a device running at %d Hz)\n", device_rate());
    std::printf("%-13s %9s %7s %11s %9s %9s\n", "piece", "rms dB", "peak", "first 4 s", "<150 Hz",
                ">2 kHz");
    for (const char* name : music_files) {
        const heard& h = piece(name);
        const std::vector<double> power = spectrum(mono(h), 2048);
        std::printf("%-13s %9.1f %7.3f %11.1f %8.1f%% %8.2f%%\n", name, rms_db(h), peak(h),
                    opening_db(h, 4.0), 100.0 * band_share(power, 0.0, 150.0),
                    100.0 * band_share(power, 2000.0, game_rate / 2.0));
    }
}

struct levels : ::testing::Test {
    void SetUp() override {
        for (const char* name : effect_files) ASSERT_GT(effect(name).frames(), 100u) << name << ": " << Mix_GetError();
        for (const char* name : music_files)
            ASSERT_EQ(piece(name).frames(), static_cast<size_t>(music_seconds * game_rate)) << name;
        print_effect_table();
        print_music_table();
    }
};

// Switching between pieces must not jump in level, and none may start so quietly the player
// thinks the music has stopped.
TEST_F(levels, the_pieces_are_about_equally_loud_from_their_first_seconds) {
    double loudest = -1e9, quietest = 1e9;
    for (const char* name : music_files) {
        SCOPED_TRACE(name);
        const double level = rms_db(piece(name));
        loudest = std::max(loudest, level);
        quietest = std::min(quietest, level);
        EXPECT_GT(opening_db(piece(name), 4.0), level - 6.0) << "the opening is near-silent";
        EXPECT_GT(level, -26.0) << "too quiet at the game's full volume";
    }
    EXPECT_LE(loudest - quietest, 1.5);
}

// The game starts effects and music at the same volume; their loudest moments together must
// still fit inside full scale.
TEST_F(levels, the_loudest_effect_over_the_loudest_piece_does_not_clip) {
    double music = 0.0, effects = 0.0;
    for (const char* name : music_files) music = std::max(music, peak(piece(name)));
    for (const char* name : effect_files) effects = std::max(effects, peak(effect(name)));
    std::printf("loudest piece %.3f + loudest effect %.3f = %.3f of full scale\n", music, effects,
                music + effects);
    EXPECT_LE(music + effects, 1.0);
    // Still loud enough to be heard over the music.
    EXPECT_GT(effects, 0.35);
}

// The step is heard more than any other sound, often on a speaker that has no bass at all.
TEST_F(levels, the_footstep_carries_above_the_bass_and_stays_a_footstep) {
    const heard& h = effect("step.wav");
    const std::vector<double> m = mono(h);
    EXPECT_GE(rms_above_db(m, 200.0), -25.0);
    EXPECT_LT(static_cast<double>(m.size()) / game_rate, 0.5);
    // Struck, not swelling: the loudest moment at the very start, and nearly all of it over in
    // a fifth of a second.
    EXPECT_LT(peak_time_s(m), 0.03);
    double early = 0.0, all = 0.0;
    for (size_t i = 0; i < m.size(); ++i) {
        all += m[i] * m[i];
        if (i < game_rate / 5) early += m[i] * m[i];
    }
    EXPECT_GT(early / all, 0.9);
}

// The key a sound is heard in: the major or minor key whose tonal hierarchy (how strongly
// listeners feel each scale degree belongs, after Krumhansl and Kessler) best matches the
// sound's pitch classes. 0..11 are C major..B major, 12..23 C minor..B minor.
int heard_key(const std::vector<double>& classes) {
    static const double major[12] = {6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88};
    static const double minor[12] = {6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17};
    int best = 0;
    double best_r = -2.0;
    for (int key = 0; key < 24; ++key) {
        const double* profile = key < 12 ? major : minor;
        double mc = 0.0, mp = 0.0;
        for (int k = 0; k < 12; ++k) {
            mc += classes[k] / 12.0;
            mp += profile[k] / 12.0;
        }
        double cp = 0.0, cc = 0.0, pp = 0.0;
        for (int k = 0; k < 12; ++k) {
            const double c = classes[k] - mc, q = profile[((k - key % 12) + 12) % 12] - mp;
            cp += c * q;
            cc += c * c;
            pp += q * q;
        }
        const double r = cp / std::sqrt(cc * pp + 1e-30);
        if (r > best_r) {
            best_r = r;
            best = key;
        }
    }
    return best;
}

std::string key_name(int key) {
    return std::string(class_names[key % 12]) + (key < 12 ? " major" : " minor");
}

// A capture with reinforcements starts both at once.
TEST_F(levels, the_castle_call_and_the_reinforcement_chime_share_a_key) {
    const std::vector<double> castle = chroma(mono(effect("castle.wav")));
    const std::vector<double> spawn = chroma(mono(effect("spawn.wav")));
    const int castle_key = heard_key(castle), spawn_key = heard_key(spawn);
    std::printf("castle.wav in %s: %s\nspawn.wav in %s: %s\n", key_name(castle_key).c_str(),
                chroma_text(castle).c_str(), key_name(spawn_key).c_str(), chroma_text(spawn).c_str());
    EXPECT_EQ(key_name(castle_key), key_name(spawn_key));
}

// The game shows a spell's result 700 ms after it starts the sound.
TEST_F(levels, the_fireball_bursts_before_its_result_shows) {
    const std::vector<double> m = mono(effect("fireball.wav"));
    EXPECT_LT(peak_time_s(m), 0.7);
    EXPECT_LT(loudest_window_s(m), 0.7);
    // A burst, not a sound that merely starts loud.
    EXPECT_GT(loudest_window_s(m), 0.2);
}

// Small speakers lose the deep bass and dull music sounds muffled; the Dark's piece still sits
// lower than the title music.
TEST_F(levels, the_ogg_pieces_have_presence_and_the_dark_one_not_all_bass) {
    const std::vector<double> calm = spectrum(mono(piece("creek.ogg")), 2048);
    const std::vector<double> dark = spectrum(mono(piece("fastelmo.ogg")), 2048);
    EXPECT_GT(band_share(calm, 2000.0, game_rate / 2.0), 0.02);
    EXPECT_GT(band_share(dark, 2000.0, game_rate / 2.0), 0.01);
    EXPECT_LT(band_share(dark, 0.0, 150.0), 0.35);
    EXPECT_GT(band_share(dark, 0.0, 150.0), band_share(calm, 0.0, 150.0));
    EXPECT_LT(band_share(dark, 2000.0, game_rate / 2.0), band_share(calm, 2000.0, game_rate / 2.0));
}

}  // namespace
