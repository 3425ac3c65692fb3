#include "dsp/DrumVoice.h"

#include <climits>
#include <cmath>

#include "dsp/DspMath.h"

namespace dsp {

void DrumVoice::process(const VoiceBlock& block, int frames) {
    if (frames <= 0 || frames <= blockSize_) {
        render(block, frames > 0 ? frames : 0);
        return;
    }
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, blockSize_ > 0 ? blockSize_ : frames);
        render(block.from(done), n);
        done += n;
    }
}

void DrumVoice::trigger() {
    active_ = true;
    elapsed_ = 0;
    setMeterPeak(1.0f);
}

void DrumVoice::setVolume(float x) {
    if (x > 0.0f) {
        if (x > 1.0f) x = 1.0f;
        volume_ = static_cast<float>(portable::pow(10.0, static_cast<double>((46.0f * x - 40.0f) * 0.05f)));
    } else {
        volume_ = 0.0f;
    }
}

void DrumVoice::setPan(float x) {
    if (x < 0.0f) x = 0.0f;
    if (x > 1.0f) x = 1.0f;
    panLeft_ = 1.0f - x;
    panRight_ = x;
}

bool DrumVoice::allocateBuffers(std::initializer_list<ScratchBuffer*> buffers) {
    buffersReady_ = true;
    for (ScratchBuffer* buffer : buffers) buffersReady_ = buffer->allocate(blockSize_) && buffersReady_;
    return buffersReady_;
}

void DrumVoice::mix(const VoiceBlock& block, const float* signal, int frames) const {
    float* left = block.left;
    float* right = block.right;
    // Gains in locals, so that stores to the outputs do not force reloads.
    const float volume = volume_, panLeft = panLeft_, panRight = panRight_;
    if (!stereo_) {
        for (int i = 0; i < frames; ++i) left[i] += signal[i] * volume;
        return;
    }
    for (int i = 0; i < frames; ++i) {
        left[i] += signal[i] * volume * panLeft;
        right[i] += signal[i] * volume * panRight;
    }
}

void DrumVoice::clearVelocity(const VoiceBlock& block, int frames) const {
    for (int i = 0; i < frames; ++i) block.velocity[i] = 0.0f;
}

void DrumVoice::decayMeter(int frames) {
    float factor = 1.0f;
    float base = meterDecay_;
    for (unsigned n = static_cast<unsigned>(frames); n != 0; n >>= 1) {
        if (n & 1u) factor *= base;
        base *= base;
    }
    meterLevel_ *= factor;
}

void DrumVoice::advanceElapsed(int frames) {
    elapsed_ = elapsed_ > INT_MAX - frames ? INT_MAX : elapsed_ + frames;
}

}  // namespace dsp
