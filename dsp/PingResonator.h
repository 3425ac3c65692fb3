// Two-pole resonator rung by velocity impulses. In Key Mode it retunes to the
// frequency in the pitch buffer at every impulse.
// Block: input = excitation, control = pitch (Hz), output.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class PingResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    void setFrequency(float hz);
    void setDecayTime(float seconds);
    void setKeyMode(float value);
    // Leaves Key Mode and recomputes the coefficients for the fixed frequency.
    void reset();

    float currentFrequency() const { return currentFrequency_; }
    float keyMode() const { return keyMode_; }

private:
    void computeCoefficients();  // radius and true-cosine coefficients
    void tuneTo(float hz);

    float y1_ = 0.0f;
    float y1Copy_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    float keyMode_ = 0.0f;
    float fixedFrequency_ = 1000.0f;
    float currentFrequency_ = 1000.0f;
    float decayTime_ = 0.002f;
};

}  // namespace dsp
