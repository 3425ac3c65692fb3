// Exponential rise to 90 % of the impulse's peak, then exponential decay:
// the crash's swelling upper band. Block: input = impulses, output = envelope.
#pragma once

#include "dsp/DspUnit.h"

namespace dsp {

class AttackDecayEnvelope : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float attackCoefficient, decayCoefficient, d;
        int stage;
        float peak, residual, level;
        float step(float in) {
            if (in > 0.0f) {
                stage = kAttack;
                peak = in;
                residual = in;
            }
            if (stage == kAttack) {
                residual = attackCoefficient * residual;
                level = peak - residual;
                if (level >= 0.9f * peak) {
                    stage = kDecay;
                    level = 0.9f * peak;
                }
            } else if (stage == kDecay) {
                level = decayCoefficient * level + d;
            } else {
                level = 0.0f;
            }
            return level;
        }
    };
    Run begin() {
        return {attackCoefficient_, decayCoefficient_, denormal_.flip(), stage_, peak_, residual_, level_};
    }
    void end(const Run& run) {
        stage_ = run.stage;
        peak_ = run.peak;
        residual_ = run.residual;
        level_ = run.level;
    }

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
