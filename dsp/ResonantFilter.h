// What the resonant high-pass and the band-pass share: a two-pole recursion
// tuned by frequency and Q, whose coefficients each filter computes its own
// way.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class ResonantFilter : public BuildingBlock {
public:
    explicit ResonantFilter(float denormalMagnitude) : denormal_(denormalMagnitude) {}

    void setFrequency(float hz) {
        frequency_ = hz;
        recompute();
    }
    void setQ(float q) {
        inverseQ_ = 1.0f / q;
        recompute();
    }
    virtual void recompute() = 0;

protected:
    float frequency_ = 1000.0f;
    float inverseQ_ = 0.5f;
    float y1_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_;
};

}  // namespace dsp
