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

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float level;
        float coefficient;
        float d;
        float trigger(float in) {
            level = coefficient * level + d + (in > 0.0f ? 1.0f : 0.0f);
            if (level > 1.0f) level = 1.0f;
            return level;
        }
        float accumulate(float in) {
            level = coefficient * level + in + d;
            if (level > 1.0f) level = 1.0f;
            return level;
        }
    };
    Run begin() { return {level_, coefficient_, denormal_.flip()}; }
    void end(const Run& run) { level_ = run.level; }

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
