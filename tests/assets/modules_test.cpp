// Checks the two music modules: their ProTracker layout, how long they play before repeating,
// that SDL_mixer opened the way the game opens it actually sounds them, and that the
// generator writes the same bytes every time.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string data_path(const std::string& name) { return std::string(UMBRA_DATA_DIR) + "/" + name; }

int u16(const std::vector<uint8_t>& b, size_t at) { return b[at] << 8 | b[at + 1]; }

struct sample_header {
    int length = 0;  // bytes
    int finetune = 0;
    int volume = 0;
    int loop_start = 0;
    int loop_length = 0;
};

struct cell {
    int period = 0;
    int sample = 0;
    int effect = 0;
    int param = 0;
};

struct module {
    std::vector<sample_header> samples;
    int song_length = 0;
    std::vector<int> order;  // all 128 entries
    int patterns = 0;        // counted from the file size
    std::vector<uint8_t> bytes;
    cell at(int pattern, int row, int channel) const
    {
        const size_t p = 1084 + (static_cast<size_t>(pattern) * 64 + row) * 16 + channel * 4;
        return {(bytes[p] & 0x0f) << 8 | bytes[p + 1], (bytes[p] & 0xf0) | bytes[p + 2] >> 4,
                bytes[p + 2] & 0x0f, bytes[p + 3]};
    }
};

// Reads the header and counts patterns from whatever the samples leave of the file;
// a size that leaves no whole number of patterns fails the test.
module parse(const std::vector<uint8_t>& b)
{
    module m;
    m.bytes = b;
    if (b.size() < 1084) {
        ADD_FAILURE() << "file too short for a module header: " << b.size();
        return m;
    }
    size_t sample_bytes = 0;
    for (int i = 0; i < 31; ++i) {
        const size_t h = 20 + i * 30;
        sample_header s;
        s.length = u16(b, h + 22) * 2;
        s.finetune = b[h + 24];
        s.volume = b[h + 25];
        s.loop_start = u16(b, h + 26) * 2;
        s.loop_length = u16(b, h + 28) * 2;
        sample_bytes += s.length;
        m.samples.push_back(s);
    }
    m.song_length = b[950];
    m.order.assign(b.begin() + 952, b.begin() + 1080);
    const long rest = static_cast<long>(b.size()) - 1084 - static_cast<long>(sample_bytes);
    EXPECT_GT(rest, 0) << "no room left for patterns";
    EXPECT_EQ(rest % 1024, 0) << "file size is not header + whole patterns + samples";
    m.patterns = rest > 0 ? static_cast<int>(rest / 1024) : 0;
    return m;
}

const int periods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                         428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                         214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

// Seconds the player spends from the first order to the end of the last, following speed and
// tempo commands, pattern breaks and jumps as a ProTracker player does.
double play_seconds(const module& m)
{
    int speed = 6, tempo = 125;
    double seconds = 0;
    std::set<int> visited;
    int pos = 0, row = 0;
    while (pos < m.song_length && visited.insert(pos * 64 + row).second) {
        const int pattern = m.order[pos];
        int next_pos = -1, next_row = 0;
        bool stop = false;
        for (int r = row; r < 64 && next_pos < 0 && !stop; ++r) {
            for (int ch = 0; ch < 4; ++ch) {
                const cell c = m.at(pattern, r, ch);
                if (c.effect == 0xF && c.param == 0) stop = true;
                else if (c.effect == 0xF && c.param < 0x20) speed = c.param;
                else if (c.effect == 0xF) tempo = c.param;
                else if (c.effect == 0xB) next_pos = c.param, next_row = 0;
                else if (c.effect == 0xD) {
                    next_pos = next_pos < 0 ? pos + 1 : next_pos;
                    next_row = (c.param >> 4) * 10 + (c.param & 0xf);
                } else if (c.effect == 0xE && (c.param >> 4 == 0x6 || c.param >> 4 == 0xE))
                    ADD_FAILURE() << "pattern loop or delay at order " << pos << " row " << r
                                  << " is not counted in the song length";
            }
            if (!stop) seconds += speed * 2.5 / tempo;
        }
        if (stop) break;
        if (next_pos >= 0 && next_pos <= pos) break;  // jumping back: the song has ended and repeats
        pos = next_pos >= 0 ? next_pos : pos + 1;
        row = next_pos >= 0 ? next_row : 0;
    }
    return seconds;
}

