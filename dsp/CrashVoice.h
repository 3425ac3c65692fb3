// Crash: the hihat's six sawtooths split by two resonant high-passes two
// octaves apart; the lower band is struck and decays, the upper band swells
// in slowly and decays at half the rate.
#pragma once

#include <cmath>

#include "dsp/AttackDecayEnvelope.h"
#include "dsp/DecayEnvelope.h"
#include "dsp/DrumVoice.h"
#include "dsp/HighpassResonator.h"
#include "dsp/HitGrid.h"
#include "dsp/RingBound.h"
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
            voiceBound_.restart(0.0f);
        }
    }

    ScratchBuffer signal_;
    SawBank oscillators_;
    DecayEnvelope strikeEnvelope_;
    AttackDecayEnvelope bloomEnvelope_;
    HighpassResonator upperFilter_;
    HighpassResonator lowerFilter_;
    // The loudest hits of both bands over Frequency and Q (see HitGrid),
    // held to while the filters' settings move.
    void holdFiltersToHits(float frequencyBefore, float qBefore);
    // One over the loudest the bloom and the strike envelope reach: a hit
    // at velocity 127 reaches 0.75 of it here, and the bloom 0.9 of that.
    static constexpr float kStrikeHeard = 1.0f / (0.75f * RingBound::kLoudestVelocity);
    static constexpr float kBloomHeard = 1.0f / (0.9f * 0.75f * RingBound::kLoudestVelocity);
    HitGrid<2>::Values hitAt(float frequency, float q) const;
    static void tune(HighpassResonator& upper, HighpassResonator& lower, float frequency);
    static float filterQ(float x) { return 20.0f * x + 1.0f; }
    HitGrid<2> hits_;
    // Both bands as the voice mixes them: held to the loudest hit of the
    // two together while their settings move (each band's own bound leaves
    // room for the other's).
    RingBound voiceBound_;
    // Both bands scaled so that their mix is eased (see RingBound).
    static float holdBoth(HighpassResonator::Run& upper, HighpassResonator::Run& lower, float out, float reference) {
        const bool finite = std::isfinite(out);
        const float eased = finite ? RingBound::ease(out, reference) : 0.0f;
        const float scale = finite && out != 0.0f ? eased / out : 0.0f;
        upper.y1 *= scale;
        upper.y2 *= scale;
        lower.y1 *= scale;
        lower.y2 *= scale;
        return eased;
    }
    float frequencyValue_ = 0.0f;
    float qValue_ = 0.0f;
};

}  // namespace dsp
