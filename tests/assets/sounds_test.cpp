// Checks of the generated sounds. Every file is loaded through the SDL_mixer calls the game
// makes. Effects must be plain WAV, short, audible, unclipped and unlike each other. The music
// must last a minute, sound like music (notes, a beat, moving pitch), and loop without a jump,
// both in the decoded file and in what the game's mixer plays as it comes round. The generator
// must write the same bytes every run.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const effect_files[] = {"hit.wav",    "arrow.wav", "fireball.wav", "spawn.wav",
                                    "castle.wav", "step.wav",  "chains.wav",   "gameover.wav"};
const char* const music_files[] = {"creek.ogg", "fastelmo.ogg"};

// The game's mixer settings.
constexpr int game_rate = 11025;
constexpr int game_chunk = 128;

std::string data_path(const std::string& name) { return std::string(UMBRA_DATA_DIR) + "/" + name; }

bool open_mixer(int rate, const char* driver = "dummy") {
    setenv("SDL_AUDIODRIVER", driver, 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) return false;
    return Mix_OpenAudio(rate, AUDIO_S16SYS, 2, game_chunk) == 0;
}

void close_mixer() {
    Mix_CloseAudio();
    SDL_Quit();
}

// A decoded stereo sound, as floats in [-1, 1).
struct decoded {
    std::vector<float> left, right;
    int rate = 0;
    bool loaded = false;
};

// Loads a file exactly as the game loads effects and returns what the mixer would play.
decoded load_chunk(const std::string& path) {
    decoded d;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    if (!chunk) return d;
    if (format != AUDIO_S16SYS || channels != 2) {
        Mix_FreeChunk(chunk);
        return d;
    }
    const auto* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
    size_t frames = chunk->alen / 4;
    for (size_t i = 0; i < frames; ++i) {
        d.left.push_back(samples[2 * i] / 32768.0f);
        d.right.push_back(samples[2 * i + 1] / 32768.0f);
    }
    Mix_FreeChunk(chunk);
    d.rate = rate;
    d.loaded = true;
    return d;
}

double rms(const std::vector<float>& x) {
    double sum = 0.0;
    for (float v : x) sum += static_cast<double>(v) * v;
    return x.empty() ? 0.0 : std::sqrt(sum / x.size());
}

double fraction_at_full_scale(const std::vector<float>& x) {
    size_t count = 0;
    for (float v : x) count += std::fabs(v) >= 0.99f;
    return x.empty() ? 0.0 : static_cast<double>(count) / x.size();
}

// Loudness in 10 ms frames on an absolute time axis, so sounds of different lengths line up.
std::vector<double> envelope(const std::vector<float>& x, int rate) {
    const size_t frame = rate / 100;
    std::vector<double> env(200, 0.0);  // two seconds
    for (size_t f = 0; f < env.size() && f * frame < x.size(); ++f) {
        double sum = 0.0;
        for (size_t i = f * frame; i < std::min(x.size(), (f + 1) * frame); ++i) sum += x[i] * x[i];
        env[f] = std::sqrt(sum / frame);
    }
    return env;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    double ma = 0, mb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= a.size();
    mb /= b.size();
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb + 1e-30);
}

// Zero crossings per second, counted only where the sound is reasonably loud: a rough measure
// of how bright or low it is.
double crossing_rate(const std::vector<float>& x, int rate) {
    double level = rms(x);
    size_t crossings = 0, counted = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        if (std::fabs(x[i]) < 0.1 * level && std::fabs(x[i - 1]) < 0.1 * level) continue;
        ++counted;
        crossings += (x[i - 1] < 0.0f) != (x[i] < 0.0f);
    }
    return counted ? static_cast<double>(crossings) * rate / counted : 0.0;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct game_mixer : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(open_mixer(game_rate)) << Mix_GetError(); }
    void TearDown() override { close_mixer(); }
};

