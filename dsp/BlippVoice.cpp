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
    allocateBuffers({&signal_});
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

BlippVoice::Pass BlippVoice::beginPass() {
    // The phase step is formed in double precision; the wrap subtracts a
    // single-precision turn.
    return {amplitudeEnvelope_.begin(),
            sweepEnvelope_.begin(),
            keyMode_ == 1.0f,
            sweepDepth_,
            fixedFrequency_,
            currentBaseFrequency_,
            effectiveSweep_,
            lastFrequency_,
            static_cast<double>(samplePeriod_) * 6.283185307179586,
            volume_ * 0.8f,
            phase_};
}

void BlippVoice::sample(Pass& pass, const float* velocity, const float* pitch, int i) {
    const float amplitude = pass.amplitudeEnvelope.accumulate(velocity[i]);
    const float envelope = pass.sweepEnvelope.trigger(velocity[i]);
    float frequency;
    if (!pass.keyMode) {
        frequency = glide(envelope, pass.depth, pass.fixed);
    } else {
        if (velocity[i] > 0.0f && pitch[i] > 0.0f) {
            pass.base = pitch[i];
            // Keep the glide's start in check when a high note meets a deep sweep.
            const float peak = pass.base * envelope * pass.depth + pass.base;
            pass.sweep = peak <= 16000.0f ? pass.depth : pass.depth * 10000.0f / peak - 1.0f;
        }
        frequency = glide(envelope, pass.sweep, pass.base);
        pass.last = frequency;
    }
    float phase = advanced(pass.phase, pass.w, frequency);
    // A step above one turn (very low sample rates) leaves the phase above
    // pi; it is then reduced by as many turns as needed in one step, never by
    // a loop that a phase too large to change could keep going.
    if (phase > 3.141592653589793) {
        phase -= 6.2831855f;
        if (phase > 3.141592653589793)
            phase = static_cast<float>(std::remainder(static_cast<double>(phase), 6.283185307179586));
    }
    pass.phase = phase;
    signal_.data()[i] = tone(phase, amplitude, pass.gain);
}

void BlippVoice::finishPass(const Pass& pass, const VoiceBlock& block, int frames) {
    amplitudeEnvelope_.end(pass.amplitudeEnvelope);
    sweepEnvelope_.end(pass.sweepEnvelope);
    currentBaseFrequency_ = pass.base;
    effectiveSweep_ = pass.sweep;
    lastFrequency_ = pass.last;
    phase_ = pass.phase;
    // The volume is already inside the signal.
    const float* signal = signal_.data();
    if (!stereo_) {
        for (int i = 0; i < frames; ++i) block.left[i] += signal[i];
    } else {
        const float panLeft = panLeft_, panRight = panRight_;
        for (int i = 0; i < frames; ++i) {
            block.left[i] += signal[i] * panLeft;
            block.right[i] += signal[i] * panRight;
        }
    }
    clearVelocity(block, frames);
}

void BlippVoice::endOfBlock(int frames) {
    if (endBlock(frames, true)) {
        active_ = false;
        amplitudeEnvelope_.setLevel(0.0f);
        sweepEnvelope_.setLevel(0.0f);
    }
}

void BlippVoice::render(const VoiceBlock& block, int frames) {
    if (rendersThisBlock()) {
        // Both envelopes, the frequency and the oscillator run in one loop,
        // each recursion exactly as its own pass would run it.
        Pass pass = beginPass();
        for (int i = 0; i < frames; ++i) sample(pass, block.velocity, block.pitch, i);
        finishPass(pass, block, frames);
    }
    endOfBlock(frames);
}

}  // namespace dsp
