// Hihat: six detuned sawtooths through a resonant high-pass under one
// envelope, whose decay depends on whether the last hit was the closed or the
// open note; a closed hit therefore cuts an open one short.
#pragma once

#include "dsp/DrumVoice.h"
#include "dsp/DspMath.h"
#include "dsp/HighpassResonator.h"
#include "dsp/HitGrid.h"
#include "dsp/RingBound.h"
#include "dsp/SawBank.h"

namespace dsp {

class HihatVoice : public DrumVoice {
public:
    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setQ(float x);
    void setClosedDecay(float x);
    void setOpenDecay(float x);

protected:
    // block.pitch carries the closed flag: 1 for the closed note, 0 for open.
    void render(const VoiceBlock& block, int frames) override;

private:
    friend class MetalPair;
    void updateMeterDecay();

    // One block's units and envelope in locals.
    struct Pass {
        SawBank::Run oscillators;
        HighpassResonator::Run filter;
        float d, closedCoefficient, openCoefficient, flag, level;
    };
    Pass beginPass() {
        const float d = denormal_.flip();
        return {oscillators_.begin(), filter_.begin(), d, closedCoefficient_, openCoefficient_, closedFlag_,
                envelopeLevel_};
    }
    // The envelope for frame i; closedFlag is the block's pitch buffer.
    float envelope(Pass& pass, const float* velocity, const float* closedFlag, int i) {
        const float v = velocity[i];
        if (v > 0.0f) {
            pass.flag = closedFlag[i];
            const float tau = pass.flag > 0.5f ? closedDecayTime_ : openDecayTime_;
            meterDecay_ = meterDecayFor(samplePeriod_, tau);
            // Not limited: hits in quick succession add up, written as they
            // are until twice a hit at velocity 127, eased above (a roll
            // would otherwise pile up to many hits). Only a hit raises it.
            pass.level = pass.d + coefficientOf(pass) * pass.level + v;
            if (!(pass.level <= kEnvelopeLimit)) pass.level = RingBound::ease(pass.level, RingBound::kLoudestVelocity);
            return pass.level;
        }
        pass.level = pass.d + coefficientOf(pass) * pass.level + v;
        return pass.level;
    }
    static float coefficientOf(const Pass& pass) {
        return pass.flag > 0.5f ? pass.closedCoefficient : pass.openCoefficient;
    }
    void finishPass(const Pass& pass, const VoiceBlock& block, int frames);
    void endOfBlock(int frames) {
        if (endBlock(frames)) {
            active_ = false;
            filter_.rest();
        }
    }

    float envelopeLevel_ = 0.0f;
    static constexpr float kEnvelopeLimit = RingBound::kExactUpTo * RingBound::kLoudestVelocity;
    float closedCoefficient_ = 0.0f;
    float openCoefficient_ = 0.0f;
    float closedFlag_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    ScratchBuffer signal_;
    SawBank oscillators_;
    HighpassResonator filter_;
    float closedDecayTime_ = 0.001f;
    float openDecayTime_ = 0.001f;
    // The loudest hits over Frequency and Q (see HitGrid), held to while
    // the filter's settings move.
    void holdFilterToHits(float frequencyBefore, float qBefore);
    static float filterFrequency(float x);
    static float filterQ(float x);
    HitGrid<1>::Values hitAt(float frequency, float q) const;
    HitGrid<1> hits_;
    float frequencyValue_ = 0.0f;
    float qValue_ = 0.0f;
};

}  // namespace dsp
