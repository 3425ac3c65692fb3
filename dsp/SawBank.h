// Six sawtooth phase accumulators summed: the metallic source of the hihat
// and the crash. Block: output only.
#pragma once

#include "dsp/DspUnit.h"
#include "dsp/FloatLanes.h"

namespace dsp {

class SawBank : public BuildingBlock {
public:
    static constexpr int kOscillators = 6;

    void process(const UnitBlock& block, int frames) override;

    // One oscillator's step, for one float and for lanes of floats alike.
    template <typename Float>
    static Float advanced(Float phase, Float increment) {
        return wrapped(phase + increment, Float(1.0f), Float(-1.0f));
    }

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float phases[kOscillators];
        float increments[kOscillators];
        float next() {
            for (int k = 0; k < kOscillators; ++k) phases[k] = advanced(phases[k], increments[k]);
            return 0.25f * (phases[5] + phases[4] + phases[3] + phases[2] + phases[1] + phases[0]);
        }
    };
    Run begin() const {
        Run run;
        for (int k = 0; k < kOscillators; ++k) {
            run.phases[k] = phases_[k];
            run.increments[k] = increments_[k];
        }
        return run;
    }
    void end(const Run& run) {
        for (int k = 0; k < kOscillators; ++k) phases_[k] = run.phases[k];
    }

    // Sets increment k to 2 * f_k * T for the given frequencies in Hz.
    void setFrequencies(const float (&hz)[kOscillators]);
    float increment(int k) const { return increments_[k]; }
    float phase(int k) const { return phases_[k]; }

private:
    float increments_[kOscillators] = {};
    float phases_[kOscillators] = {};
};

// The hihat's and crash's oscillator frequencies in Hz.
constexpr float kMetalFrequencies[SawBank::kOscillators] = {99.2f, 147.0f, 178.57f,
                                                            252.0f, 540.0f, 800.0f};

}  // namespace dsp
