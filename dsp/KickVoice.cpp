#include "dsp/KickVoice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>

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
    bodyResonator_.restartBound(0.0f);
    voiceBound_.restart(0.0f);
}

GlideShape::Peaks KickVoice::referenceFor(const ReferenceKey& key) const {
    return bodyResonator_.reference(key.base, key.firstDepth, key.firstSamples, key.depth, key.glide,
                                    8.0f * key.bodyGain, clickResonator_.companion(key.clickGain));
}

GlideShape::Peaks KickVoice::fixedReference() {
    const float depth = sweepDepth_ * fixedFrequency_;
    return cached(keyFor(fixedFrequency_, depth, depth, 0));
}

// As on a freshly opened voice, whose base until then is the fixed
// frequency.
GlideShape::Peaks KickVoice::noteReference(float note, int blockLeft) {
    return cached(keyFor(note, sweepDepth_ * fixedFrequency_, sweepDepth_ * note, blockLeft));
}

GlideShape::Peaks KickVoice::restingReference(float note, float depth, int blockLeft) {
    return cached(keyFor(note, depth, sweepDepth_ * note, blockLeft));
}

GlideShape::Peaks KickVoice::cached(const ReferenceKey& key) {
    const int blockLeft = key.firstSamples;
    std::uint32_t bits[2];
    std::memcpy(&bits[0], &key.base, sizeof(float));
    std::memcpy(&bits[1], &key.firstDepth, sizeof(float));
    const std::uint32_t hash = (bits[0] * 2654435761u) ^ (bits[1] * 40503u) ^
                               (static_cast<std::uint32_t>(blockLeft) * 2246822519u);
    NoteReference& slot = noteReferences_[(hash >> 7) % kNoteReferences];
    if (!(slot.key == key)) {
        slot.key = key;
        slot.reference = referenceFor(key);
    }
    return slot.reference;
}

KickVoice::Pass KickVoice::beginPass(int frames) {
    const bool keyMode = keyMode_ == 1.0f;
    const bool resting = !(bodyResonator_.boundReference() > 0.0f);
    // The body's reference: in Key Mode each note raises it as it starts
    // (and a hit without a note rings at the base it finds).
    GlideShape::Peaks peaks{0.0, 0.0};
    if (!keyMode)
        peaks = fixedReference();
    else if (!(bodyResonator_.boundReference() > 0.0f))
        peaks = noteReference(currentBaseFrequency_, frames);
    bodyResonator_.raiseBound(static_cast<float>(peaks.body));
    // The click adds at most its own hit to the body's (whose output is 8 y
    // times its gain). The click, a few samples long and never retuned,
    // keeps to its own hit: only notes a few samples apart pile it up.
    const float body = 8.0f * std::abs(bodyGain_);
    bodyResonator_.allowForOtherParts(body > 0.0f ? std::abs(clickGain_) * clickResonator_.boundReference() / body
                                                  : 1e6f);
    Pass pass{clickResonator_.begin(), sweepEnvelope_.begin(), bodyResonator_.begin(), keyMode, fixedFrequency_,
              currentBaseFrequency_, 0.0f, clickGain_, bodyGain_, frames, resting, {}};
    // In Key Mode the glide depth of a block follows the base in force at
    // its start.
    pass.depth = sweepDepth_ * (pass.keyMode ? pass.current : pass.fixed);
    voiceBound_.raise(static_cast<float>(peaks.mixed));
    pass.voice = voiceBound_;
    return pass;
}


void KickVoice::finishPass(const Pass& pass, const VoiceBlock& block, int frames) {
    clickResonator_.end(pass.click);
    voiceBound_ = pass.voice;
    sweepEnvelope_.end(pass.sweep);
    bodyResonator_.end(pass.body);
    if (pass.keyMode) currentBaseFrequency_ = pass.current;
    mix(block, signal_.data(), frames);
    clearVelocity(block, frames);
    for (int i = 0; i < frames; ++i) block.pitch[i] = 0.0f;
}

void KickVoice::endOfBlock(int frames) {
    if (endBlock(frames)) {
        sweepEnvelope_.setLevel(0.0f);
        bodyResonator_.clearState();
        if (active_) {
            bodyResonator_.restartBound(0.0f);
            voiceBound_.restart(0.0f);
            clickResonator_.rest();
        }
        active_ = false;
        elapsed_ = 0;
    }
}

void KickVoice::render(const VoiceBlock& block, int frames) {
    if (rendersThisBlock()) {
        // The click and the glide first, over the whole block; the body's
        // coefficients follow from the glide alone and are worked out ahead,
        // a stretch at a time, leaving only its recursion sample by sample.
        Pass pass = beginPass(frames);
        for (int i = 0; i < frames; ++i) clickAndGlide(pass, block.velocity, block.pitch, i);
        SweptResonator::Course course;
        for (int start = 0; start < frames; start += SweptResonator::kStretch) {
            const int n = std::min(SweptResonator::kStretch, frames - start);
            pass.body.plan(glide_.data() + start, n, course);
            for (int i = 0; i < n; ++i) body(pass, start, i, block.velocity[start + i], course);
        }
        finishPass(pass, block, frames);
    }
    endOfBlock(frames);
}

}  // namespace dsp
