#include "dsp/KickVoice.h"

#include <algorithm>

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
    allocateBuffers({&signal_, &glide_});
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
        const float* velocity = block.velocity;
        float* pitch = block.pitch;
        float* signal = signal_.data();

        // Click, sweep envelope and body run in one loop, each unit's
        // recursion exactly as its own block would run it.
        PingResonator::Run click = clickResonator_.begin();
        DecayEnvelope::Run sweep = sweepEnvelope_.begin();
        const bool keyMode = keyMode_ == 1.0f;
        const float base = keyMode ? 0.0f : fixedFrequency_;
        if (base != glideBase_ || sweepDepth_ != glideDepth_) bodyResonator_.changeCourse();
        glideBase_ = base;
        glideDepth_ = sweepDepth_;
        SweptResonator::Run body = bodyResonator_.begin();
        const float fixed = fixedFrequency_;
        float current = currentBaseFrequency_;
        // In Key Mode the glide depth of a block follows the base in force
        // at its start.
        const float depth = sweepDepth_ * (keyMode ? current : fixed);
        const float clickGain = clickGain_, bodyGain = bodyGain_;
        float* glide = glide_.data();
        // The click and the glide first, over the whole block; the body's
        // coefficients follow from the glide alone and are worked out ahead,
        // a stretch at a time, leaving only its recursion sample by sample.
        for (int i = 0; i < frames; ++i) {
            const float v = velocity[i];
            signal[i] = click.step(v, pitch, i);
            const float envelope = sweep.trigger(v);
            if (keyMode) {
                if (v > 0.0f && pitch[i] > 0.0f) current = pitch[i];
                glide[i] = depth * envelope + current;
            } else {
                glide[i] = depth * envelope + fixed;
            }
        }
        SweptResonator::Course course;
        for (int start = 0; start < frames; start += SweptResonator::kStretch) {
            const int n = std::min(SweptResonator::kStretch, frames - start);
            const float* v = velocity + start;
            float* out = signal + start;
            bool struck = false;
            for (int i = 0; i < n; ++i) struck = struck || v[i] > 0.0f;
            body.plan(glide + start, n, struck, course);
            for (int i = 0; i < n; ++i) out[i] = out[i] * clickGain + body.step(v[i], course, i) * bodyGain;
        }
        clickResonator_.end(click);
        sweepEnvelope_.end(sweep);
        bodyResonator_.end(body);
        if (keyMode) currentBaseFrequency_ = current;
        mix(block, signal, frames);
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
