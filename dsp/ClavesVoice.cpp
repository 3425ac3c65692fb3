#include "dsp/ClavesVoice.h"

#include "dsp/DspMath.h"

namespace dsp {

void ClavesVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    resonator_.setSampleRate(rate);
}

void ClavesVoice::prepare() {
    elapsed_ = 0;
    keyMode_ = 0.0f;
    resonator_.reset();
    allocateBuffers({&output_});
}

void ClavesVoice::setFrequency(float x) {
    resonator_.setFrequency(800.0f * powExtended(8.0f, x));
}

void ClavesVoice::setDecay(float x) {
    const float tau = 0.05f * x + 0.0001f;
    resonator_.setDecayTime(tau);
    lifetime_ = lifetimeFor(sampleRate_, tau);
    meterDecay_ = meterDecayFor(samplePeriod_, tau);
}

void ClavesVoice::setKeyMode(float x) {
    keyMode_ = x;
    resonator_.setKeyMode(x);
}

void ClavesVoice::render(const VoiceBlock& block, int frames) {
    if (active_ && buffersReady()) {
        float* ring = output_.data();
        resonator_.process({block.velocity, block.pitch, ring}, frames);
        const float gain = 850.0f * volume_;
        if (!stereo_) {
            for (int i = 0; i < frames; ++i) block.left[i] += gain * ring[i];
        } else {
            const float left = gain * panLeft_;
            const float right = gain * panRight_;
            for (int i = 0; i < frames; ++i) {
                block.left[i] += left * ring[i];
                block.right[i] += right * ring[i];
            }
        }
        // The pitch buffer is only read at triggers and is left as it is.
        clearVelocity(block, frames);
    }
    if (endBlock(frames, true)) {
        if (active_) resonator_.rest();  // (an idle voice's end comes every block)
        active_ = false;
    }
}

}  // namespace dsp
