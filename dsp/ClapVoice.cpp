#include "dsp/ClapVoice.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "dsp/DspMath.h"
#include "dsp/RingBound.h"

namespace dsp {

void ClapVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    tailDecay_.setSampleRate(rate);
    burstDecay_.setSampleRate(rate);
}

void ClapVoice::prepare() {
    elapsed_ = 0;
    allocateBuffers({&signal_});
    highpass_.setSampleRate(sampleRate_);
    bandpass_.setSampleRate(sampleRate_);
    // The bursts keep a 10 ms time constant; only the tail follows Decay.
    const float tenMs = expExtended(-100.0f * samplePeriod_);
    tailDecay_.setCoefficient(tenMs);
    burstDecay_.setCoefficient(tenMs);
    noise_.setState(NoiseSource::kSeed);
    highpass_.recompute();
    highpass_.setFrequency(1000.0f);
    highpass_.setQ(1.0f);
    bandpass_.recompute();
    bandpass_.setFrequency(2000.0f);
    bandpass_.setQ(1.0f);
    pulseLevel_ = 0.0f;
    hits_.clear();
}

float ClapVoice::filterFrequency(float x) {
    return 200.0f * powExtended(16.0f, x);
}

void ClapVoice::setFrequency(float x) {
    const float before = frequencyValue_;
    frequencyValue_ = x;
    highpass_.setFrequency(filterFrequency(x));
    holdFiltersToHits(before, qValue_);
}

void ClapVoice::setQ(float x) {
    const float before = qValue_;
    qValue_ = x;
    highpass_.setQ(filterQ(x));
    holdFiltersToHits(frequencyValue_, before);
}

// To the settings it had and has.
void ClapVoice::holdFiltersToHits(float frequencyBefore, float qBefore) {
    if (!highpass_.shadowed()) return;
    const auto probe = [this](float f, float q) { return hitAt(f, q); };
    for (const HitGrid<2>::Values& hit : hits_.hadAndHas(frequencyBefore, qBefore, frequencyValue_, qValue_, probe)) {
        highpass_.raiseFloor(hit[0]);
        // The band-pass's own settings stay; what moves is its input.
        bandpass_.holdTo(hit[1], highpass_.shadowedFor() + 64);
    }
}

// A hit at velocity 127 on a fresh clap with the longest tail: the largest
// outputs of both filters.
HitGrid<2>::Values ClapVoice::hitAt(float frequency, float q) const {
    HighpassResonator highpass;
    BandpassResonator bandpass;
    highpass.setSampleRate(sampleRate_);
    bandpass.setSampleRate(sampleRate_);
    highpass.setFrequency(filterFrequency(frequency));
    highpass.setQ(filterQ(q));
    bandpass.setFrequency(2000.0f);
    bandpass.setQ(1.0f);
    DecayEnvelope tail, burst;
    tail.setCoefficient(expExtended(-samplePeriod_ / 0.051f));
    burst.setCoefficient(expExtended(-100.0f * samplePeriod_));
    NoiseSource noise;
    noise.setState(NoiseSource::kSeed);
    DecayEnvelope::Run tailRun = tail.begin(), burstRun = burst.begin();
    NoiseSource::Run noiseRun = noise.begin();
    HighpassResonator::Run highRun = highpass.begin();
    BandpassResonator::Run bandRun = bandpass.begin();
    const float level = RingBound::kLoudestVelocity;
    const int frames = static_cast<int>(std::min(kTailStart + 0.2f * sampleRate_, 32768.0f));
    HitGrid<2>::Values peak{};
    for (int counter = 0; counter < frames; ++counter) {
        const bool bursts = counter == 0 || counter == kBurstSpacing || counter == 2 * kBurstSpacing;
        const float tailEnvelope = tailRun.accumulate(counter == kTailStart ? level : 0.0f);
        const float burstEnvelope = burstRun.accumulate(bursts ? level : 0.0f);
        const float shaped = (burstEnvelope * burstEnvelope + tailEnvelope) * noiseRun.next() * 3.0f;
        const float high = highRun.step(shaped);
        peak[0] = std::max(peak[0], std::abs(high));
        peak[1] = std::max(peak[1], std::abs(bandRun.step(high)));
    }
    return peak;
}

void ClapVoice::setDecay(float x) {
    const float tau = 0.05f * x + 0.001f;
    tailDecay_.setCoefficient(expExtended(-samplePeriod_ / tau));
    lifetime_ = lifetimeFor(sampleRate_, tau);
    meterDecay_ = meterDecayFor(samplePeriod_, tau);
}

void ClapVoice::render(const VoiceBlock& block, int frames) {
    if (active_ && buffersReady()) {
        const float* velocity = block.velocity;
        float* signal = signal_.data();
        // Pulses, envelopes, noise and both filters run in one loop, each
        // unit's recursion exactly as its own block would run it.
        DecayEnvelope::Run tailDecay = tailDecay_.begin();
        DecayEnvelope::Run burstDecay = burstDecay_.begin();
        NoiseSource::Run noise = noise_.begin();
        HighpassResonator::Run highpass = highpass_.begin();
        BandpassResonator::Run bandpass = bandpass_.begin();
        float level = pulseLevel_;
        int counter = pulseCounter_;
        // The filters' shadows run only while the high-pass's settings move.
        const auto run = [&](auto watched) {
            constexpr bool kWatched = decltype(watched)::value;
            for (int i = 0; i < frames; ++i) {
                if (velocity[i] > 0.0f) {
                    level = velocity[i];
                    counter = 0;
                }
                const bool burst = counter == 0 || counter == kBurstSpacing || counter == 2 * kBurstSpacing;
                const float burstPulse = burst ? level : 0.0f;
                const float tailPulse = counter == kTailStart ? level : 0.0f;
                if (counter <= kTailStart) ++counter;
                const float tailEnvelope = tailDecay.accumulate(tailPulse);
                const float burstEnvelope = burstDecay.accumulate(burstPulse);
                const float shaped = (burstEnvelope * burstEnvelope + tailEnvelope) * noise.next() * 3.0f;
                signal[i] = bandpass.template step<kWatched>(highpass.template step<kWatched>(shaped));
            }
        };
        if (highpass_.shadowed() || bandpass_.shadowed())
            run(std::true_type{});
        else
            run(std::false_type{});
        pulseLevel_ = level;
        pulseCounter_ = counter;
        tailDecay_.end(tailDecay);
        burstDecay_.end(burstDecay);
        noise_.end(noise);
        highpass_.end(highpass);
        bandpass_.end(bandpass);
        clearVelocity(block, frames);
        mix(block, signal, frames);
    }
    if (endBlock(frames)) {
        active_ = false;
        elapsed_ = 0;
        highpass_.rest();
        bandpass_.rest();
    }
}

}  // namespace dsp
