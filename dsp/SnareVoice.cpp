#include "dsp/SnareVoice.h"

#include <cmath>

#include "dsp/DspMath.h"

namespace dsp {

void SnareVoice::setSampleRate(float rate) {
    DspUnit::setSampleRate(rate);
    toneResonator_.setSampleRate(rate);
    noiseDecay_.setSampleRate(rate);
}

void SnareVoice::prepare() {
    elapsed_ = 0;
    allocateBuffers({&signal_});
    toneGain_ = 2.4f;
    noiseGain_ = 1.0f;
    toneResonator_.reset();
    allowForNoise();
    noiseSource_.setState(NoiseSource::kSeed);
    noiseDecay_.setCoefficient(expExtended(-100.0f * samplePeriod_));
}

void SnareVoice::setFrequency(float x) {
    toneResonator_.setFrequency(200.0f * powExtended(4.0f, x));
}

// The lifetime only ever grows, so it covers the longest decay set so far.
void SnareVoice::setDecay(float x) {
    toneDecayTime_ = 0.01f * x + 0.001f;
    toneResonator_.setDecayTime(toneDecayTime_);
    raiseLifetime(lifetimeFor(sampleRate_, toneDecayTime_));
    updateMeterDecay();
}

void SnareVoice::setNoiseDecay(float x) {
    noiseDecayTime_ = 0.05f * x + 0.001f;
    noiseDecay_.setCoefficient(expExtended(-samplePeriod_ / noiseDecayTime_));
    raiseLifetime(lifetimeFor(sampleRate_, noiseDecayTime_));
    updateMeterDecay();
}

void SnareVoice::updateMeterDecay() {
    meterDecay_ = meterDecayFor(samplePeriod_, std::max(toneDecayTime_, noiseDecayTime_));
}

void SnareVoice::setThump(float x) {
    toneGain_ = 850.0f * x;
    noiseGain_ = 1.0f - x;
    allowForNoise();
}

// The noise adds at most its gain times a quarter (its envelope stays at or
// below 1) to a hit: the tone's bound leaves that much room.
void SnareVoice::allowForNoise() {
    const float tone = std::abs(toneGain_);
    toneResonator_.allowForOtherParts(tone > 0.0f ? 0.25f * std::abs(noiseGain_) / tone : 1e6f);
}

void SnareVoice::setKeyMode(float x) {
    keyMode_ = x;
    toneResonator_.setKeyMode(x);
}

void SnareVoice::render(const VoiceBlock& block, int frames) {
    if (rendersThisBlock()) {
        // Tone, noise envelope and noise run in one loop, each unit's
        // recursion exactly as its own block would run it.
        Pass pass = beginPass();
        for (int i = 0; i < frames; ++i) sample(pass, block.velocity, block.pitch, i);
        finishPass(pass, block, frames);
    }
    endOfBlock(frames);
}

void SnareVoice::finishPass(const Pass& pass, const VoiceBlock& block, int frames) {
    toneResonator_.end(pass.tone);
    noiseDecay_.end(pass.envelope);
    noiseSource_.end(pass.noise);
    mix(block, signal_.data(), frames);
    clearVelocity(block, frames);
}

void SnareVoice::endOfBlock(int frames) {
    if (endBlock(frames)) {
        if (active_) toneResonator_.rest();
        active_ = false;
        noiseDecay_.setLevel(0.0f);
        elapsed_ = 0;
    }
}

}  // namespace dsp
