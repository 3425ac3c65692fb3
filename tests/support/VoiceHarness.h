// Drives one voice the way the plug-in does: trigger buffers, blocks of a
// chosen size, mono or stereo outputs.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/DrumVoice.h"

namespace testing_support {

struct Hit {
    int frame;
    float velocity;
    float pitch;  // frequency in Hz, or the hihat's closed flag
};

struct Rendered {
    std::vector<float> left;
    std::vector<float> right;
};

template <typename Voice>
class VoiceHarness {
public:
    VoiceHarness(float sampleRate = 44100.0f, int blockSize = 256) : blockSize_(blockSize) {
        voice.setBlockSize(blockSize);
        voice.setSampleRate(sampleRate);
        voice.prepare();
        voice.setVolume(40.0f / 46.0f);
        voice.setPan(0.5f);
    }

    // Renders frames samples in blocks of blockSize (or a given size),
    // triggering the hits at their absolute frames.
    Rendered render(const std::vector<Hit>& hits, int frames, bool stereo = false, int block = 0) {
        if (block <= 0) block = blockSize_;
        Rendered out;
        out.left.assign(static_cast<size_t>(frames), 0.0f);
        out.right.assign(static_cast<size_t>(frames), 0.0f);
        std::vector<float> velocity(static_cast<size_t>(block), 0.0f);
        std::vector<float> pitch(static_cast<size_t>(block), 0.0f);
        voice.setStereo(stereo);
        for (int start = 0; start < frames; start += block) {
            const int n = std::min(block, frames - start);
            for (const Hit& hit : hits) {
                if (hit.frame >= start && hit.frame < start + n) {
                    velocity[hit.frame - start] = hit.velocity;
                    pitch[hit.frame - start] = hit.pitch;
                    voice.trigger();
                }
            }
            dsp::VoiceBlock b{velocity.data(), pitch.data(), out.left.data() + start,
                              out.right.data() + start};
            voice.process(b, n);
            // The pitch buffer is the caller's to clear, as the plug-in's is.
            std::fill(pitch.begin(), pitch.end(), 0.0f);
        }
        processed_ += frames;
        return out;
    }

    Voice voice;

private:
    int blockSize_;
    int processed_ = 0;
};

inline float peakOf(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX) {
    float peak = 0.0f;
    for (size_t i = from; i < samples.size() && i < to; ++i)
        peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

// The first frame whose level stands out above the denormal guard's offsets
// (about 1e-10 fed through the recursions).
inline int firstAudible(const std::vector<float>& samples, float threshold = 1e-5f) {
    for (size_t i = 0; i < samples.size(); ++i)
        if (std::abs(samples[i]) > threshold) return static_cast<int>(i);
    return -1;
}

}  // namespace testing_support
