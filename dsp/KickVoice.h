// Kick: a swept two-pole body rung by the velocity impulse, gliding from
// base * (1 + Sweep) down to the base frequency, plus a short 4 kHz click
// (the thump). In Key Mode the base frequency follows the played note.
#pragma once

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
    };
    Pass beginPass();
    // The click, and the glide the body follows, for frame i.
    void clickAndGlide(Pass& pass, const float* velocity, const float* pitch, int i) {
        const float v = velocity[i];
        signal_.data()[i] = pass.click.step(v, pitch, i);
        const float envelope = pass.sweep.trigger(v);
        if (pass.keyMode) {
            if (v > 0.0f && pitch[i] > 0.0f) pass.current = pitch[i];
            glide_.data()[i] = pass.depth * envelope + pass.current;
        } else {
            glide_.data()[i] = pass.depth * envelope + pass.fixed;
        }
    }
    // The body for frame start + i of a planned stretch, mixed with the click.
    void body(Pass& pass, int start, int i, float v, const SweptResonator::Course& course) {
        float& out = signal_.data()[start + i];
        out = out * pass.clickGain + pass.body.step(v, course, i) * pass.bodyGain;
    }
    // The click and the body together for frame start + i of a planned
    // stretch, once the glide is known.
    void clickAndBody(Pass& pass, const VoiceBlock& block, int start, int i, const SweptResonator::Course& course) {
        const float v = block.velocity[start + i];
        const float click = pass.click.step(v, block.pitch + start, i);
        signal_.data()[start + i] = click * pass.clickGain + pass.body.step(v, course, i) * pass.bodyGain;
    }
    void finishPass(const Pass& pass, const VoiceBlock& block, int frames);
    static void renderPair(KickVoice& first, const VoiceBlock& a, KickVoice& second, const VoiceBlock& b,
                           int frames);
    void endOfBlock(int frames);


    float clickGain_ = 2.4f;
    float bodyGain_ = 150.0f;
    float fixedFrequency_ = 40.0f;
    float sweepDepth_ = 0.0f;
    float currentBaseFrequency_ = 40.0f;
    float keyMode_ = 0.0f;
    // The glide the body last rendered with; a change while it rings hands
    // the ringing over to the body's tail.
    float glideBase_ = 0.0f;
    float glideDepth_ = 0.0f;
    ScratchBuffer signal_;
    ScratchBuffer glide_;  // the body's frequency, sample by sample
    PingResonator clickResonator_;
    SweptResonator bodyResonator_;
    DecayEnvelope sweepEnvelope_;
};

}  // namespace dsp
