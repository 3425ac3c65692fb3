// Resonant two-pole high-pass; its gain at the set frequency is 2 for every Q.
// Block: input, output (may be the same buffer).
#pragma once

#include "dsp/ResonantFilter.h"

namespace dsp {

class HighpassResonator : public ResonantFilter {
public:
    HighpassResonator() : ResonantFilter(1e-10f) {}
    void process(const UnitBlock& block, int frames) override;

    // The recursion, written once for one float and for lanes (FloatLanes):
    // the input's second difference, then w = bend * gain + d feeds the
    // two poles.
    template <typename Float>
    static Float bent(Float x, Float x1, Float x2) {
        return x - Float(2.0f) * x1 + x2;
    }
    template <typename Float>
    static Float ring(Float w, Float y1, Float y2, Float a1, Float a2) {
        return w + a2 * y2 + a1 * y1;
    }

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float gain, a1, a2, d;
        float x1, x2, y1, y2, w;
        Shadow* shadow;  // while settings move (see ResonantFilter), else null
        // Watched: the shadows may run (see ResonantFilter), which the
        // voice knows at the start of its block; weight: see
        // Shadow::follow.
        template <bool kWatched = false>
        float step(float x, float weight = 1.0f) {
            const float bend = bent(x, x1, x2);
            w = bend * gain + d;
            const float y = ring(w, y1, y2, a1, a2);
            y2 = y1;
            y1 = y;
            x2 = x1;
            x1 = x;
            if constexpr (!kWatched) return y;
            if (!shadow) return y;
            return shadow->follow(bend, d, y, y1, y2, a1, a2, weight);
        }
    };
    Run begin() {
        return {gain_, a1_, a2_, denormal_.flip(), x1_, x2_, y1_, y2_, lastIntermediate_, shadow_.on ? &shadow_ : nullptr};
    }
    void end(const Run& run) {
        x1_ = run.x1;
        x2_ = run.x2;
        y1_ = run.y1;
        y2_ = run.y2;
        lastIntermediate_ = run.w;
        lastOutput_ = run.y1;
    }

protected:
    void computeCoefficients() override;

private:
    float lastIntermediate_ = 0.0f;
    float x1_ = 0.0f;
    float x2_ = 0.0f;
    float lastOutput_ = 0.0f;
};

}  // namespace dsp
