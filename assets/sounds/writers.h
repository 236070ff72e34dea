// Writers for the two sound file formats the game loads: 16-bit PCM WAV for effects and
// Ogg Vorbis for music. Both return false (with a message on stderr) if the file can't be made.
#pragma once

#include <string>
#include <vector>

// Mono, signed 16-bit little-endian PCM; samples are clamped to [-1, 1].
bool write_wav(const std::string& path, const std::vector<float>& samples, int rate);

// A stereo loop as Vorbis at the given VBR quality, encoded so that its decoded start carries
// straight on from its decoded end. The stream serial number is fixed so the file is the same on
// every run.
bool write_ogg_loop(const std::string& path, const std::vector<float>& left,
                      const std::vector<float>& right, int rate, float quality,
                      const std::string& title);
