// Resonant two-pole high-pass; its gain at the set frequency is 2 for every Q.
// Block: input, output (may be the same buffer).
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class HighpassResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    void setFrequency(float hz);
    void setQ(float q);
    void recompute();

private:
    float frequency_ = 1000.0f;
    float inverseQ_ = 0.5f;
    float lastIntermediate_ = 0.0f;
    float x1_ = 0.0f;
    float x2_ = 0.0f;
    float lastOutput_ = 0.0f;
    float y1_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
};

}  // namespace dsp
