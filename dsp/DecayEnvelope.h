// One-pole exponential decay. Trigger mode restarts at exactly 1 on any
// impulse; accumulate mode adds the impulse (the velocity), limited to 1.
// Block: input = impulses, output = envelope.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class DecayEnvelope : public BuildingBlock {
public:
    // Trigger mode.
    void process(const UnitBlock& block, int frames) override;
    void accumulate(const UnitBlock& block, int frames);

    void setCoefficient(float perSample) { coefficient_ = perSample; }
    float coefficient() const { return coefficient_; }
    void setLevel(float level) { level_ = level; }
    float level() const { return level_; }

private:
    float level_ = 0.0f;
    float coefficient_ = 0.0f;
    DenormalOffset denormal_{1e-8f};
};

}  // namespace dsp
