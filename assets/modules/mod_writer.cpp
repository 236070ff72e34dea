// Writes ProTracker "M.K." modules and reads the per-channel text our songs are written in.
#include "mod_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace {

// Finetune-0 periods of the three octaves every player knows, C-1 first.
const int period_table[36] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

const char* const note_names[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                    "F#", "G-", "G#", "A-", "A#", "B-"};

// The vibrato a bare "~" asks for: slow enough to sing, shallow enough to stay in tune.
constexpr int vibrato_param = 0x52;

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void put_u16(std::vector<uint8_t>& out, int v)
{
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
    out.push_back(static_cast<uint8_t>(v & 0xff));
}

void put_text(std::vector<uint8_t>& out, const std::string& s, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
}

std::string cell_text(const mod_cell& c)
{
    std::string note = "---";
    for (int i = 0; i < 36; ++i)
        if (period_table[i] == c.period)
            note = std::string(note_names[i % 12]) + static_cast<char>('1' + i / 12);
    char buf[32];
    if (c.sample)
        std::snprintf(buf, sizeof buf, "%s %02d ", note.c_str(), c.sample);
    else
        std::snprintf(buf, sizeof buf, "%s .. ", note.c_str());
    std::string s = buf;
    if (c.effect || c.param) {
        std::snprintf(buf, sizeof buf, "%X%02X", c.effect, c.param);
        s += buf;
    } else {
        s += "...";
    }
    return s;
}

}  // namespace

int note_period(const std::string& name)
{
    if (name.size() == 3 && name[2] >= '1' && name[2] <= '3')
        for (int n = 0; n < 12; ++n)
            if (name.compare(0, 2, note_names[n]) == 0)
                return period_table[(name[2] - '1') * 12 + n];
    throw std::runtime_error("not a note: \"" + name + "\"");
}

std::vector<mod_cell> parse_track(const std::string& text, const voice& v)
{
    std::vector<mod_cell> cells;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const std::string where = "\"" + token + "\" at row " + std::to_string(cells.size());
        if (token == "|") {
            if (cells.size() % 16 != 0)
                throw std::runtime_error("bar line off the beat: " + where);
            continue;
        }
        std::string body = token;
        mod_cell cell;
        bool explicit_effect = false;
        const size_t colon = token.find(':');
        if (colon != std::string::npos) {
            body = token.substr(0, colon);
            const std::string fx = token.substr(colon + 1);
            if (fx.size() != 3 || hex_digit(fx[0]) < 0 || hex_digit(fx[1]) < 0 || hex_digit(fx[2]) < 0)
                throw std::runtime_error("bad effect: " + where);
            cell.effect = hex_digit(fx[0]);
            cell.param = hex_digit(fx[1]) * 16 + hex_digit(fx[2]);
            explicit_effect = true;
        }
        const auto hit = v.hits.find(body);
        if (hit != v.hits.end()) {
            const mod_cell effect = cell;
            cell = hit->second;
            if (explicit_effect) {
                cell.effect = effect.effect;
                cell.param = effect.param;
            }
        } else if (body == "-") {
        } else if (body == "^") {
            if (!explicit_effect) cell.effect = 0xC;
        } else if (body == "~") {
            if (!explicit_effect) {
                cell.effect = 0x4;
                cell.param = vibrato_param;
            }
        } else {
            try {
                cell.period = note_period(body);
            } catch (const std::runtime_error&) {
                throw std::runtime_error("unknown token " + where);
            }
            if (v.sample <= 0) throw std::runtime_error("note on a voice without sample: " + where);
            cell.sample = v.sample;
        }
        cells.push_back(cell);
    }
    if (cells.size() != mod_rows)
        throw std::runtime_error("track has " + std::to_string(cells.size()) + " rows, not 64: " +
                                 text.substr(0, 40) + "...");
    return cells;
}

mod_pattern make_pattern(const std::array<track, mod_channels>& tracks)
{
    mod_pattern p;
    for (int ch = 0; ch < mod_channels; ++ch) {
        const std::vector<mod_cell> cells = parse_track(tracks[ch].text, tracks[ch].v);
        for (int row = 0; row < mod_rows; ++row) p.rows[row][ch] = cells[row];
    }
    return p;
}