class ModuleFile : public ::testing::TestWithParam<const char*> {};

TEST_P(ModuleFile, IsAWellFormedFourChannelModule)
{
    const std::vector<uint8_t> bytes = read_file(data_path(GetParam()));
    ASSERT_GE(bytes.size(), 1084u);
    EXPECT_LE(bytes.size(), 64u * 1024) << "the modules are meant to stay small";
    EXPECT_EQ(std::string(bytes.begin() + 1080, bytes.begin() + 1084), "M.K.");
    const module m = parse(bytes);
    ASSERT_GT(m.patterns, 0);

    ASSERT_GE(m.song_length, 1);
    ASSERT_LE(m.song_length, 128);
    // Players size the pattern block by the highest entry in the whole table.
    EXPECT_EQ(*std::max_element(m.order.begin(), m.order.end()) + 1, m.patterns);
    for (int i = 0; i < m.song_length; ++i) EXPECT_LT(m.order[i], m.patterns) << "order " << i;

    for (int i = 0; i < 31; ++i) {
        const sample_header& s = m.samples[i];
        EXPECT_LE(s.volume, 64) << "sample " << i + 1;
        EXPECT_LE(s.finetune, 15) << "sample " << i + 1;
        if (s.loop_length > 2) {
            EXPECT_LE(s.loop_start + s.loop_length, s.length) << "sample " << i + 1;
        }
    }
    for (int p = 0; p < m.patterns; ++p)
        for (int r = 0; r < 64; ++r)
            for (int ch = 0; ch < 4; ++ch) {
                const cell c = m.at(p, r, ch);
                if (c.period) {
                    EXPECT_NE(std::find(std::begin(periods), std::end(periods), c.period), std::end(periods))
                        << "pattern " << p << " row " << r << " channel " << ch << " period " << c.period;
                }
                if (c.sample) {
                    ASSERT_LE(c.sample, 31);
                    EXPECT_GT(m.samples[c.sample - 1].length, 0)
                        << "pattern " << p << " row " << r << " plays empty sample " << c.sample;
                }
            }
}

TEST_P(ModuleFile, PlaysAtLeastAMinuteBeforeRepeating)
{
    const module m = parse(read_file(data_path(GetParam())));
    ASSERT_GT(m.patterns, 0);
    const double seconds = play_seconds(m);
    std::printf("%s: %d orders, %d patterns, %.1f s before it repeats\n", GetParam(), m.song_length,
                m.patterns, seconds);
    EXPECT_GE(seconds, 60.0);
}

// Melody, bass and drums over several sections: every channel plays notes, from several
// instruments, across a good range of pitches, in more than a couple of distinct patterns.
TEST_P(ModuleFile, IsMusicNotATestTone)
{
    const module m = parse(read_file(data_path(GetParam())));
    ASSERT_GT(m.patterns, 0);
    std::set<int> samples_used, pitches;
    int notes_per_channel[4] = {0, 0, 0, 0};
    std::set<std::vector<uint8_t>> distinct;
    for (int p = 0; p < m.patterns; ++p) {
        const auto begin = m.bytes.begin() + 1084 + p * 1024;
        distinct.insert(std::vector<uint8_t>(begin, begin + 1024));
        for (int r = 0; r < 64; ++r)
            for (int ch = 0; ch < 4; ++ch) {
                const cell c = m.at(p, r, ch);
                if (!c.period) continue;
                ++notes_per_channel[ch];
                pitches.insert(c.period);
                if (c.sample) samples_used.insert(c.sample);
            }
    }
    for (int ch = 0; ch < 4; ++ch) EXPECT_GE(notes_per_channel[ch], 32) << "channel " << ch;
    EXPECT_GE(samples_used.size(), 5u);
    EXPECT_GE(pitches.size(), 12u);
    EXPECT_GE(distinct.size(), 4u);
}

