// Playing scores into a loop; see song.h.
#include "song.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace {

// The longest any note may ring past the loop's end before it is folded back.
constexpr double tail_seconds = 10.0;

void check_length(const song& s, const std::string& what, const score_track& track) {
    if (std::fabs(track.beats - s.beats) > 1e-6) {
        std::ostringstream msg;
        msg << s.name << ": " << what << " lasts " << track.beats << " beats, the piece "
            << s.beats;
        throw std::runtime_error(msg.str());
    }
}

std::vector<int> voicing_notes(const std::vector<chord_voicing>& voicings, const std::string& chord) {
    for (const auto& v : voicings) {
        if (chord != v.chord) continue;
        std::vector<int> notes;
        std::istringstream names(v.notes);
        std::string name;
        while (names >> name) notes.push_back(note_midi(name));
        return notes;
    }
    throw std::runtime_error("no voicing for chord \"" + chord + "\"");
}

int pick(const std::vector<int>& notes, int index, const std::string& chord) {
    if (index < 0 || index >= static_cast<int>(notes.size()))
        throw std::runtime_error("chord \"" + chord + "\" has no note " + std::to_string(index));
    return notes[index];
}

// The closing tone stage of one channel: the two shelves, then the roll-off at the top.
struct tone {
    svf low, high, top;
};

double tone_step(tone& t, const song_finish& f, double v) {
    v += (f.low_gain - 1.0) * svf_step(t.low, v).low;
    v += (f.high_gain - 1.0) * svf_step(t.high, v).high;
    return svf_step(t.top, v).low;
}

}  // namespace

song start_song(const std::string& name, double rate, double bpm, double beats_per_bar, int bars,
                uint64_t seed) {
    song s;
    s.name = name;
    s.rate = rate;
    s.seconds_per_beat = 60.0 / bpm;
    s.beats_per_bar = beats_per_bar;
    s.beats = bars * beats_per_bar;
    s.loop = static_cast<size_t>(std::llround(s.beats * s.seconds_per_beat * rate));
    s.left.assign(s.loop + static_cast<size_t>(tail_seconds * rate), 0.0f);
    s.right = s.left;
    s.feel = {seed};
    return s;
}

void mix_in(song& s, const std::vector<float>& voice, double start_s, double gain, double pan) {
    size_t start = static_cast<size_t>(std::llround(start_s * s.rate));
    if (start + voice.size() > s.left.size())
        throw std::runtime_error(s.name + ": a sound rings too far past the loop's end");
    double angle = (pan + 1.0) * pi / 4.0;
    float gl = static_cast<float>(gain * std::cos(angle) * std::sqrt(2.0));
    float gr = static_cast<float>(gain * std::sin(angle) * std::sqrt(2.0));
    for (size_t i = 0; i < voice.size(); ++i) {
        s.left[start + i] += voice[i] * gl;
        s.right[start + i] += voice[i] * gr;
    }
}

void play_track(song& s, const std::string& what, const score_track& track, voice_fn voice,
                const track_style& style) {
    check_length(s, what, track);
    std::vector<float> buffer;
    for (const auto& note : track.notes) {
        if (note.midi < 0) throw std::runtime_error(s.name + ": drum in the " + what + " track");
        double start = note.beat * s.seconds_per_beat + style.looseness * noise_uniform(s.feel);
        double velocity = note.velocity * (1.0 - 0.1 * noise_uniform(s.feel));
        voice(buffer, s.rate, midi_to_hz(note.midi + style.transpose),
              note.beats * s.seconds_per_beat, velocity, s.feel);
        mix_in(s, buffer, start, style.gain, style.pan);
    }
}

void play_drums(song& s, const std::string& what, const score_track& track,
                const std::vector<drum_sound>& kit, const track_style& style) {
    check_length(s, what, track);
    std::vector<float> buffer;
    for (const auto& note : track.notes) {
        const drum_sound* drum = nullptr;
        for (const auto& d : kit)
            if (note.drum == d.name) drum = &d;
        if (!drum) throw std::runtime_error(s.name + ": no drum \"" + note.drum + "\" in " + what);
        double start = note.beat * s.seconds_per_beat + style.looseness * noise_uniform(s.feel);
        drum->play(buffer, s.rate, note.velocity * (1.0 - 0.08 * noise_uniform(s.feel)), s.feel);
        mix_in(s, buffer, start, style.gain, style.pan);
    }
}

