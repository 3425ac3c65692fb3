#include "dsp/NoiseSource.h"

namespace dsp {

void NoiseSource::process(const UnitBlock& block, int frames) {
    constexpr float kScale = 1.0f / 8589934592.0f;  // 2^-33
    float* out = block.output;
    std::int32_t state = state_;
    for (int i = 0; i < frames; ++i) {
        // The product wraps modulo 2^32 as a signed 32-bit value.
        state = static_cast<std::int32_t>(static_cast<std::uint32_t>(state) * 16807u);
        out[i] = static_cast<float>(state) * kScale;
    }
    state_ = state;
}

}  // namespace dsp
