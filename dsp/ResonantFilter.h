// What the resonant high-pass and the band-pass share: a two-pole recursion
// tuned by frequency and Q, whose coefficients each filter computes its own
// way.
//
// Their input does not depend on the hits, and at fixed settings they are
// plainly stable: only settings that move while the filter rings can pump
// it up. So from a change of settings under a ringing state until the
// change has rung out, the filter runs a shadow of itself beside the
// recursion: the same input through the same coefficients, whose amplitude
// a change of settings never raises. The shadow's peak is the reference of
// the filter's RingBound (the level these settings give without pumping);
// the filter's own samples are untouched below twice it.
#pragma once

#include "dsp/DspUnit.h"
#include "dsp/RingBound.h"

namespace dsp {

class ResonantFilter : public BuildingBlock {
public:
    explicit ResonantFilter(float denormalMagnitude) : denormal_(denormalMagnitude) {}

    void setFrequency(float hz) {
        frequency_ = hz;
        recompute();
    }
    void setQ(float q) {
        inverseQ_ = 1.0f / q;
        recompute();
    }
    void recompute();

    // The owning voice has gone quiet: no shadow until the next change.
    void rest() { shadow_.on = false; }
    bool shadowed() const { return shadow_.on; }

    // The shadow in a block's locals.
    struct Shadow {
        bool on;
        float y1, y2;
        int remaining;  // samples until the last change has rung out
        RingBound bound;

        // One sample: drive is the part of the recursion that does not
        // depend on its state; y the filter's own new output, with y1 and
        // y2 its state after it. Returns the output.
        float follow(float drive, float a1, float a2, float y, float& stateY1, float& stateY2) {
            const float shadow = drive + a2 * y2 + a1 * y1;
            y2 = y1;
            y1 = shadow;
            bound.raise(std::abs(shadow));
            if (--remaining <= 0) on = false;
            if (RingBound::within(y, bound.limit())) return y;
            return bound.hold(stateY1, stateY2, a1, -a2);
        }
    };

protected:
    virtual void computeCoefficients() = 0;

    float frequency_ = 1000.0f;
    float inverseQ_ = 0.5f;
    float y1_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_;
    Shadow shadow_{false, 0.0f, 0.0f, 0, {}};
};

}  // namespace dsp
