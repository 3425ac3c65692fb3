// Two-pole resonator whose frequency is read from a buffer every sample: the
// kick's body. What rings when an impulse arrives, or when the owner changes
// the course of the frequency, glides on as a tail (see RingTail) whose
// action never rises, so retriggers cannot pump it up.
// Block: input = excitation, control = frequency (Hz, > 0), output.
#pragma once

#include "dsp/DspUnit.h"
#include "dsp/RingTail.h"

namespace dsp {

class SweptResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    void setDecayTime(float seconds);
    void recompute() { setDecayTime(decayTime_); }
    void clearState() {
        y1_ = y1Copy_ = y2_ = 0.0f;
        tail_.reset();
    }
    // The frequency now follows another course than the one the ringing
    // started on (a parameter changed): from here on it is a tail.
    void changeCourse();

private:
    float baseFrequency_ = 50.0f;
    float decayTime_ = 0.005f;
    float y1_ = 0.0f;
    float y1Copy_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    float w_ = 0.0f;
    float twoR_ = 0.0f;
    RingTail tail_;
    // The coefficients of the last sample processed.
    float ringA1_ = 0.0f;
    float ringRSquared_ = 0.0f;
};

}  // namespace dsp
