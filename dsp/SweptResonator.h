// Two-pole resonator whose frequency is read from a buffer every sample: the
// kick's body. Its owner works out the reference of its RingBound from the
// glide, which only the owner knows.
// Block: input = excitation, control = frequency (Hz, > 0), output.
#pragma once

#include "dsp/DspMath.h"
#include "dsp/DspUnit.h"
#include "dsp/FloatLanes.h"
#include "dsp/RingBound.h"

namespace dsp {

class SweptResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    // The longest stretch whose coefficients are worked out ahead at once.
    static constexpr int kStretch = 64;
    // The coefficients of a stretch of frequencies, which depend on nothing
    // the recursion computes: worked out in a loop of their own, several
    // samples at a time, so that only the recursion is left one sample after
    // the other.
    struct Course {
        float a1[kStretch];
        float gain[kStretch];
    };

    // The recursion, written once for one float and for lanes (FloatLanes).
    // It sums the same two products as a ping's, so a ping can ride in its
    // lanes too.
    template <typename Float>
    static Float ring(Float y1, Float y2, Float a1, Float a2, Float excitation, Float gain, Float d) {
        return a1 * y1 + a2 * y2 + gain * excitation + d;
    }

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float y1, y2, a1, gain;
        float w, twoR, a2, a1Limit, d;
        RingBound bound;

        // The coefficients for the frequencies f[0..n), n <= kStretch.
        void plan(const float* f, int n, Course& course) const {
            int i = 0;
            for (; i + FloatLanes::kCount <= n; i += FloatLanes::kCount) {
                FloatLanes a1Lanes, gainLanes;
                coefficients(FloatLanes::load(f + i), a1Lanes, gainLanes);
                a1Lanes.store(course.a1 + i);
                gainLanes.store(course.gain + i);
            }
            for (; i < n; ++i) coefficients(f[i], course.a1[i], course.gain[i]);
        }
        // What step used to work out for itself, for one float or lanes.
        template <typename Float>
        void coefficients(Float f, Float& a1Out, Float& gainOut) const {
            Float u = Float(w) * f;
            u = lesser(u * u, Float(kMaxStablePolyU));
            a1Out = greater(lesser(polyCosScaled(u, Float(twoR)), Float(a1Limit)), Float(-a1Limit));
            gainOut = (Float(1.0f - a2) - a1Out) / f * Float(8.0f);
        }
        // Sample i of a planned stretch.
        float step(float excitation, const Course& course, int i) {
            a1 = course.a1[i];
            gain = course.gain[i];
            const float y = ring(y1, y2, a1, a2, excitation, gain, d);
            y2 = y1;
            y1 = y;
            if (RingBound::within(y, bound.limit())) return 8.0f * y;
            return 8.0f * bound.holdState(y1, y2, a1, -a2);
        }
    };
    Run begin();
    void end(const Run& run);

    void setDecayTime(float seconds);
    void recompute() { setDecayTime(decayTime_); }
    void clearState() { y1_ = y1Copy_ = y2_ = 0.0f; }

    // The references of a hit at velocity 127 gliding from base + depth
    // down to base along glide^n (by firstDepth for its first firstSamples
    // samples): the body's own, and of its output times weight mixed with
    // a companion's (see GlideShape).
    GlideShape::Peaks reference(float base, float firstDepth, int firstSamples, float depth, float glide,
                                float weight, const GlideShape::Companion& companion) const;
    void restartBound(float reference) { bound_.restart(reference); }
    void raiseBound(float reference) { bound_.raise(reference); }
    float boundReference() const { return bound_.reference(); }
    void allowForOtherParts(float allowance) { bound_.allow(allowance); }
    float radius() const { return r_; }

private:
    float baseFrequency_ = 50.0f;
    float decayTime_ = 0.005f;
    float y1_ = 0.0f;
    float y1Copy_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    float w_ = 0.0f;
    float twoR_ = 0.0f;
    RingBound bound_;
};

// The state moves into locals for the block: the outputs could alias the
// members, which would otherwise be stored and reloaded every sample. Both
// are inline so that the locals never escape, which would tie them to
// memory as well.
inline SweptResonator::Run SweptResonator::begin() {
    const float d = denormal_.flip();
    return {y1_, y2_, a1_, gain_, w_, twoR_, a2_, stableA1Limit(-a2_), d, bound_};
}

inline void SweptResonator::end(const Run& run) {
    y1_ = run.y1;
    y2_ = run.y2;
    a1_ = run.a1;
    gain_ = run.gain;
    bound_ = run.bound;
    y1Copy_ = y1_;
}

}  // namespace dsp
