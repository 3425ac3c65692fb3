// What keeps every two-pole unit bounded, however it is retriggered, retuned
// or automated, without touching its sound where it stays sane.
//
// A unit keeps its ringing state when its coefficients change, and read
// through the new coefficients that state can stand for a larger
// oscillation: repeated, the written recursion grows without limit. The
// bound watches one number per sample, the unit's output, against twice its
// reference: the loudest output a single hit at velocity 127 gives at the
// unit's settings (see the reference functions below), over the settings
// and notes it has played since it last went quiet. Below that the samples
// are the recursion's own, bit for bit. Above it the output is eased along
// a smooth curve that never reaches three times the reference, and the
// state is set to the same amplitude at the same value and direction of
// swing: the waveform carries on without a step, only less loud, and comes
// back down at its own decay as the hits stop.
#pragma once

#include <algorithm>
#include <cmath>

namespace dsp {

class RingBound {
public:
    // The output is the recursion's own up to this many times the reference,
    // and eased to below kHeldBelow times it above.
    static constexpr float kExactUpTo = 2.0f;
    static constexpr float kHeldBelow = 3.0f;

    // The velocity value of MIDI velocity 127 on the loudest velocity curve.
    static constexpr float kLoudestVelocity = 1.016f;

    // From a unit at rest: the reference of its present settings.
    void restart(float reference) {
        reference_ = reference > 0.0f ? reference : 0.0f;
        update();
    }
    // New settings or a new note: the reference only ever grows until the
    // unit goes quiet, so it covers everything played since.
    void raise(float reference) {
        if (reference > reference_) {
            reference_ = reference;
            update();
        }
    }
    // What the voice's other parts can add to its loudest hit, in this
    // unit's terms: the unit is left alone until the voice as a whole could
    // have passed twice its loudest hit.
    void allow(float allowance) {
        allowance_ = std::min(std::max(allowance, 0.0f), 1e6f);
        update();
    }
    float reference() const { return reference_; }
    float limit() const { return limit_; }

    // The same easing for a level that is its own whole state (an envelope
    // that adds up hits): itself up to twice the reference, eased above.
    static float ease(float level, float reference);

    // The per-sample test: true while the sample needs nothing (false for
    // a NaN, which the hold clears).
    static bool within(float y, float limit) { return std::abs(y) <= limit; }

    // The rare path. y1 is the sample just computed and y2 the one before,
    // rung with a1 and rSquared: the eased state (whose y1 is the eased
    // sample), with the reference times scale. By value, so that the
    // callers' states stay in registers.
    struct Held {
        float y1, y2;
    };
    // (A static function of plain values: a member function would take the
    // address of a bound that lives in a block's locals, and tie them all
    // to memory.)
    static Held hold(float y1, float y2, float a1, float rSquared, float reference);
    // hold for a unit whose state is y1, y2: sets it, returns the sample.
    float holdState(float& y1, float& y2, float a1, float rSquared, float scale = 1.0f) const {
        const Held held = hold(y1, y2, a1, rSquared, (reference_ + allowance_) * scale);
        y1 = held.y1;
        y2 = held.y2;
        return held.y1;
    }

    // Tests only: false renders the written recursions, unbounded.
    static void setActing(bool on);
    static bool acting();

private:
    void update() { limit_ = acting() ? kExactUpTo * (reference_ + allowance_) : INFINITY; }

    float reference_ = 0.0f;
    float allowance_ = 0.0f;
    float limit_ = INFINITY;
};

// References. The largest |y| the free ringing y = a1*y1 - rSquared*y2
// reaches from the state (y1 the latest sample, y2 the one before), its
// present sample included: y_n = A r^n sin(n theta + phase), whose first
// crest ahead is the largest, found in closed form.
double ringingPeak(double y1, double y2, float a1, float rSquared);
// The largest output of a single impulse of height 1 into the unit at rest.
double impulsePeak(float a1, float rSquared);

// The kick's body glides from base + depth down to base along glide^n
// (in Key Mode by another depth for the rest of the block a note starts
// in). A hit's largest output, for an impulse of height 1 times the body's
// gain term at the top of the glide, is found by running the recursion as
// the body runs it until the glide has all but reached the base, and the
// ringing left then in closed form. At most kSamples samples: a glide
// slower than that (long sweeps at high rates) is carried on as a slow
// glide carries the amplitude, by sqrt(sin theta) of where it is over
// sqrt(sin theta) of where it goes, falling at the decay.
// A second resonator struck by the same impulse and mixed with the body
// (the kick's click) can ride along: the peak of weight * body + its weight
// * its output is found as well.
struct GlideShape {
    float base, glide, radius, angularScale, a1Limit;
    float weight = 1.0f;
    struct Companion {
        float a1 = 0.0f, rSquared = 0.0f, gain = 0.0f, weight = 0.0f;
    } companion;
    struct Peaks {
        double body, mixed;
    };
    static constexpr int kSamples = 16384;
    Peaks peaks(float firstDepth, int firstSamples, float depth) const;
};

}  // namespace dsp
