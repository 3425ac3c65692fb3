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
    if (active_ && buffersReady()) {
        const float* velocity = block.velocity;
        const float* closedFlag = block.pitch;
        float* signal = signal_.data();
        // Envelope, oscillators and filter run in one loop, each unit's
        // recursion exactly as its own block would run it.
        const float d = denormal_.flip();
        SawBank::Run oscillators = oscillators_.begin();
        HighpassResonator::Run filter = filter_.begin();
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
            signal[i] = level * filter.step(oscillators.next());
        }
        closedFlag_ = flag;
        envelopeLevel_ = level;
        oscillators_.end(oscillators);
        filter_.end(filter);
        mix(block, signal, frames);
        clearVelocity(block, frames);
    }
    if (endBlock(frames)) active_ = false;
}

}  // namespace dsp
