// Resonant two-pole high-pass; its gain at the set frequency is 2 for every Q.
// Block: input, output (may be the same buffer).
#pragma once

#include "dsp/ResonantFilter.h"

namespace dsp {

class HighpassResonator : public ResonantFilter {
public:
    HighpassResonator() : ResonantFilter(1e-10f) {}
    void process(const UnitBlock& block, int frames) override;
    void recompute() override;

private:
    float lastIntermediate_ = 0.0f;
    float x1_ = 0.0f;
    float x2_ = 0.0f;
    float lastOutput_ = 0.0f;
};

}  // namespace dsp
