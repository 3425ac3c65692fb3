// What the resonant high-pass and the band-pass share: a two-pole recursion
// tuned by frequency and Q, whose coefficients each filter computes its own
// way.
//
// Their input does not depend on the hits, and at fixed settings they are
// plainly stable: only settings that move while the filter rings can pump
// it up. So from a change of settings under a ringing state until the last
// change has rung out, the filter runs two shadows of itself beside the
// recursion: the same input through the coefficients of two settings it
// has had, each held fixed, the loudest and the latest (a new one starts
// from the loudest's state, no louder). The shadows' peak, the level these
// settings give unpumped, is the reference of the filter's RingBound; the
// filter's own samples are untouched below twice it.
#pragma once

#include <algorithm>
#include <cmath>

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
    int shadowedFor() const { return shadow_.on ? shadow_.remaining : 0; }
    // The loudest hit at the present settings, as the owning voice works it
    // out (see HitGrid): the shadows' reference is never below it.
    void raiseFloor(float floor) { shadow_.bound.raise(floor); }
    float floor() const { return shadow_.bound.reference(); }
    // See RingBound::allow.
    void allowForOtherParts(float allowance) { shadow_.bound.allow(allowance); }
    // A filter whose own settings stay while the settings of the one before
    // it move: for the next samples its output is held to floor alone (its
    // shadows would only follow the moving input).
    void holdTo(float floor, int samples) {
        if (!shadow_.on) {
            shadow_.on = true;
            shadow_.fixed = true;
            shadow_.bound.restart(floor);
        }
        shadow_.bound.raise(floor);
        shadow_.remaining = std::max(shadow_.remaining, samples);
    }

    // The shadows in a block's locals.
    struct Shadow {
        struct Setting {
            float a1, a2, gain, y1, y2, peak;
        };
        bool on;
        bool fixed;     // held to its floor alone (see holdTo)
        int remaining;  // samples until the last change has rung out
        Setting settings[2];
        RingBound bound;

        // One sample: input is what the recursion's gain multiplies (the
        // high-pass's second difference, the band-pass's input), y the
        // filter's own new output, stateY1 and stateY2 its state after it.
        // weight is what the voice multiplies the output by (an envelope),
        // over that at the loudest hit: the output is held as the voice
        // hears it, and on its own only at kBackstop times the limit.
        // Returns the output.
        float follow(float input, float d, float y, float& stateY1, float& stateY2, float a1, float a2,
                     float weight) {
            if (!fixed) {
                for (Setting& s : settings) {
                    const float out = input * s.gain + d + s.a2 * s.y2 + s.a1 * s.y1;
                    s.y2 = s.y1;
                    s.y1 = out;
                    s.peak = std::max(s.peak, std::abs(out));
                }
                bound.raise(std::max(settings[0].peak, settings[1].peak));
            }
            if (--remaining <= 0) on = false;
            const float limit = bound.limit();
            if (RingBound::within(weight * y, limit) && RingBound::within(y, kBackstop * limit)) return y;
            const float heard = std::abs(weight);
            return bound.holdState(stateY1, stateY2, a1, -a2, heard > 1.0f / kBackstop ? 1.0f / heard : kBackstop);
        }
        static constexpr float kBackstop = 16.0f;
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
    Shadow shadow_{false, false, 0, {}, {}};
};

}  // namespace dsp
