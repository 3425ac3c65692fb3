// Two-pole resonator whose frequency is read from a buffer every sample: the
// kick's body. Block: input = excitation, control = frequency (Hz, > 0), output.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class SweptResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    void setDecayTime(float seconds);
    void recompute() { setDecayTime(decayTime_); }
    void clearState() { y1_ = y1Copy_ = y2_ = 0.0f; }

private:
    float baseFrequency_ = 50.0f;
    float decayTime_ = 0.005f;
    float y1_ = 0.0f;
    float y1Copy_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    float w_ = 0.0f;
    float twoR_ = 0.0f;
};

}  // namespace dsp
