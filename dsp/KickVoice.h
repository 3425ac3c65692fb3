// Kick: a swept two-pole body rung by the velocity impulse, gliding from
// base * (1 + Sweep) down to the base frequency, plus a short 4 kHz click
// (the thump). In Key Mode the base frequency follows the played note.
#pragma once

#include <cmath>

#include "dsp/DecayEnvelope.h"
#include "dsp/DrumVoice.h"
#include "dsp/PingResonator.h"
#include "dsp/SweptResonator.h"

namespace dsp {

class KickVoice : public DrumVoice {
public:
    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setSweep(float x);
    void setDecay(float x);
    void setSweepDecay(float x);
    void setThump(float x);
    void setKeyMode(float x);

    // Renders two kicks over the same frames, one in each lane of the
    // vector registers, with exactly the samples each would render alone.
    static void processPair(KickVoice& first, const VoiceBlock& firstBlock, KickVoice& second,
                            const VoiceBlock& secondBlock, int frames);

    // The glide the body follows, and the click and body mixed, for one
    // float and for lanes of floats alike.
    template <typename Float>
    static Float glide(Float depth, Float envelope, Float base) {
        return depth * envelope + base;
    }
    template <typename Float>
    static Float mixed(Float click, Float clickGain, Float body, Float bodyGain) {
        return click * clickGain + body * bodyGain;
    }

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    // One block's units and settings in locals (see the units' Run).
    struct Pass {
        PingResonator::Run click;
        DecayEnvelope::Run sweep;
        SweptResonator::Run body;
        bool keyMode;
        float fixed, current, depth, clickGain, bodyGain;
        int frames;
        bool resting;  // nothing rang when the block began
        // The two together: twice the click's and the body's hits added
        // (see RingBound), beyond which both are eased at once.
        RingBound voice;
        void raise(const GlideShape::Peaks& peaks) {
            body.bound.raise(static_cast<float>(peaks.body));
            voice.raise(static_cast<float>(peaks.mixed));
        }
        // The click and the body's sample mixed, held with them.
        float mix(float clickOut, float bodyOut) {
            const float out = mixed(clickOut, clickGain, bodyOut, bodyGain);
            if (RingBound::within(out, voice.limit())) return out;
            // The sample eased, and the body with it: the click, a few
            // samples long, keeps its own bound (and a voice renders its
            // clicks for the whole block before its body).
            const bool finite = std::isfinite(out);
            const float eased = finite ? RingBound::ease(out, voice.reference()) : 0.0f;
            const float scale = finite && out != 0.0f ? eased / out : 0.0f;
            body.y1 *= scale;
            body.y2 *= scale;
            return eased;
        }
    };
    Pass beginPass(int frames);
    // The click, and the glide the body follows, for frame i.
    void clickAndGlide(Pass& pass, const float* velocity, const float* pitch, int i) {
        const float v = velocity[i];
        signal_.data()[i] = pass.click.step(v, pitch, i);
        const float envelope = pass.sweep.trigger(v);
        if (pass.keyMode) {
            if (v > 0.0f && pitch[i] > 0.0f) {
                pass.current = pitch[i];
                pass.raise(noteReference(pass.current, pass.frames - i));
                // A hit on a voice at rest glides, for the rest of its block,
                // by the depth of the base the voice was left with.
                if (pass.resting) pass.raise(restingReference(pass.current, pass.depth, pass.frames - i));
                pass.resting = false;
            }
            glide_.data()[i] = glide(pass.depth, envelope, pass.current);
        } else {
            glide_.data()[i] = glide(pass.depth, envelope, pass.fixed);
        }
    }
    // The body for frame start + i of a planned stretch, mixed with the click.
    void body(Pass& pass, int start, int i, float v, const SweptResonator::Course& course) {
        float& out = signal_.data()[start + i];
        out = pass.mix(out, pass.body.step(v, course, i));
    }
    // The click and the body together for frame start + i of a planned
    // stretch, once the glide is known.
    void clickAndBody(Pass& pass, const VoiceBlock& block, int start, int i, const SweptResonator::Course& course) {
        const float v = block.velocity[start + i];
        const float click = pass.click.step(v, block.pitch + start, i);
        signal_.data()[start + i] = pass.mix(click, pass.body.step(v, course, i));
    }
    void finishPass(const Pass& pass, const VoiceBlock& block, int frames);
    static void renderPair(KickVoice& first, const VoiceBlock& a, KickVoice& second, const VoiceBlock& b,
                           int frames);
    void endOfBlock(int frames);
    // The body's reference for a note in Key Mode that starts with
    // blockLeft frames of its block to go: a hit on a freshly opened voice,
    // which glides by the depth of the fixed frequency until the block
    // ends, then by the note's.
    GlideShape::Peaks noteReference(float note, int blockLeft);
    GlideShape::Peaks restingReference(float note, float depth, int blockLeft);
    // The body's reference for the present settings out of Key Mode.
    GlideShape::Peaks fixedReference();


    float clickGain_ = 2.4f;
    float bodyGain_ = 150.0f;
    float fixedFrequency_ = 40.0f;
    float sweepDepth_ = 0.0f;
    float currentBaseFrequency_ = 40.0f;
    float keyMode_ = 0.0f;
    // The settings the body's reference was last worked out for, and the
    // references of the notes played in Key Mode since (keyed by note and
    // depth, forgotten when the settings change).
    struct ReferenceKey {
        float base, firstDepth, depth, glide, radius, clickGain, bodyGain;
        int firstSamples;
        bool operator==(const ReferenceKey& o) const {
            return base == o.base && firstDepth == o.firstDepth && depth == o.depth && glide == o.glide &&
                   radius == o.radius && clickGain == o.clickGain && bodyGain == o.bodyGain &&
                   firstSamples == o.firstSamples;
        }
    };
    ReferenceKey keyFor(float base, float firstDepth, float depth, int firstSamples) const {
        return {base, firstDepth, depth, sweepEnvelope_.coefficient(), bodyResonator_.radius(), clickGain_, bodyGain_,
                firstSamples};
    }
    GlideShape::Peaks referenceFor(const ReferenceKey& key) const;
    // The references of the settings and notes played since the settings
    // last changed.
    GlideShape::Peaks cached(const ReferenceKey& key);
    static constexpr ReferenceKey kNoKey{-1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};
    static constexpr int kNoteReferences = 64;
    struct NoteReference {
        ReferenceKey key = kNoKey;
        GlideShape::Peaks reference{0.0, 0.0};
    };
    NoteReference noteReferences_[kNoteReferences];
    // The click and the body together (see Pass::voice).
    RingBound voiceBound_;
    ScratchBuffer signal_;
    ScratchBuffer glide_;  // the body's frequency, sample by sample
    PingResonator clickResonator_;
    SweptResonator bodyResonator_;
    DecayEnvelope sweepEnvelope_;
};

}  // namespace dsp
