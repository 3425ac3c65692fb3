#include "dsp/CrashVoice.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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
    hits_.clear();
    strikeEnvelope_.setCoefficient(expExtended(-100.0f * samplePeriod_));
    // The bloom always rises with a 100 ms time constant.
    bloomEnvelope_.setAttackCoefficient(expExtended(-10.0f * samplePeriod_));
    bloomEnvelope_.setDecayCoefficient(expExtended(-10.0f * samplePeriod_));
}

void CrashVoice::tune(HighpassResonator& upper, HighpassResonator& lower, float x) {
    const float e = powExtended(4.0f, x);
    upper.setFrequency(2000.0f * e);
    lower.setFrequency(500.0f * e);
}

void CrashVoice::setFrequency(float x) {
    const float before = frequencyValue_;
    frequencyValue_ = x;
    tune(upperFilter_, lowerFilter_, x);
    holdFiltersToHits(before, qValue_);
}

void CrashVoice::setQ(float x) {
    const float before = qValue_;
    qValue_ = x;
    upperFilter_.setQ(filterQ(x));
    lowerFilter_.setQ(filterQ(x));
    holdFiltersToHits(frequencyValue_, before);
}

// To the settings they had and have.
void CrashVoice::holdFiltersToHits(float frequencyBefore, float qBefore) {
    if (!upperFilter_.shadowed() && !lowerFilter_.shadowed()) return;
    const auto probe = [this](float f, float q) { return hitAt(f, q); };
    for (const HitGrid<2>::Values& hit : hits_.hadAndHas(frequencyBefore, qBefore, frequencyValue_, qValue_, probe)) {
        if (upperFilter_.shadowed()) upperFilter_.raiseFloor(hit[0]);
        if (lowerFilter_.shadowed()) lowerFilter_.raiseFloor(hit[1]);
        // The oscillators run on whether the crash sounds or not, so how
        // loud a hit is depends on when it comes: its two envelopes at
        // their peaks times the bands at theirs bounds every hit.
        voiceBound_.raise(hit[0] / kBloomHeard + hit[1] / kStrikeHeard);
    }
    // Each band leaves room for the other's loudest, in its own terms.
    upperFilter_.allowForOtherParts(lowerFilter_.floor() * kBloomHeard / kStrikeHeard);
    lowerFilter_.allowForOtherParts(upperFilter_.floor() * kStrikeHeard / kBloomHeard);
}

// Both bands' largest outputs over oscillators started afresh.
HitGrid<2>::Values CrashVoice::hitAt(float frequency, float q) const {
    SawBank oscillators;
    oscillators.setSampleRate(sampleRate_);
    oscillators.setFrequencies(kMetalFrequencies);
    HighpassResonator upper, lower;
    upper.setSampleRate(sampleRate_);
    lower.setSampleRate(sampleRate_);
    tune(upper, lower, frequency);
    upper.setQ(filterQ(q));
    lower.setQ(filterQ(q));
    SawBank::Run metal = oscillators.begin();
    HighpassResonator::Run upperRun = upper.begin(), lowerRun = lower.begin();
    const int frames = static_cast<int>(std::min(0.6f * sampleRate_, 49152.0f));
    HitGrid<2>::Values peak{};
    for (int i = 0; i < frames; ++i) {
        const float m = metal.next();
        peak[0] = std::max(peak[0], std::abs(upperRun.step(m)));
        peak[1] = std::max(peak[1], std::abs(lowerRun.step(m)));
    }
    return peak;
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
        // The bands' shadows, and the mix's bound, run only while their
        // settings move.
        const float limit = voiceBound_.limit(), reference = voiceBound_.reference();
        const auto run = [&](auto watched) {
            constexpr bool kWatched = decltype(watched)::value;
            for (int i = 0; i < frames; ++i) {
                const float strike = pass.strikeEnvelope.accumulate(block.velocity[i]);
                const float bloom = pass.bloomEnvelope.step(block.velocity[i]);
                const float metal = pass.oscillators.next();
                // The bands as the voice hears them, over their loudest (see
                // ResonantFilter::Shadow::follow).
                const float upper = pass.upperFilter.template step<kWatched>(metal, bloom * kBloomHeard);
                const float lower = pass.lowerFilter.template step<kWatched>(metal, strike * kStrikeHeard);
                signal[i] = bloom * upper + lower * strike;
                if constexpr (kWatched) {
                    if (!RingBound::within(signal[i], limit))
                        signal[i] = holdBoth(pass.upperFilter, pass.lowerFilter, signal[i], reference);
                }
            }
        };
        if (upperFilter_.shadowed() || lowerFilter_.shadowed())
            run(std::true_type{});
        else
            run(std::false_type{});
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
