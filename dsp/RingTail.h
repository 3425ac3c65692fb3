// What keeps a retriggered or retuned two-pole resonator bounded.
//
// A resonator's ringing is held in two parts: the latest hit, which runs the
// recursion exactly as written, and the tail, the ringing that was already
// there when that hit arrived or when the resonator was retuned. Only the
// tail is ever adjusted:
// - When the coefficients change under it, it is scaled down wherever the
//   new coefficients would read it as a larger oscillation than its rule
//   allows: a ping, which keeps its new tuning, may not gain amplitude; the
//   kick's body, which glides on, may not gain action (sin(theta) times the
//   squared amplitude, which a slow glide keeps) beyond an allowance for the
//   hit that retriggered it.
// - Hit and tail together never exceed kLoudestHitMultiple times the loudest
//   the hits themselves have been (a peak memory falling at the resonator's
//   decay); beyond that the tail is scaled down. This is the last resort
//   that holds for any input; the rules above keep ordinary playing well
//   below it.
// So a hit on a resonator at rest gives exactly the samples of the
// recursion, and no sequence of hits, retunes or parameter changes makes a
// resonator ring louder than four of its single hits, or produce a sample
// that is not finite.
#pragma once

#include <algorithm>
#include <cmath>

namespace dsp {

// The most a resonator rings, in its loudest single hits.
constexpr float kLoudestHitMultiple = 4.0f;

// What the invariant and sin^2(theta) below need of the coefficients alone:
// a swept resonator works them out for a stretch of samples ahead, lane by
// lane, instead of one sample after the other inside its recursion.
struct RingTerms {
    double half;         // a1 / 2
    double cross;        // r^2 - (a1 / 2)^2
    double sineSquared;  // see ringSineSquared
};

// The resonator's quadratic invariant y1^2 - a1*y1*y2 + r^2*y2^2: it falls by
// r^2 per sample while the coefficients stay, and over sin^2(theta) it is
// the squared amplitude of the oscillation the state stands for.
inline double ringEnergy(float y1, float y2, double half, double cross) {
    const double v = y1 - half * y2;
    // Never below 0, which rounding near a double pole could give.
    return std::max(v * v + cross * y2 * y2, 0.0);
}
inline double ringEnergy(float y1, float y2, float a1, float rSquared) {
    const double half = 0.5 * a1;
    return ringEnergy(y1, y2, half, static_cast<double>(rSquared) - half * half);
}

// sin^2(theta) of the coefficients, kept away from 0 where a1 = 2r rounds to
// a double pole.
inline double ringSineSquared(double half, float rSquared) {
    if (!(rSquared > 0.0f)) return 1.0;
    return std::max(1.0 - half * half / rSquared, 1e-12);
}
inline double ringSineSquared(float a1, float rSquared) {
    return ringSineSquared(0.5 * a1, rSquared);
}

inline RingTerms ringTerms(float a1, float rSquared) {
    const double half = 0.5 * a1;
    return {half, static_cast<double>(rSquared) - half * half, ringSineSquared(half, rSquared)};
}

// The action of the ringing an impulse of height y starts.
inline double hitAction(float y, float a1, float rSquared) {
    return static_cast<double>(y) * y / std::sqrt(ringSineSquared(a1, rSquared));
}

class RingTail {
public:
    bool active() const { return active_; }
    float peak() const { return peak_; }

    // The whole state as plain values, for code that runs several
    // resonators in the lanes of one register.
    struct Values {
        float y1, y2;
        bool active;
        float peak;
        double allowedAction;
    };
    Values values() const { return {y1_, y2_, active_, peak_, allowedAction_}; }
    void setValues(const Values& v) {
        y1_ = v.y1;
        y2_ = v.y2;
        active_ = v.active;
        peak_ = v.peak;
        allowedAction_ = v.allowedAction;
    }