// Plays the module through the disk audio driver and returns `seconds` of captured 16-bit
// stereo samples from the moment the music starts. The driver writes silence from the moment
// the mixer opens, so what comes before the first sound is dropped.
std::vector<int16_t> capture(const std::string& file, double seconds)
{
    char path[] = "/tmp/umbra_modules_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        ADD_FAILURE() << "no temporary file";
        return {};
    }
    close(fd);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path, 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);  // write as fast as the mixer fills buffers

    std::vector<int16_t> out;
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        ADD_FAILURE() << SDL_GetError();
        return out;
    }
    if (Mix_OpenAudio(11025, AUDIO_S16SYS, 2, 128) != 0) {
        ADD_FAILURE() << Mix_GetError();
        SDL_Quit();
        return out;
    }
    Mix_Music* music = Mix_LoadMUS(file.c_str());
    EXPECT_NE(music, nullptr) << Mix_GetError();
    long written = 0;
    if (music) {
        EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
        struct stat st {};
        if (stat(path, &st) == 0) written = st.st_size;
        const long wanted = written + static_cast<long>(seconds * 11025) * 4 + 44100;
        for (int waited = 0; waited < 10000; waited += 5) {
            if (stat(path, &st) == 0 && st.st_size >= wanted) break;
            SDL_Delay(5);
        }
        EXPECT_TRUE(Mix_PlayingMusic());
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    Mix_CloseAudio();
    SDL_Quit();

    const std::vector<uint8_t> raw = read_file(path);
    unlink(path);
    const size_t wanted = static_cast<size_t>(seconds * 11025) * 2;
    size_t i = 0;
    while (i + 1 < raw.size() && raw[i] == 0 && raw[i + 1] == 0) i += 2;
    for (; i + 1 < raw.size() && out.size() < wanted; i += 2)
        out.push_back(static_cast<int16_t>(raw[i] | raw[i + 1] << 8));
    EXPECT_EQ(out.size(), wanted) << "the capture stopped early";
    return out;
}

TEST_P(ModuleFile, SoundsThroughTheMixerAsTheGameOpensIt)
{
    const std::vector<int16_t> pcm = capture(data_path(GetParam()), 3.0);
    ASSERT_FALSE(pcm.empty());
    double energy = 0;
    int peak = 0;
    size_t pinned = 0;
    std::set<int> levels;
    for (int16_t v : pcm) {
        energy += static_cast<double>(v) * v;
        peak = std::max(peak, std::abs(static_cast<int>(v)));
        if (v >= 32000 || v <= -32000) ++pinned;
        levels.insert(v);
    }
    const double rms = std::sqrt(energy / pcm.size());
    std::printf("%s: rms %.0f, peak %d over %zu samples\n", GetParam(), rms, peak, pcm.size());
    EXPECT_GT(rms, 300.0) << "next to silent";
    EXPECT_GT(peak, 3000);
    EXPECT_LT(pinned, pcm.size() / 1000) << "clipping";
    EXPECT_GT(levels.size(), 1000u) << "a few levels only: a square wall, not music";
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleFile, ::testing::Values("pyramid.mod", "spacemaz.mod"));

TEST(ModuleGenerator, WritesTheSameBytesEveryRun)
{
    std::vector<std::string> dirs;
    for (int run = 0; run < 2; ++run) {
        char dir[] = "/tmp/umbra_gen_modules_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dirs.push_back(dir);
        const std::string command = std::string(UMBRA_EMULATOR) + "\"" + UMBRA_GENERATOR + "\" " + dir;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    for (const char* name : {"pyramid.mod", "spacemaz.mod"}) {
        const std::vector<uint8_t> first = read_file(dirs[0] + "/" + name);
        const std::vector<uint8_t> second = read_file(dirs[1] + "/" + name);
        const std::vector<uint8_t> built = read_file(data_path(name));
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_TRUE(first == second) << name << " differs between two runs";
        EXPECT_TRUE(first == built) << name << " differs from the one in the data folder";
    }
    for (const std::string& dir : dirs) {
        for (const char* name : {"pyramid.mod", "spacemaz.mod"}) unlink((dir + "/" + name).c_str());
        rmdir(dir.c_str());
    }
}

}  // namespace
