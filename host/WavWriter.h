// Writes interleaved float audio to a 24-bit WAV file through libsndfile.
#pragma once

#include <string>
#include <vector>

namespace host {

// channels holds one vector per channel, all of the same length. The file
// is written under a temporary name and renamed once complete.
bool writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
              std::string* error = nullptr);

struct Loudness {
    float peak = 0.0f;
    float rms = 0.0f;
};

Loudness measure(const std::vector<std::vector<float>>& channels);

}  // namespace host
