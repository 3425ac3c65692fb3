// Numeric helpers shared by the synthesis code. Setters compute their
// exponentials and cosines in double precision with our own functions, so
// every platform stores the same floats; the per-sample paths stay in single
// precision.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

#include "dsp/PortableMath.h"

namespace dsp {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kLn2 = 0.693147182f;
// exp(y), stored as float (the correctly rounded value).
inline float expExtended(float y) {
    return static_cast<float>(portable::exp(static_cast<double>(y)));
}

// base^x, stored as float.
inline float powExtended(float base, float x) {
    return static_cast<float>(portable::pow(static_cast<double>(base), static_cast<double>(x)));
}

// The setters' true cosine.
inline float trueCos(float angle) {
    return static_cast<float>(portable::cos(static_cast<double>(angle)));
}

// Samples until an exponential of time constant tau has fallen by 2^-15
// (about 90 dB): rate * halvings * tau * ln 2, truncated. Saturates instead
// of overflowing at absurd sample rates.
inline int decaySamples(float sampleRate, float halvings, float tau) {
    float samples = sampleRate * halvings * tau * kLn2;
    if (!(samples < 2147483520.0f)) return samples > 0 ? INT_MAX : 0;
    return samples > 0 ? static_cast<int>(samples) : 0;
}

inline int lifetimeFor(float sampleRate, float tau) {
    return decaySamples(sampleRate, 15.0f, tau);
}

// Per-sample multiplier of the activity meter for a sound of time constant tau.
inline float meterDecayFor(float samplePeriod, float tau) {
    return expExtended(-samplePeriod / std::max(tau, 0.04f));
}

// The resonators' per-sample cosine polynomial (to the sixth power) stays
// within [-1, 1] only for u = (2 pi f T)^2 up to here; beyond it a two-pole
// filter built on it can turn unstable. Paths that retune per sample or per
// trigger limit u to this value, which only frequencies near half the sample
// rate ever reach.
constexpr float kMaxStablePolyU = 7.5449f;

// The largest a1 at which y = a1*y1 - rSquared*y2 keeps complex (or double)
// poles of radius sqrt(rSquared) < 1: a1^2 <= 4 rSquared, exactly in the
// float values. A frequency tiny against the sample rate rounds the cosine to
// 1 while r*r rounds down, which would leave a1 a hair above it and a real
// pole above 1 (a long decay at 768 kHz then grows to infinity); only such
// coefficients are held at the edge.
inline float stableA1Limit(float rSquared) {
    const double edge = 2.0 * std::sqrt(static_cast<double>(rSquared));
    float limit = static_cast<float>(edge);
    if (static_cast<double>(limit) > edge) limit = std::nextafter(limit, 0.0f);
    return limit;
}
inline float stableA1(float a1, float limit) {
    return std::clamp(a1, -limit, limit);
}

// cos(sqrt(u)) by its Taylor series to the sixth power, times scale, as
// (720 - u(360 - u(30 - u))) * scale / 720.
// Written for one float or for FloatLanes.
template <typename Float>
inline Float polyCosScaled(Float u, Float scale) {
    return (Float(720.0f) - u * (Float(360.0f) - u * (Float(30.0f) - u))) * scale / Float(720.0f);
}

}  // namespace dsp
