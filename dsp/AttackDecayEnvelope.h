// Exponential rise to 90 % of the impulse's peak, then exponential decay:
// the crash's swelling upper band. Block: input = impulses, output = envelope.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class AttackDecayEnvelope : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    void setAttackCoefficient(float perSample) { attackCoefficient_ = perSample; }
    void setDecayCoefficient(float perSample) { decayCoefficient_ = perSample; }
    float attackCoefficient() const { return attackCoefficient_; }
    float decayCoefficient() const { return decayCoefficient_; }

private:
    static constexpr int kAttack = 0;
    static constexpr int kDecay = 1;

    float attackCoefficient_ = 0.0f;
    float decayCoefficient_ = 0.0f;
    float peak_ = 0.0f;
    int stage_ = kDecay;
    float residual_ = 0.0f;
    float level_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
};

}  // namespace dsp
