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

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
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
