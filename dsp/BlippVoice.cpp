#include "dsp/BlippVoice.h"

#include <cmath>

#include "dsp/DspMath.h"

namespace dsp {

void BlippVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    amplitudeEnvelope_.setSampleRate(rate);
    sweepEnvelope_.setSampleRate(rate);
}

void BlippVoice::prepare() {
    phase_ = 0.0f;
    elapsed_ = 0;
    currentBaseFrequency_ = 80.0f;
    effectiveSweep_ = 127.0f;
    allocateBuffers({&frequency_, &amplitude_});
    const float tenMs = expExtended(-100.0f * samplePeriod_);
    amplitudeEnvelope_.setCoefficient(tenMs);
    sweepEnvelope_.setCoefficient(tenMs);
}

void BlippVoice::setFrequency(float x) {
    fixedFrequency_ = 40.0f * powExtended(2.0f, x);
}

void BlippVoice::setSweep(float x) {
    sweepDepth_ = 127.0f * x;
}

void BlippVoice::setDecay(float x) {
    const float tau = 0.2f * x + 0.005f;
    amplitudeEnvelope_.setCoefficient(expExtended(-samplePeriod_ / tau));
    lifetime_ = lifetimeFor(sampleRate_, tau);
    meterDecay_ = meterDecayFor(samplePeriod_, tau);
}

void BlippVoice::setSweepDecay(float x) {
    sweepEnvelope_.setCoefficient(expExtended(-samplePeriod_ / (0.2f * x + 0.005f)));
}

void BlippVoice::setKeyMode(float x) {
    keyMode_ = x;
}

void BlippVoice::computeFrequencies(const float* velocity, const float* pitch, float* frequency,
                                    int frames) {
    if (keyMode_ != 1.0f) {
        for (int i = 0; i < frames; ++i)
            frequency[i] = frequency[i] * sweepDepth_ * fixedFrequency_ + fixedFrequency_;
        return;
    }
    for (int i = 0; i < frames; ++i) {
        const float envelope = frequency[i];
        if (velocity[i] > 0.0f && pitch[i] > 0.0f) {
            currentBaseFrequency_ = pitch[i];
            // Keep the glide's start in check when a high note meets a deep sweep.
            const float peak = currentBaseFrequency_ * envelope * sweepDepth_ + currentBaseFrequency_;
            effectiveSweep_ = peak <= 16000.0f ? sweepDepth_ : sweepDepth_ * 10000.0f / peak - 1.0f;
        }
        frequency[i] = envelope * effectiveSweep_ * currentBaseFrequency_ + currentBaseFrequency_;
        lastFrequency_ = frequency[i];
    }
}

void BlippVoice::render(const VoiceBlock& block, int frames) {
    if (active_ && buffersReady()) {
        float* amplitude = amplitude_.data();
        float* frequency = frequency_.data();
        amplitudeEnvelope_.accumulate({block.velocity, nullptr, amplitude}, frames);
        sweepEnvelope_.process({block.velocity, nullptr, frequency}, frames);
        computeFrequencies(block.velocity, block.pitch, frequency, frames);

        // The phase step is formed in double precision; the wrap subtracts a
        // single-precision turn. A step above one turn (very low sample
        // rates) leaves the phase above pi; it is then reduced by as many
        // turns as needed in one step, never by a loop that a phase too
        // large to change could keep going.
        const double w = static_cast<double>(samplePeriod_) * 6.283185307179586;
        const float gain = volume_ * 0.8f;
        for (int i = 0; i < frames; ++i) {
            phase_ += w * frequency[i];
            if (phase_ > 3.141592653589793) {
                phase_ -= 6.2831855f;
                if (phase_ > 3.141592653589793)
                    phase_ = static_cast<float>(std::remainder(static_cast<double>(phase_), 6.283185307179586));
            }
            const float p = phase_ * phase_;
            const float cs =
                (3628800.0f - p * (1814400.0f - p * (151200.0f - p * (5040.0f - p * (90.0f - p))))) *
                (1.0f / 3628800.0f);
            amplitude[i] = cs * amplitude[i] * gain;
        }
        // The volume is already inside the signal.
        if (!stereo_) {
            for (int i = 0; i < frames; ++i) block.left[i] += amplitude[i];
        } else {
            for (int i = 0; i < frames; ++i) {
                block.left[i] += amplitude[i] * panLeft_;
                block.right[i] += amplitude[i] * panRight_;
            }
        }
        clearVelocity(block, frames);
    }
    if (endBlock(frames, true)) {
        active_ = false;
        amplitudeEnvelope_.setLevel(0.0f);
        sweepEnvelope_.setLevel(0.0f);
    }
}

}  // namespace dsp
