// Hihat: six detuned sawtooths through a resonant high-pass under one
// envelope, whose decay depends on whether the last hit was the closed or the
// open note; a closed hit therefore cuts an open one short.
#pragma once

#include "dsp/DrumVoice.h"
#include "dsp/HighpassResonator.h"
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
    void updateMeterDecay();

    float envelopeLevel_ = 0.0f;
    float closedCoefficient_ = 0.0f;
    float openCoefficient_ = 0.0f;
    float closedFlag_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    ScratchBuffer signal_;
    SawBank oscillators_;
    HighpassResonator filter_;
    float closedDecayTime_ = 0.001f;
    float openDecayTime_ = 0.001f;
};

}  // namespace dsp
