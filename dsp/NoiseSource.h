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
    void setState(std::int32_t state) { state_ = state; }
    std::int32_t state() const { return state_; }

private:
    std::int32_t state_ = kSeed;
};

}  // namespace dsp
