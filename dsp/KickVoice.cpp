#include "dsp/KickVoice.h"

#include "dsp/DspMath.h"

namespace dsp {

void KickVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    clickResonator_.setSampleRate(rate);
    bodyResonator_.setSampleRate(rate);
    sweepEnvelope_.setSampleRate(rate);
    clickResonator_.setFrequency(4000.0f);
    clickResonator_.setDecayTime(0.0001f);
    clickResonator_.setKeyMode(0.0f);
}

void KickVoice::prepare() {
    elapsed_ = 0;
    clickGain_ = 2.4f;
    bodyGain_ = 150.0f;
    allocateBuffers({&body_, &click_, &sweep_});
    clickResonator_.reset();
    bodyResonator_.recompute();
    sweepEnvelope_.setCoefficient(expExtended(-100.0f * samplePeriod_));
    clickResonator_.setFrequency(4000.0f);
    clickResonator_.setDecayTime(0.0001f);
    clickResonator_.setKeyMode(0.0f);
}

void KickVoice::setFrequency(float x) {
    fixedFrequency_ = 40.0f * powExtended(2.0f, x);
}

void KickVoice::setSweep(float x) {
    sweepDepth_ = 7.0f * x;
}

void KickVoice::setDecay(float x) {
    const float tau = 0.4f * x + 0.005f;
    bodyResonator_.setDecayTime(tau);
    lifetime_ = lifetimeFor(sampleRate_, tau);
    meterDecay_ = meterDecayFor(samplePeriod_, tau);
}

void KickVoice::setSweepDecay(float x) {
    sweepEnvelope_.setCoefficient(expExtended(-samplePeriod_ / (0.2f * x + 0.005f)));
}

void KickVoice::setThump(float x) {
    clickGain_ = 700.0f * x;
    bodyGain_ = 100.0f * (1.0f - x);
}

void KickVoice::setKeyMode(float x) {
    currentBaseFrequency_ = fixedFrequency_;
    keyMode_ = x;
    sweepEnvelope_.setLevel(0.0f);
    bodyResonator_.clearState();
}

void KickVoice::render(const VoiceBlock& block, int frames) {
    if (active_ && buffersReady()) {
        float* velocity = block.velocity;
        float* pitch = block.pitch;
        float* click = click_.data();
        float* body = body_.data();
        float* frequency = sweep_.data();

        clickResonator_.process({velocity, pitch, click}, frames);
        sweepEnvelope_.process({velocity, nullptr, frequency}, frames);
        const float base = keyMode_ == 1.0f ? 0.0f : fixedFrequency_;
        if (base != glideBase_ || sweepDepth_ != glideDepth_) bodyResonator_.changeCourse();
        glideBase_ = base;
        glideDepth_ = sweepDepth_;
        if (keyMode_ == 1.0f) {
            // The glide depth of a block follows the base in force at its start.
            float current = currentBaseFrequency_;
            const float depth = sweepDepth_ * current;
            for (int i = 0; i < frames; ++i) {
                if (velocity[i] > 0.0f && pitch[i] > 0.0f) current = pitch[i];
                frequency[i] = depth * frequency[i] + current;
            }
            currentBaseFrequency_ = current;
        } else {
            const float fixed = fixedFrequency_;
            const float depth = sweepDepth_ * fixed;
            for (int i = 0; i < frames; ++i) frequency[i] = depth * frequency[i] + fixed;
        }
        bodyResonator_.process({velocity, frequency, body}, frames);
        const float clickGain = clickGain_, bodyGain = bodyGain_;
        for (int i = 0; i < frames; ++i) body[i] = click[i] * clickGain + body[i] * bodyGain;
        mix(block, body, frames);
        clearVelocity(block, frames);
        for (int i = 0; i < frames; ++i) pitch[i] = 0.0f;
    }
    if (endBlock(frames)) {
        sweepEnvelope_.setLevel(0.0f);
        bodyResonator_.clearState();
        clickResonator_.rest();
        active_ = false;
        elapsed_ = 0;
    }
}

}  // namespace dsp