    // Moves a hit's ringing into the tail; false if there was none, or if
    // the resonator is at rest, whose remains (the denormal guard's offsets,
    // a tail 90 dB down) stay with the hit as the recursion has them.
    bool absorb(float& hitY1, float& hitY2) {
        if (resting_ || (hitY1 == 0.0f && hitY2 == 0.0f)) return false;
        y1_ += hitY1;
        y2_ += hitY2;
        hitY1 = hitY2 = 0.0f;
        active_ = true;
        return true;
    }
    // An impulse arrives: what rang becomes the tail, unless at rest.
    bool strike(float& hitY1, float& hitY2) {
        const bool absorbed = absorb(hitY1, hitY2);
        resting_ = false;
        return absorbed;
    }
    // The owner has gone quiet: the tail returns to the hit as one ringing
    // state, and the next impulse rings it as a first hit would.
    void rest(float& hitY1, float& hitY2) {
        if (active_) {
            hitY1 += y1_;
            hitY2 += y2_;
            clear();
        }
        resting_ = true;
    }

    // After a retune: the tail's amplitude does not rise.
    void keepAmplitude(float oldA1, float oldRSquared, float newA1, float newRSquared) {
        if (!active_) return;
        const double before = ringEnergy(y1_, y2_, oldA1, oldRSquared) / ringSineSquared(oldA1, oldRSquared);
        const double after = ringEnergy(y1_, y2_, newA1, newRSquared) / ringSineSquared(newA1, newRSquared);
        if (after > before) scale(std::sqrt(before / after));
    }

    // The action the tail stands for under the coefficients it rang with,
    // plus allowance (a new hit's, or none), becomes the most it may have
    // from now on, falling at the decay.
    void startAction(float a1, float rSquared, double allowance = 0.0) {
        if (active_) allowedAction_ = action(a1, rSquared) + allowance;
    }
    // Under the coefficients of the coming sample: no more action than allowed.
    void holdAction(const RingTerms& terms) {
        // energy / sin(theta) > allowed, without a root per sample.
        const double energy = ringEnergy(y1_, y2_, terms.half, terms.cross);
        if (energy * energy > allowedAction_ * allowedAction_ * terms.sineSquared)
            scale(std::sqrt(allowedAction_ * std::sqrt(terms.sineSquared) / energy));
    }

    // One sample of free ringing; returns the tail's output.
    float ring(float a1, float a2, float rSquared) {
        const float y = a1 * y1_ + a2 * y2_;
        y2_ = y1_;
        y1_ = y;
        allowedAction_ *= rSquared;
        if (std::abs(y1_) + std::abs(y2_) < 1e-20f) clear();
        return y;
    }

    // The hit's latest output enters the peak memory.
    void trackPeak(float hitY, float r) { peak_ = std::max(peak_ * r, std::abs(hitY)); }

    // Hit plus tail, with the tail scaled down where the sum would pass the
    // ceiling.
    float limit(float hitY) {
        const float ceiling = kLoudestHitMultiple * peak_;
        float total = hitY + y1_;
        if (std::abs(total) > ceiling) {
            scale(std::max(ceiling - std::abs(hitY), 0.0f) / std::abs(y1_));
            total = hitY + y1_;
        }
        return total;
    }

    void clear() {
        y1_ = y2_ = 0.0f;
        active_ = false;
    }
    void reset() {
        clear();
        resting_ = true;
        peak_ = 0.0f;
        allowedAction_ = 0.0;
    }

private:
    double action(float a1, float rSquared) const {
        return ringEnergy(y1_, y2_, a1, rSquared) / std::sqrt(ringSineSquared(a1, rSquared));
    }
    void scale(double factor) {
        if (!(factor >= 0.0)) factor = 0.0;  // 0/0 of a tail too small to measure
        y1_ = static_cast<float>(y1_ * factor);
        y2_ = static_cast<float>(y2_ * factor);
        if (y1_ == 0.0f && y2_ == 0.0f) active_ = false;
    }

    float y1_ = 0.0f;
    float y2_ = 0.0f;
    bool active_ = false;
    bool resting_ = true;
    float peak_ = 0.0f;
    double allowedAction_ = 0.0;
};

}  // namespace dsp
