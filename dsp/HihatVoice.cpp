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
    allocateBuffers({&oscillator_, &envelope_});
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

void HihatVoice::shapeEnvelope(const float* velocity, const float* closedFlag, float* envelope,
                               int frames) {
    const float d = denormal_.flip();
    const float closedCoefficient = closedCoefficient_, openCoefficient = openCoefficient_;
    float flag = closedFlag_, level = envelopeLevel_;
    for (int i = 0; i < frames; ++i) {
        if (velocity[i] > 0.0f) {
            flag = closedFlag[i];
            const float tau = flag > 0.5f ? closedDecayTime_ : openDecayTime_;
            meterDecay_ = meterDecayFor(samplePeriod_, tau);
        }
        const float coefficient = flag > 0.5f ? closedCoefficient : openCoefficient;
        // Not limited: hits in quick succession add up.
        level = d + coefficient * level + velocity[i];
        envelope[i] = level;
    }
    closedFlag_ = flag;
    envelopeLevel_ = level;
}

void HihatVoice::render(const VoiceBlock& block, int frames) {
    if (active_ && buffersReady()) {
        float* envelope = envelope_.data();
        float* signal = oscillator_.data();
        shapeEnvelope(block.velocity, block.pitch, envelope, frames);
        oscillators_.process({nullptr, nullptr, signal}, frames);
        filter_.process({signal, nullptr, signal}, frames);
        for (int i = 0; i < frames; ++i) signal[i] = envelope[i] * signal[i];
        mix(block, signal, frames);
        clearVelocity(block, frames);
    }
    if (endBlock(frames)) active_ = false;
}

}  // namespace dsp
