// A minimal RIFF/WAVE writer: one "fmt " chunk and one "data" chunk, nothing else.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "writers.h"

namespace {

void put_u16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}

void put_u32(std::vector<unsigned char>& out, uint32_t v) {
    put_u16(out, v & 0xffff);
    put_u16(out, v >> 16);
}

void put_tag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool write_wav(const std::string& path, const std::vector<float>& samples, int rate) {
    const uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<unsigned char> file;
    file.reserve(44 + data_bytes);
    put_tag(file, "RIFF");
    put_u32(file, 36 + data_bytes);
    put_tag(file, "WAVE");
    put_tag(file, "fmt ");
    put_u32(file, 16);
    put_u16(file, 1);  // integer PCM
    put_u16(file, 1);  // mono
    put_u32(file, static_cast<uint32_t>(rate));
    put_u32(file, static_cast<uint32_t>(rate) * 2);  // bytes per second
    put_u16(file, 2);                                // bytes per frame
    put_u16(file, 16);                               // bits per sample
    put_tag(file, "data");
    put_u32(file, data_bytes);
    for (float s : samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put_u16(file, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xffff);
    }

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}
