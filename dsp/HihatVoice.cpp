#include "dsp/HihatVoice.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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
    hits_.clear();
}

float HihatVoice::filterFrequency(float x) {
    return 1000.0f * powExtended(16.0f, x);
}

float HihatVoice::filterQ(float x) {
    return 5.0f * x + 1.0f;
}

void HihatVoice::setFrequency(float x) {
    const float before = frequencyValue_;
    frequencyValue_ = x;
    filter_.setFrequency(filterFrequency(x));
    holdFilterToHits(before, qValue_);
}

void HihatVoice::setQ(float x) {
    const float before = qValue_;
    qValue_ = x;
    filter_.setQ(filterQ(x));
    holdFilterToHits(frequencyValue_, before);
}

// To the settings it had and has.
void HihatVoice::holdFilterToHits(float frequencyBefore, float qBefore) {
    if (!filter_.shadowed()) return;
    const auto probe = [this](float f, float q) { return hitAt(f, q); };
    for (const HitGrid<1>::Values& hit : hits_.hadAndHas(frequencyBefore, qBefore, frequencyValue_, qValue_, probe))
        filter_.raiseFloor(hit[0]);
}

// The filter's largest output over the first quarter second of oscillators
// started afresh.
HitGrid<1>::Values HihatVoice::hitAt(float frequency, float q) const {
    SawBank oscillators;
    oscillators.setSampleRate(sampleRate_);
    oscillators.setFrequencies(kMetalFrequencies);
    HighpassResonator filter;
    filter.setSampleRate(sampleRate_);
    filter.setFrequency(filterFrequency(frequency));
    filter.setQ(filterQ(q));
    SawBank::Run metal = oscillators.begin();
    HighpassResonator::Run run = filter.begin();
    const int frames = static_cast<int>(std::min(0.25f * sampleRate_, 32768.0f));
    float peak = 0.0f;
    for (int i = 0; i < frames; ++i) peak = std::max(peak, std::abs(run.step(metal.next())));
    return {peak};
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
        // The filter's shadows run only while its settings move.
        const auto run = [&](auto watched) {
            for (int i = 0; i < frames; ++i) {
                const float level = envelope(pass, block.velocity, block.pitch, i);
                signal[i] = level * pass.filter.template step<decltype(watched)::value>(
                                        pass.oscillators.next(), level * (1.0f / RingBound::kLoudestVelocity));
            }
        };
        if (filter_.shadowed())
            run(std::true_type{});
        else
            run(std::false_type{});
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
