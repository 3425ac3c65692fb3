#include "dsp/ClapVoice.h"

#include "dsp/DspMath.h"

namespace dsp {

void ClapVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    tailDecay_.setSampleRate(rate);
    burstDecay_.setSampleRate(rate);
}

void ClapVoice::prepare() {
    elapsed_ = 0;
    allocateBuffers({&signal_, &tailEnvelope_, &burstEnvelope_, &burstPulses_, &tailPulse_});
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
}

void ClapVoice::setFrequency(float x) {
    highpass_.setFrequency(200.0f * powExtended(16.0f, x));
}

void ClapVoice::setQ(float x) {
    highpass_.setQ(3.0f * x + 1.0f);
}

void ClapVoice::setDecay(float x) {
    const float tau = 0.05f * x + 0.001f;
    tailDecay_.setCoefficient(expExtended(-samplePeriod_ / tau));
    lifetime_ = lifetimeFor(sampleRate_, tau);
    meterDecay_ = meterDecayFor(samplePeriod_, tau);
}

void ClapVoice::generatePulses(const float* velocity, float* bursts, float* tail, int frames) {
    float level = pulseLevel_;
    auto counter = pulseCounter_;
    for (int i = 0; i < frames; ++i) {
        if (velocity[i] > 0.0f) {
            level = velocity[i];
            counter = 0;
        }
        const bool burst = counter == 0 || counter == kBurstSpacing || counter == 2 * kBurstSpacing;
        bursts[i] = burst ? level : 0.0f;
        tail[i] = counter == kTailStart ? level : 0.0f;
        if (counter <= kTailStart) ++counter;
    }
    pulseLevel_ = level;
    pulseCounter_ = counter;
}

void ClapVoice::render(const VoiceBlock& block, int frames) {
    if (active_ && buffersReady()) {
        float* signal = signal_.data();
        float* tailEnvelope = tailEnvelope_.data();
        float* burstEnvelope = burstEnvelope_.data();
        float* bursts = burstPulses_.data();
        float* tail = tailPulse_.data();
        generatePulses(block.velocity, bursts, tail, frames);
        tailDecay_.accumulate({tail, nullptr, tailEnvelope}, frames);
        burstDecay_.accumulate({bursts, nullptr, burstEnvelope}, frames);
        noise_.process({nullptr, nullptr, signal}, frames);
        for (int i = 0; i < frames; ++i)
            signal[i] = (burstEnvelope[i] * burstEnvelope[i] + tailEnvelope[i]) * signal[i] * 3.0f;
        clearVelocity(block, frames);
        highpass_.process({signal, nullptr, signal}, frames);
        bandpass_.process({signal, nullptr, signal}, frames);
        mix(block, signal, frames);
    }
    if (endBlock(frames)) {
        active_ = false;
        elapsed_ = 0;
    }
}

}  // namespace dsp
