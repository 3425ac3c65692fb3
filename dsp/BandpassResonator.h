// Two-pole resonator normalised to unity gain at its centre frequency.
// Block: input, output (may be the same buffer).
#pragma once

#include "dsp/ResonantFilter.h"

namespace dsp {

class BandpassResonator : public ResonantFilter {
public:
    BandpassResonator() : ResonantFilter(1e-8f) {}
    void process(const UnitBlock& block, int frames) override;

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float gain, a1, a2, d;
        float y1, y2;
        Shadow* shadow;  // while settings move (see ResonantFilter), else null
        // Watched: see HighpassResonator::Run::step.
        template <bool kWatched = false>
        float step(float x) {
            const float y = gain * x + a2 * y2 + a1 * y1 + d;
            y2 = y1;
            y1 = y;
            if constexpr (!kWatched) return y;
            if (!shadow) return y;
            return shadow->follow(x, d, y, y1, y2, a1, a2, 1.0f);
        }
    };
    Run begin() { return {gain_, a1_, a2_, denormal_.flip(), y1_, y2_, shadow_.on ? &shadow_ : nullptr}; }
    void end(const Run& run) {
        y1_ = run.y1;
        y2_ = run.y2;
        lastOutput_ = run.y1;
    }

protected:
    void computeCoefficients() override;

private:
    float lastOutput_ = 0.0f;
};

}  // namespace dsp
