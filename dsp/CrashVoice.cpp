#include "dsp/CrashVoice.h"

#include "dsp/DspMath.h"

namespace dsp {

void CrashVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    oscillators_.setSampleRate(rate);
    strikeEnvelope_.setSampleRate(rate);
    bloomEnvelope_.setSampleRate(rate);
    upperFilter_.setSampleRate(rate);
    lowerFilter_.setSampleRate(rate);
}

void CrashVoice::prepare() {
    elapsed_ = 0;
    allocateBuffers({&signal_});
    oscillators_.setFrequencies(kMetalFrequencies);
    upperFilter_.recompute();
    lowerFilter_.recompute();
    strikeEnvelope_.setCoefficient(expExtended(-100.0f * samplePeriod_));
    // The bloom always rises with a 100 ms time constant.
    bloomEnvelope_.setAttackCoefficient(expExtended(-10.0f * samplePeriod_));
    bloomEnvelope_.setDecayCoefficient(expExtended(-10.0f * samplePeriod_));
}

void CrashVoice::setFrequency(float x) {
    const float e = powExtended(4.0f, x);
    upperFilter_.setFrequency(2000.0f * e);
    lowerFilter_.setFrequency(500.0f * e);
}

void CrashVoice::setQ(float x) {
    const float q = 20.0f * x + 1.0f;
    upperFilter_.setQ(q);
    lowerFilter_.setQ(q);
}

void CrashVoice::setDecay(float x) {
    const float b = 0.5f * x + 0.05f;
    strikeEnvelope_.setCoefficient(expExtended(-samplePeriod_ / b));
    bloomEnvelope_.setDecayCoefficient(expExtended(-samplePeriod_ / (2.0f * b)));
    lifetime_ = decaySamples(sampleRate_, 30.0f, b);  // the bloom's 90 dB time
    meterDecay_ = meterDecayFor(samplePeriod_, 2.0f * b);
}

void CrashVoice::render(const VoiceBlock& block, int frames) {
    if (rendersThisBlock()) {
        // Envelopes, oscillators and both bands run in one loop, each
        // unit's recursion exactly as its own block would run it.
        Pass pass = beginPass();
        float* signal = signal_.data();
        for (int i = 0; i < frames; ++i) {
            const float strike = pass.strikeEnvelope.accumulate(block.velocity[i]);
            const float bloom = pass.bloomEnvelope.step(block.velocity[i]);
            const float metal = pass.oscillators.next();
            const float upper = pass.upperFilter.step(metal);
            const float lower = pass.lowerFilter.step(metal);
            signal[i] = bloom * upper + lower * strike;
        }
        finishPass(pass, block, frames);
    }
    endOfBlock(frames);
}

void CrashVoice::finishPass(const Pass& pass, const VoiceBlock& block, int frames) {
    strikeEnvelope_.end(pass.strikeEnvelope);
    bloomEnvelope_.end(pass.bloomEnvelope);
    oscillators_.end(pass.oscillators);
    upperFilter_.end(pass.upperFilter);
    lowerFilter_.end(pass.lowerFilter);
    mix(block, signal_.data(), frames);
    clearVelocity(block, frames);
}

}  // namespace dsp
