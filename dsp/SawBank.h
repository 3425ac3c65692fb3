// Six sawtooth phase accumulators summed: the metallic source of the hihat
// and the crash. Block: output only.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class SawBank : public BuildingBlock {
public:
    static constexpr int kOscillators = 6;

    void process(const UnitBlock& block, int frames) override;

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
