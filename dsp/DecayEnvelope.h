// One-pole exponential decay. Trigger mode restarts at exactly 1 on any
// impulse; accumulate mode adds the impulse (the velocity), limited to 1.
// Block: input = impulses, output = envelope.
#pragma once

#include "dsp/DspUnit.h"
#include "dsp/FloatLanes.h"

namespace dsp {

class DecayEnvelope : public BuildingBlock {
public:
    // Trigger mode.
    void process(const UnitBlock& block, int frames) override;
    void accumulate(const UnitBlock& block, int frames);

    // The two recursions, for one float and for lanes of floats alike; a
    // pulse is 1 where the input is above 0 and 0 elsewhere.
    template <typename Float>
    static void trigger(Float& level, Float coefficient, Float d, Float pulse) {
        level = coefficient * level + d + pulse;
        limitTo(level, Float(1.0f));
    }
    template <typename Float>
    static void accumulate(Float& level, Float coefficient, Float d, Float in) {
        level = coefficient * level + in + d;
        limitTo(level, Float(1.0f));
    }

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float level;
        float coefficient;
        float d;
        float trigger(float in) {
            DecayEnvelope::trigger(level, coefficient, d, in > 0.0f ? 1.0f : 0.0f);
            return level;
        }
        float accumulate(float in) {
            DecayEnvelope::accumulate(level, coefficient, d, in);
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
