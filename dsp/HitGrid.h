// The loudest single hit of a voice whose filters are fed by something that
// does not depend on the hit (the metal voices' oscillators, the clap's
// noise), over two of its parameters: each point of a grid worked out, by
// running a hit on a fresh set of the voice's units, the first time it is
// needed. A filter whose settings move holds its output to the hits of the
// settings it visits (see ResonantFilter) and to no less than this.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace dsp {

template <int kValues>
class HitGrid {
public:
    static constexpr int kSteps = 8;  // points at 0, 1/8, ... 1 on each axis
    using Values = std::array<float, kValues>;

    void clear() { known_.fill(false); }

    // The largest of the points around (x, y), with a tenth more for what
    // lies between them; probe(x, y) runs a hit.
    template <typename Probe>
    Values around(float x, float y, Probe probe) {
        const float gx = std::clamp(x, 0.0f, 1.0f) * kSteps, gy = std::clamp(y, 0.0f, 1.0f) * kSteps;
        const int x0 = static_cast<int>(gx), y0 = static_cast<int>(gy);
        Values most{};
        for (int i = x0; i <= std::min(x0 + 1, kSteps); ++i)
            for (int j = y0; j <= std::min(y0 + 1, kSteps); ++j) {
                if (i > x0 && !(gx > x0)) continue;  // exactly on a point
                if (j > y0 && !(gy > y0)) continue;
                const int k = i * (kSteps + 1) + j;
                if (!known_[k]) {
                    values_[k] = probe(static_cast<float>(i) / kSteps, static_cast<float>(j) / kSteps);
                    known_[k] = true;
                }
                for (int v = 0; v < kValues; ++v) most[v] = std::max(most[v], values_[k][v]);
            }
        if (gx != std::floor(gx) || gy != std::floor(gy))
            for (float& v : most) v *= 1.1f;
        return most;
    }

    // around() at the settings a filter had and at those it has, in that
    // order: what a filter whose settings just moved is held to.
    template <typename Probe>
    std::array<Values, 2> hadAndHas(float xBefore, float yBefore, float x, float y, Probe probe) {
        return {around(xBefore, yBefore, probe), around(x, y, probe)};
    }

private:
    std::array<Values, (kSteps + 1) * (kSteps + 1)> values_{};
    std::array<bool, (kSteps + 1) * (kSteps + 1)> known_{};
};

}  // namespace dsp
