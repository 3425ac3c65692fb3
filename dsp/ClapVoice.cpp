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
            signal[i] = bandpass.step(highpass.step(shaped));
        }
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
