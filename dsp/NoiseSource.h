// 32-bit multiplicative congruential white noise in [-0.25, 0.25).
// Block: output only.
#pragma once

#include <cstdint>

#include "dsp/DspUnit.h"

namespace dsp {

class NoiseSource : public BuildingBlock {
public:
    static constexpr std::int32_t kSeed = 4711;

    void process(const UnitBlock& block, int frames) override;

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        std::int32_t state;
        float next() {
            constexpr float kScale = 1.0f / 8589934592.0f;  // 2^-33
            // The product wraps modulo 2^32 as a signed 32-bit value.
            state = static_cast<std::int32_t>(static_cast<std::uint32_t>(state) * 16807u);
            return static_cast<float>(state) * kScale;
        }
    };
    Run begin() const { return {state_}; }
    void end(const Run& run) { state_ = run.state; }
    void setState(std::int32_t state) { state_ = state; }
    std::int32_t state() const { return state_; }

private:
    std::int32_t state_ = kSeed;
};

}  // namespace dsp