score_track chord_track(const song& s, const std::vector<chord_span>& progression,
                        const std::vector<chord_voicing>& voicings,
                        const std::vector<std::vector<int>>& patterns, double step) {
    score_track track{{}, 0.0};
    for (const auto& span : progression) {
        std::vector<int> notes = voicing_notes(voicings, span.name);
        int bar = static_cast<int>(std::floor(span.beat / s.beats_per_bar + 1e-9));
        const std::vector<int>& pattern = patterns[bar % patterns.size()];
        int k = 0;
        for (double t = 0.0; t < span.beats - 1e-9; t += step, ++k) {
            int midi = pick(notes, pattern[k % pattern.size()], span.name);
            track.notes.push_back({span.beat + t, step, midi, "", k == 0 ? 1.0 : 0.75});
        }
        track.beats = span.beat + span.beats;
    }
    return track;
}

score_track held_chords(const std::vector<chord_span>& progression,
                        const std::vector<chord_voicing>& voicings, const std::vector<int>& indices) {
    score_track track{{}, 0.0};
    for (const auto& span : progression) {
        std::vector<int> notes = voicing_notes(voicings, span.name);
        for (int index : indices)
            track.notes.push_back({span.beat, span.beats, pick(notes, index, span.name), "", 1.0});
        track.beats = span.beat + span.beats;
    }
    return track;
}

void finish_song(song& s, const song_finish& f) {
    const size_t n = s.loop;
    for (size_t i = n; i < s.left.size(); ++i) {
        s.left[i - n] += s.left[i];
        s.right[i - n] += s.right[i];
    }
    s.left.resize(n);
    s.right.resize(n);

    // The first lap only fills the room with the end of the piece; the second is kept.
    reverb r;
    reverb_init(r, s.rate, f.room, f.damp);
    std::vector<float> wet_left(n), wet_right(n);
    for (int lap = 0; lap < 2; ++lap) {
        for (size_t i = 0; i < n; ++i) {
            float l, rr;
            reverb_step(r, 0.5f * (s.left[i] + s.right[i]), l, rr);
            if (lap == 1) {
                wet_left[i] = l;
                wet_right[i] = rr;
            }
        }
    }
    for (size_t i = 0; i < n; ++i) {
        s.left[i] += static_cast<float>(f.wet * wet_left[i]);
        s.right[i] += static_cast<float>(f.wet * wet_right[i]);
    }

    // Warm the filters up on the loop's last moments so the start is filtered as if it
    // followed them.
    for (std::vector<float>* channel : {&s.left, &s.right}) {
        tone t;
        svf_tune(t.low, f.low_hz, 0.707, s.rate);
        svf_tune(t.high, f.high_hz, 0.707, s.rate);
        svf_tune(t.top, 5000.0, 0.6, s.rate);
        std::vector<float>& x = *channel;
        for (size_t i = n - std::min<size_t>(n, 4096); i < n; ++i) tone_step(t, f, x[i]);
        for (size_t i = 0; i < n; ++i) x[i] = static_cast<float>(tone_step(t, f, x[i]));
    }

    double sum = 0.0;
    for (size_t i = 0; i < n; ++i)
        sum += static_cast<double>(s.left[i]) * s.left[i] + static_cast<double>(s.right[i]) * s.right[i];
    if (sum <= 0.0) return;
    const double gain = std::pow(10.0, f.level_db / 20.0) / std::sqrt(sum / (2.0 * n));
    // Above the knee, a curve that meets the line smoothly and never reaches the ceiling; the
    // same for every sample, so it cannot open a seam at the loop point.
    const double knee = 0.7 * f.ceiling, room_left = f.ceiling - knee;
    for (std::vector<float>* channel : {&s.left, &s.right})
        for (float& v : *channel) {
            double x = gain * v, a = std::fabs(x);
            if (a > knee) a = knee + room_left * std::tanh((a - knee) / room_left);
            v = static_cast<float>(x < 0.0 ? -a : a);
        }
}
