// Crash: the hihat's six sawtooths split by two resonant high-passes two
// octaves apart; the lower band is struck and decays, the upper band swells
// in slowly and decays at half the rate.
#pragma once

#include "dsp/AttackDecayEnvelope.h"
#include "dsp/DecayEnvelope.h"
#include "dsp/DrumVoice.h"
#include "dsp/HighpassResonator.h"
#include "dsp/SawBank.h"

namespace dsp {

class CrashVoice : public DrumVoice {
public:
    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setQ(float x);
    void setDecay(float x);

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    friend class MetalPair;

    // One block's units in locals.
    struct Pass {
        DecayEnvelope::Run strikeEnvelope;
        AttackDecayEnvelope::Run bloomEnvelope;
        SawBank::Run oscillators;
        HighpassResonator::Run upperFilter, lowerFilter;
    };
    Pass beginPass() {
        return {strikeEnvelope_.begin(), bloomEnvelope_.begin(), oscillators_.begin(), upperFilter_.begin(),
                lowerFilter_.begin()};
    }
    void finishPass(const Pass& pass, const VoiceBlock& block, int frames);
    void endOfBlock(int frames) {
        if (endBlock(frames)) {
            active_ = false;
            upperFilter_.rest();
            lowerFilter_.rest();
        }
    }

    ScratchBuffer signal_;
    SawBank oscillators_;
    DecayEnvelope strikeEnvelope_;
    AttackDecayEnvelope bloomEnvelope_;
    HighpassResonator upperFilter_;
    HighpassResonator lowerFilter_;
};

}  // namespace dsp
