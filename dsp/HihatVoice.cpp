#include "dsp/HihatVoice.h"

#include "dsp/DspMath.h"

namespace dsp {

void HihatVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    oscillators_.setSampleRate(rate);
    filter_.setSampleRate(rate);
}

void HihatVoice::prepare() {
    elapsed_ = 0;
    allocateBuffers({&signal_});
    oscillators_.setFrequencies(kMetalFrequencies);
    filter_.recompute();
}

void HihatVoice::setFrequency(float x) {
    filter_.setFrequency(1000.0f * powExtended(16.0f, x));
}

void HihatVoice::setQ(float x) {
    filter_.setQ(5.0f * x + 1.0f);
}

void HihatVoice::setClosedDecay(float x) {
    closedDecayTime_ = 0.02f * x + 0.002f;
    closedCoefficient_ = expExtended(-samplePeriod_ / closedDecayTime_);
    raiseLifetime(lifetimeFor(sampleRate_, closedDecayTime_));
    updateMeterDecay();
}

void HihatVoice::setOpenDecay(float x) {
    openDecayTime_ = 0.2f * x + 0.01f;
    openCoefficient_ = expExtended(-samplePeriod_ / openDecayTime_);
    raiseLifetime(lifetimeFor(sampleRate_, openDecayTime_));
    updateMeterDecay();
}

void HihatVoice::updateMeterDecay() {
    meterDecay_ = meterDecayFor(samplePeriod_, std::max(closedDecayTime_, openDecayTime_));
}

void HihatVoice::render(const VoiceBlock& block, int frames) {
    if (rendersThisBlock()) {
        // Envelope, oscillators and filter run in one loop, each unit's
        // recursion exactly as its own block would run it.
        Pass pass = beginPass();
        float* signal = signal_.data();
        for (int i = 0; i < frames; ++i) {
            const float level = envelope(pass, block.velocity, block.pitch, i);
            signal[i] = level * pass.filter.step(pass.oscillators.next());
        }
        finishPass(pass, block, frames);
    }
    endOfBlock(frames);
}

void HihatVoice::finishPass(const Pass& pass, const VoiceBlock& block, int frames) {
    closedFlag_ = pass.flag;
    envelopeLevel_ = pass.level;
    oscillators_.end(pass.oscillators);
    filter_.end(pass.filter);
    mix(block, signal_.data(), frames);
    clearVelocity(block, frames);
}

}  // namespace dsp