void set_timing(mod_pattern& p, int speed, int tempo)
{
    const int params[2] = {speed, tempo};
    int placed = 0;
    for (mod_cell& c : p.rows[0]) {
        if (placed == 2) break;
        if (c.effect == 0 && c.param == 0) {
            c.effect = 0xF;
            c.param = params[placed++];
        }
    }
    if (placed != 2) throw std::runtime_error("no room for speed and tempo on the first row");
}

void scale_volumes(mod_song& song, double gain)
{
    for (mod_sample& s : song.samples) {
        const long v = std::lround(s.volume * gain);
        if (v < 0 || v > 64) throw std::runtime_error("sample \"" + s.name + "\" scaled out of range");
        s.volume = static_cast<int>(v);
    }
}

std::vector<uint8_t> write_mod(const mod_song& song)
{
    if (song.samples.size() > mod_sample_slots) throw std::runtime_error("too many samples");
    if (song.order.empty() || song.order.size() > 128) throw std::runtime_error("bad order length");
    for (int o : song.order)
        if (o < 0 || o >= static_cast<int>(song.patterns.size()))
            throw std::runtime_error("order names a missing pattern");

    std::vector<uint8_t> out;
    put_text(out, song.title, 20);
    for (int i = 0; i < mod_sample_slots; ++i) {
        if (i >= static_cast<int>(song.samples.size())) {
            put_text(out, "", 22);
            put_u16(out, 0);
            out.push_back(0);
            out.push_back(0);
            put_u16(out, 0);
            put_u16(out, 1);
            continue;
        }
        const mod_sample& s = song.samples[i];
        const int length = static_cast<int>(s.data.size());
        if (length % 2 || s.loop_start % 2 || s.loop_length % 2 || length > 0x1fffe ||
            s.loop_start + s.loop_length > length || s.volume < 0 || s.volume > 64)
            throw std::runtime_error("sample \"" + s.name + "\" does not fit the format");
        put_text(out, s.name, 22);
        put_u16(out, length / 2);
        out.push_back(0);  // finetune
        out.push_back(static_cast<uint8_t>(s.volume));
        put_u16(out, s.loop_length ? s.loop_start / 2 : 0);
        put_u16(out, s.loop_length ? s.loop_length / 2 : 1);
    }
    out.push_back(static_cast<uint8_t>(song.order.size()));
    out.push_back(0);  // restart position
    for (int i = 0; i < 128; ++i)
        out.push_back(i < static_cast<int>(song.order.size()) ? static_cast<uint8_t>(song.order[i]) : 0);
    put_text(out, "M.K.", 4);

    // Players count patterns by the highest order entry, so a pattern no order names can't be kept.
    int used = 0;
    for (int o : song.order) used = std::max(used, o + 1);
    if (used != static_cast<int>(song.patterns.size())) throw std::runtime_error("a pattern is never played");
    for (const mod_pattern& p : song.patterns)
        for (const auto& row : p.rows)
            for (const mod_cell& c : row) {
                if (c.sample < 0 || c.sample > static_cast<int>(song.samples.size()) || c.period < 0 ||
                    c.period > 0xfff || c.effect < 0 || c.effect > 0xf || c.param < 0 || c.param > 0xff)
                    throw std::runtime_error("cell out of range");
                out.push_back(static_cast<uint8_t>((c.sample & 0xf0) | (c.period >> 8)));
                out.push_back(static_cast<uint8_t>(c.period & 0xff));
                out.push_back(static_cast<uint8_t>(((c.sample & 0x0f) << 4) | c.effect));
                out.push_back(static_cast<uint8_t>(c.param));
            }
    for (const mod_sample& s : song.samples)
        for (int8_t v : s.data) out.push_back(static_cast<uint8_t>(v));
    return out;
}

std::string dump_patterns(const mod_song& song)
{
    std::string s = song.title + "\norder:";
    for (int o : song.order) s += " " + std::to_string(o);
    s += "\n";
    for (size_t p = 0; p < song.patterns.size(); ++p) {
        s += "pattern " + std::to_string(p) + "\n";
        for (int row = 0; row < mod_rows; ++row) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%02d ", row);
            s += buf;
            for (int ch = 0; ch < mod_channels; ++ch)
                s += (ch ? " | " : "") + cell_text(song.patterns[p].rows[row][ch]);
            s += "\n";
        }
    }
    return s;
}
