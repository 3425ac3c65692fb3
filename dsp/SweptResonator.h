// Two-pole resonator whose frequency is read from a buffer every sample: the
// kick's body. What rings when an impulse arrives, or when the owner changes
// the course of the frequency, glides on as a tail (see RingTail) whose
// action never rises, so retriggers cannot pump it up.
// Block: input = excitation, control = frequency (Hz, > 0), output.
#pragma once

#include "dsp/DspMath.h"
#include "dsp/DspUnit.h"
#include "dsp/FloatLanes.h"
#include "dsp/RingTail.h"

namespace dsp {

class SweptResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    // At a retrigger the glide ahead may give the tail up to this many times
    // the new hit's action on top of its own: ordinary retriggers keep the
    // lift the written recursion gives them, while a steady roll settles
    // where the tail carries 2D/(1 - D) hits' action (D the decay of the
    // action from hit to hit) instead of growing without end.
    static constexpr double kRetriggerAllowance = 2.0;

    // The longest stretch whose coefficients are worked out ahead at once.
    static constexpr int kStretch = 64;
    // The coefficients of a stretch of frequencies, which depend on nothing
    // the recursion computes: worked out in a loop of their own, several
    // samples at a time, so that only the recursion is left one sample after
    // the other.
    struct Course {
        float a1[kStretch];
        float gain[kStretch];
        // The tail's terms (see RingTerms), filled only where a tail may ring.
        double half[kStretch];
        double cross[kStretch];
        double sineSquared[kStretch];
    };

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float y1, y2, a1, gain, ringA1, ringRSquared;
        float w, twoR, a2, r, rSquared, a1Limit, d;
        RingTail tail;

        // The coefficients for the frequencies f[0..n), n <= kStretch, and
        // the tail's terms wherever a tail rings or an impulse (struck: any
        // in the stretch) may start one.
        void plan(const float* f, int n, bool struck, Course& course) const {
            int i = 0;
            for (; i + FloatLanes::kCount <= n; i += FloatLanes::kCount) {
                FloatLanes a1Lanes, gainLanes;
                coefficients(FloatLanes::load(f + i), a1Lanes, gainLanes);
                a1Lanes.store(course.a1 + i);
                gainLanes.store(course.gain + i);
            }
            for (; i < n; ++i) coefficients(f[i], course.a1[i], course.gain[i]);
            if (!tail.active() && !struck) return;
            for (int k = 0; k < n; ++k) {
                const RingTerms terms = ringTerms(course.a1[k], rSquared);
                course.half[k] = terms.half;
                course.cross[k] = terms.cross;
                course.sineSquared[k] = terms.sineSquared;
            }
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
            if (excitation > 0.0f && tail.strike(y1, y2))
                tail.startAction(ringA1, ringRSquared,
                                 kRetriggerAllowance * hitAction(gain * excitation, a1, rSquared));
            const float y = a1 * y1 + a2 * y2 + gain * excitation + d;
            y2 = y1;
            y1 = y;
            ringA1 = a1;
            ringRSquared = rSquared;
            tail.trackPeak(y, r);
            if (tail.active()) {
                tail.holdAction({course.half[i], course.cross[i], course.sineSquared[i]});
                tail.ring(a1, a2, rSquared);
                return 8.0f * tail.limit(y);
            }
            return 8.0f * y;
        }
    };
    Run begin();
    void end(const Run& run);

    void setDecayTime(float seconds);
    void recompute() { setDecayTime(decayTime_); }
    void clearState() {
        y1_ = y1Copy_ = y2_ = 0.0f;
        tail_.reset();
    }
    // The frequency now follows another course than the one the ringing
    // started on (a parameter changed): from here on it is a tail.
    void changeCourse();

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
    RingTail tail_;
    // The coefficients of the last sample processed.
    float ringA1_ = 0.0f;
    float ringRSquared_ = 0.0f;
};

// The state moves into locals for the block: the outputs could alias the
// members, which would otherwise be stored and reloaded every sample. Both
// are inline so that the locals never escape, which would tie them to
// memory as well.
inline SweptResonator::Run SweptResonator::begin() {
    const float d = denormal_.flip();
    const float rSquared = -a2_;
    // The decay changed since the last block.
    if (rSquared != ringRSquared_) changeCourse();
    return {y1_, y2_, a1_, gain_, ringA1_, ringRSquared_, w_, twoR_, a2_, r_, rSquared,
            stableA1Limit(rSquared), d, tail_};
}

inline void SweptResonator::end(const Run& run) {
    y1_ = run.y1;
    y2_ = run.y2;
    a1_ = run.a1;
    gain_ = run.gain;
    ringA1_ = run.ringA1;
    ringRSquared_ = run.ringRSquared;
    tail_ = run.tail;
    y1Copy_ = y1_;
}

}  // namespace dsp
