// Two-pole resonator normalised to unity gain at its centre frequency.
// Block: input, output (may be the same buffer).
#pragma once

#include "dsp/ResonantFilter.h"

namespace dsp {

class BandpassResonator : public ResonantFilter {
public:
    BandpassResonator() : ResonantFilter(1e-8f) {}
    void process(const UnitBlock& block, int frames) override;
    void recompute() override;

private:
    float lastOutput_ = 0.0f;
};

}  // namespace dsp