TEST_F(game_mixer, effects_load_and_are_short_audible_and_unclipped) {
    for (const char* name : effect_files) {
        SCOPED_TRACE(name);
        decoded d = load_chunk(data_path(name));
        ASSERT_TRUE(d.loaded) << Mix_GetError();
        double seconds = static_cast<double>(d.left.size()) / d.rate;
        EXPECT_LT(seconds, 2.0);
        EXPECT_GT(seconds, 0.1);
        EXPECT_GT(rms(d.left), 0.03);
        EXPECT_LT(fraction_at_full_scale(d.left), 0.001);
        // Nothing may end on a step the speaker would click on.
        EXPECT_LT(std::fabs(d.left.back()), 0.02);
        EXPECT_LT(std::fabs(d.left.front()), 0.02);
    }
}

TEST_F(game_mixer, effects_are_distinct_from_each_other) {
    std::vector<decoded> all;
    for (const char* name : effect_files) {
        all.push_back(load_chunk(data_path(name)));
        ASSERT_TRUE(all.back().loaded) << name;
    }
    for (size_t a = 0; a < all.size(); ++a) {
        for (size_t b = a + 1; b < all.size(); ++b) {
            SCOPED_TRACE(std::string(effect_files[a]) + " vs " + effect_files[b]);
            EXPECT_NE(all[a].left, all[b].left);
            // Alike means the same shape in time and the same brightness.
            double shape = correlation(envelope(all[a].left, game_rate), envelope(all[b].left, game_rate));
            double za = crossing_rate(all[a].left, game_rate);
            double zb = crossing_rate(all[b].left, game_rate);
            bool same_brightness = std::fabs(za - zb) < 0.15 * std::max(za, zb);
            EXPECT_FALSE(shape > 0.9 && same_brightness) << "shape " << shape << ", crossings " << za
                                                         << " / " << zb;
        }
    }
}

