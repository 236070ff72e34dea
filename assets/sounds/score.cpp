// The note-string reader; the notation is described in score.h.
#include "score.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& token) {
    throw std::runtime_error(what + ": \"" + token + "\"");
}

double parse_number(const std::string& text, const std::string& token) {
    if (text.empty()) fail("missing number", token);
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v <= 0.0) fail("bad number", token);
    return v;
}

std::string expand_repeats(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ']') fail("unmatched ]", text);
        if (text[i] != '[') {
            out += text[i++];
            continue;
        }
        size_t j = i;
        for (int depth = 0; j < text.size(); ++j) {
            if (text[j] == '[') ++depth;
            if (text[j] == ']' && --depth == 0) break;
        }
        if (j == text.size()) fail("unmatched [", text.substr(i));
        std::string inner = expand_repeats(text.substr(i + 1, j - i - 1));
        size_t k = j + 1;
        if (k >= text.size() || text[k] != '*') fail("a repeat needs *count", text.substr(i, k - i));
        size_t digits = ++k;
        while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
        if (k == digits) fail("a repeat needs *count", text.substr(i, k - i));
        int count = std::atoi(text.substr(digits, k - digits).c_str());
        for (int c = 0; c < count; ++c) out += " " + inner + " ";
        i = k;
    }
    return out;
}

std::string beat_text(double beat) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", beat);
    return text;
}

bool on_bar(double beat, double beats_per_bar) {
    double bars = beat / beats_per_bar;
    return std::fabs(bars - std::round(bars)) < 1e-6;
}

}  // namespace

int note_midi(const std::string& name) {
    static const int semitone_of[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') fail("bad note", name);
    int semitone = semitone_of[name[0] - 'A'];
    size_t pos = 1;
    if (name[pos] == '#') {
        ++semitone;
        ++pos;
    } else if (name[pos] == 'b') {
        --semitone;
        ++pos;
    }
    if (pos >= name.size()) fail("note without octave", name);
    for (size_t i = pos; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) fail("bad octave", name);
    int octave = std::atoi(name.c_str() + pos);
    return 12 * (octave + 1) + semitone;
}

score_track parse_track(const std::string& text, double beats_per_bar) {
    score_track track{{}, 0.0};
    std::istringstream tokens(expand_repeats(text));
    std::string token;
    while (tokens >> token) {
        if (token == "|") {
            if (!on_bar(track.beats, beats_per_bar))
                fail("bar line off the bar at beat " + beat_text(track.beats), token);
            continue;
        }
        std::string body = token;
        double velocity = 1.0;
        size_t at = body.find('@');
        if (at != std::string::npos) {
            velocity = parse_number(body.substr(at + 1), token);
            if (velocity > 1.0) fail("velocity above 1", token);
            body.resize(at);
        }
        size_t colon = body.rfind(':');
        if (colon == std::string::npos) fail("missing :length", token);
        double beats = parse_number(body.substr(colon + 1), token);
        std::string what = body.substr(0, colon);
        if (what.empty()) fail("missing note", token);
        if (what != "r") {
            if (std::islower(static_cast<unsigned char>(what[0]))) {
                for (char c : what)
                    if (!std::islower(static_cast<unsigned char>(c))) fail("bad drum name", token);
                track.notes.push_back({track.beats, beats, -1, what, velocity});
            } else {
                size_t from = 0;
                while (true) {
                    size_t plus = what.find('+', from);
                    std::string name = what.substr(from, plus - from);
                    track.notes.push_back({track.beats, beats, note_midi(name), "", velocity});
                    if (plus == std::string::npos) break;
                    from = plus + 1;
                }
            }
        }
        track.beats += beats;
    }
    return track;
}

std::vector<chord_span> parse_progression(const std::string& text, double beats_per_bar) {
    std::vector<chord_span> chords;
    std::istringstream tokens(expand_repeats(text));
    std::string token;
    double beat = 0.0;
    while (tokens >> token) {
        if (token == "|") {
            if (!on_bar(beat, beats_per_bar)) fail("bar line off the bar at beat " + beat_text(beat), token);
            continue;
        }
        size_t colon = token.rfind(':');
        std::string name = token.substr(0, colon);
        double beats = colon == std::string::npos ? beats_per_bar
                                                  : parse_number(token.substr(colon + 1), token);
        if (name.empty()) fail("missing chord name", token);
        chords.push_back({name, beat, beats});
        beat += beats;
    }
    return chords;
}