uint32_t little_endian(const std::string& bytes, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// SDL forgives a good deal in a WAV header; other players may not. Each file is the plain
// form: RIFF, a 16-byte PCM "fmt " chunk (mono, 16-bit, the game's rate), then "data".
TEST(effect_files, are_plain_pcm_wav) {
    for (const char* name : effect_files) {
        SCOPED_TRACE(name);
        std::string wav = read_file(data_path(name));
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(little_endian(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(little_endian(wav, 16, 4), 16u);
        EXPECT_EQ(little_endian(wav, 20, 2), 1u);  // integer PCM
        EXPECT_EQ(little_endian(wav, 22, 2), 1u);  // mono
        EXPECT_EQ(little_endian(wav, 24, 4), static_cast<uint32_t>(game_rate));
        EXPECT_EQ(little_endian(wav, 28, 4), static_cast<uint32_t>(game_rate * 2));
        EXPECT_EQ(little_endian(wav, 32, 2), 2u);
        EXPECT_EQ(little_endian(wav, 34, 2), 16u);
        EXPECT_EQ(wav.substr(36, 4), "data");
        EXPECT_EQ(little_endian(wav, 40, 4), wav.size() - 44);
    }
}

TEST_F(game_mixer, music_loads_and_plays_endlessly) {
    for (const char* name : music_files) {
        SCOPED_TRACE(name);
        Mix_Music* music = Mix_LoadMUS(data_path(name).c_str());
        ASSERT_NE(music, nullptr) << Mix_GetError();
        EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
        EXPECT_TRUE(Mix_PlayingMusic());
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
}

// Decoding at the file's own rate keeps the mixer from resampling what we measure.
struct music_mixer : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(open_mixer(22050)) << Mix_GetError(); }
    void TearDown() override { close_mixer(); }
};

// Residuals of a linear predictor (order `order`, fitted by Levinson-Durbin on `x` itself):
// what each sample holds that its predecessors didn't foretell. Music is very predictable
// sample to sample; a splice that doesn't fit stands out.
std::vector<double> prediction_residuals(const std::vector<float>& x, int order) {
    std::vector<double> r(order + 1, 0.0);
    for (int lag = 0; lag <= order; ++lag)
        for (size_t i = lag; i < x.size(); ++i) r[lag] += static_cast<double>(x[i]) * x[i - lag];
    r[0] *= 1.0 + 1e-9;  // keeps the recursion stable on near-silence
    std::vector<double> a(order + 1, 0.0), previous;
    double error = r[0] + 1e-30;
    for (int m = 1; m <= order; ++m) {
        double k = r[m];
        for (int j = 1; j < m; ++j) k -= a[j] * r[m - j];
        k /= error;
        previous = a;
        a[m] = k;
        for (int j = 1; j < m; ++j) a[j] = previous[j] - k * previous[m - j];
        error *= 1.0 - k * k;
    }
    std::vector<double> e(x.size(), 0.0);
    for (size_t i = order; i < x.size(); ++i) {
        double guess = 0.0;
        for (int j = 1; j <= order; ++j) guess += a[j] * x[i - j];
        e[i] = x[i] - guess;
    }
    return e;
}

double percentile(std::vector<double> values, int pct) {
    std::sort(values.begin(), values.end());
    return values[values.size() * pct / 100];
}

// The loop's seam, looked at from half a second either side: the step from the last sample
// back to the first must be no larger than the steps around it, and the first sample must be
// about as predictable from the last ones as any sample is from its predecessors. "About":
// the end and the start are coded separately, so each carries its own coding error, and at
// this quality their difference alone is two or three typical residuals. A click or a missing
// tail is several times that.
void expect_seamless(const std::vector<float>& x, int rate) {
    const size_t near = rate / 2;
    ASSERT_GT(x.size(), 2 * near);
    std::vector<float> around(x.end() - near, x.end());
    around.insert(around.end(), x.begin(), x.begin() + near);

    std::vector<double> steps;
    for (size_t i = 0; i + 1 < around.size(); ++i) steps.push_back(std::fabs(around[i + 1] - around[i]));
    double seam_step = steps[near - 1];
    double typical_step = percentile(steps, 99);
    EXPECT_LE(seam_step, typical_step) << "seam step " << seam_step << ", typical " << typical_step;

    const int order = 16;
    std::vector<double> e = prediction_residuals(around, order);
    std::vector<double> misses;
    for (size_t i = order; i < e.size(); ++i)
        if (i < near || i >= near + order) misses.push_back(std::fabs(e[i]));
    double seam_miss = std::fabs(e[near]);
    double typical_miss = percentile(misses, 99);
    EXPECT_LE(seam_miss, 4.0 * typical_miss)
        << "seam surprise " << seam_miss << ", typical " << typical_miss;

    // The level must carry on too: the loop mustn't end in silence and start loud, or back.
    std::vector<float> end(x.end() - rate / 10, x.end()), start(x.begin(), x.begin() + rate / 10);
    double a = rms(end), b = rms(start);
    EXPECT_LT(std::max(a, b), 4.0 * std::min(a, b) + 1e-3) << "end " << a << ", start " << b;
}

TEST_F(music_mixer, music_is_long_audible_and_loops_without_a_jump) {
    for (const char* name : music_files) {
        SCOPED_TRACE(name);
        decoded d = load_chunk(data_path(name));
        ASSERT_TRUE(d.loaded) << Mix_GetError();
        double seconds = static_cast<double>(d.left.size()) / d.rate;
        EXPECT_GE(seconds, 60.0);
        EXPECT_LT(seconds, 180.0);
        EXPECT_GT(rms(d.left), 0.05);
        EXPECT_GT(rms(d.right), 0.05);
        EXPECT_LT(fraction_at_full_scale(d.left), 0.0005);
        // No stretch of a second is silent: the piece plays throughout.
        for (size_t s = 0; s + d.rate <= d.left.size(); s += d.rate) {
            std::vector<float> second(d.left.begin() + s, d.left.begin() + s + d.rate);
            ASSERT_GT(rms(second), 0.01) << "quiet at " << s / d.rate << " s";
        }
        {
            SCOPED_TRACE("left");
            expect_seamless(d.left, d.rate);
        }
        {
            SCOPED_TRACE("right");
            expect_seamless(d.right, d.rate);
        }
    }
}

// Power of one frequency over a stretch of samples (Goertzel's recurrence).
double power_at(const float* x, size_t n, double hz, int rate) {
    double c = 2.0 * std::cos(2.0 * 3.14159265358979 * hz / rate), s1 = 0.0, s2 = 0.0;
    for (size_t i = 0; i < n; ++i) {
        double s0 = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// How sharply the loudness rises in each 10 ms (log energy, falls counted as zero).
std::vector<double> onsets(const std::vector<float>& x, int rate) {
    const size_t frame = rate / 100;
    std::vector<double> rise;
    double previous = 0.0;
    for (size_t f = 0; (f + 1) * frame <= x.size(); ++f) {
        double sum = 0.0;
        for (size_t i = f * frame; i < (f + 1) * frame; ++i) sum += x[i] * x[i];
        double level = std::log(sum / frame + 1e-9);
        rise.push_back(f == 0 ? 0.0 : std::max(0.0, level - previous));
        previous = level;
    }
    return rise;
}

// Music, not a tone, a drone or noise: notes strike (the loudness jumps), they strike in a
// rhythm (the jumps recur at some beat between 0.3 and 2.5 s), and the pitch moves: the
// strongest semitone above G3 changes from one half second to the next across many notes.
TEST_F(music_mixer, music_has_a_beat_and_moves_between_notes) {
    for (const char* name : music_files) {
        SCOPED_TRACE(name);
        decoded d = load_chunk(data_path(name));
        ASSERT_TRUE(d.loaded);
        std::vector<float> mono(d.left.size());
        for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (d.left[i] + d.right[i]);

        std::vector<double> rise = onsets(mono, d.rate);
        EXPECT_GT(percentile(rise, 99), 0.5) << "nothing strikes";
        double mean = 0.0;
        for (double r : rise) mean += r;
        mean /= rise.size();
        for (double& r : rise) r -= mean;
        double energy = 0.0, best = 0.0;
        for (double r : rise) energy += r * r;
        for (size_t lag = 30; lag <= 250; ++lag) {
            double sum = 0.0;
            for (size_t i = lag; i < rise.size(); ++i) sum += rise[i] * rise[i - lag];
            best = std::max(best, sum / energy);
        }
        EXPECT_GT(best, 0.08) << "no beat";

        const size_t window = d.rate / 2;
        std::vector<int> strongest_count(48, 0);
        size_t windows = 0;
        for (size_t start = 0; start + window <= mono.size(); start += window, ++windows) {
            int strongest = 0;
            double strongest_power = -1.0;
            for (int k = 0; k < 48; ++k) {
                double p = power_at(&mono[start], window, 196.0 * std::pow(2.0, k / 12.0), d.rate);
                if (p > strongest_power) {
                    strongest_power = p;
                    strongest = k;
                }
            }
            ++strongest_count[strongest];
        }
        int distinct = 0, most = 0;
        for (int c : strongest_count) {
            distinct += c > 0;
            most = std::max(most, c);
        }
        EXPECT_GE(distinct, 8);
        EXPECT_LT(most, 0.4 * windows);
    }
}

// The Dark's music is the low, heavy one.
TEST_F(music_mixer, the_dark_music_sits_lower_than_the_title_music) {
    decoded calm = load_chunk(data_path("creek.ogg"));
    decoded dark = load_chunk(data_path("fastelmo.ogg"));
    ASSERT_TRUE(calm.loaded && dark.loaded);
    EXPECT_LT(crossing_rate(dark.left, dark.rate), 0.9 * crossing_rate(calm.left, calm.rate));
}

// What the game's mixer actually plays: its mixed output, left channel, taken at the mixer's own
// rate. SDL's disk audio driver only sets the pace (as fast as the mixer fills buffers); its file
// is not read, because it holds the device's stream, and a device may run at another rate than
// the mixer asked for: sdl12-compat opens SDL2's at 44100 Hz for 11025 and converts on the way.
std::vector<int16_t> mixed_left;

void take_mixed(void*, Uint8* stream, int len) {
    const auto* samples = reinterpret_cast<const int16_t*>(stream);
    for (int i = 0; i + 1 < len / 2; i += 2) mixed_left.push_back(samples[i]);
}

std::vector<int16_t> capture_music(const std::string& path, size_t frames_wanted,
                                   size_t& loop_frames) {
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);  // write as fast as the mixer can fill buffers
    std::vector<int16_t> left;
    if (!open_mixer(game_rate)) return left;
    loop_frames = load_chunk(path).left.size();
    close_mixer();
    if (!open_mixer(game_rate, "disk")) return left;
    SDL_LockAudio();
    mixed_left.clear();
    Mix_SetPostMix(take_mixed, nullptr);
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    bool playing = music && Mix_PlayMusic(music, -1) == 0;
    SDL_UnlockAudio();
    if (playing) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            SDL_LockAudio();
            size_t have = mixed_left.size();
            SDL_UnlockAudio();
            if (have >= loop_frames + frames_wanted || std::chrono::steady_clock::now() >= give_up) break;
            SDL_Delay(10);
        }
        Mix_HaltMusic();
    }
    SDL_LockAudio();
    Mix_SetPostMix(nullptr, nullptr);
    left.swap(mixed_left);
    SDL_UnlockAudio();
    if (music) Mix_FreeMusic(music);
    close_mixer();
    return left;
}

// The loop as the player hears it: SDL_mixer reopens the stream when it ends, resampling to
// the game's rate on the way. The second time round must start exactly one loop after the
// first, sample for sample the same, with no gap and no jump where they meet.
TEST(music_through_the_game_mixer, comes_round_without_a_gap_or_a_click) {
    for (const char* name : music_files) {
        SCOPED_TRACE(name);
        size_t loop = 0;
        const size_t half_second = game_rate / 2;
        std::vector<int16_t> heard = capture_music(data_path(name), 4 * half_second, loop);
        ASSERT_GT(loop, static_cast<size_t>(60 * game_rate));
        ASSERT_GE(heard.size(), loop + 3 * half_second) << "the capture stopped short";
        size_t start = 0;
        while (start < heard.size() && heard[start] == 0) ++start;
        ASSERT_LT(start + loop + 2 * half_second, heard.size());

        // Where the opening comes round again.
        const size_t compare = 4096;
        size_t again = 0;
        for (size_t at = start + loop - 8; at <= start + loop + 8 && !again; ++at)
            if (std::equal(heard.begin() + start, heard.begin() + start + compare, heard.begin() + at))
                again = at;
        ASSERT_NE(again, 0u) << "the second time round doesn't match the first";
        EXPECT_LE(std::max(again - start, loop) - std::min(again - start, loop), 1u);

        std::vector<double> steps;
        size_t zero_run = 0, longest_zero_run = 0;
        for (size_t i = again - half_second; i < again + half_second; ++i) {
            steps.push_back(std::abs(heard[i + 1] - heard[i]));
            zero_run = heard[i] == 0 ? zero_run + 1 : 0;
            longest_zero_run = std::max(longest_zero_run, zero_run);
        }
        EXPECT_LT(longest_zero_run, 8u) << "a gap where the music comes round";
        double seam_step = std::abs(heard[again] - heard[again - 1]);
        EXPECT_LE(seam_step, percentile(steps, 99));
    }
}

TEST(sound_generator, writes_the_same_bytes_every_run) {
    namespace fs = std::filesystem;
    fs::path base = fs::temp_directory_path() / ("umbra_sounds_" + std::to_string(::getpid()));
    fs::remove_all(base);
    const fs::path runs[2] = {base / "a", base / "b"};
    for (const auto& dir : runs) {
        std::string command = std::string(UMBRA_EMULATOR) + "\"" + UMBRA_GENERATOR + "\" \"" + dir.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::vector<std::string> names(std::begin(effect_files), std::end(effect_files));
    names.insert(names.end(), std::begin(music_files), std::end(music_files));
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        std::string first = read_file((runs[0] / name).string());
        ASSERT_FALSE(first.empty());
        EXPECT_TRUE(first == read_file((runs[1] / name).string()));
        EXPECT_TRUE(first == read_file(data_path(name))) << "Data/ is stale or differs";
    }
    // Exactly the ten files, nothing more.
    EXPECT_EQ(std::distance(fs::directory_iterator(runs[0]), fs::directory_iterator()),
              static_cast<long>(names.size()));
    fs::remove_all(base);
}

}  // namespace
