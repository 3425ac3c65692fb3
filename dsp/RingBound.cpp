#include "dsp/RingBound.h"

#include <algorithm>
#include <atomic>

#include "dsp/DspMath.h"
#include "dsp/PortableMath.h"

namespace dsp {

namespace {

std::atomic<bool> boundActs{true};

// The eased level: x itself up to 2h, then 2h + h tanh((x - 2h) / h), which
// leaves 2h with slope 1 and stays below 3h.
double ease(double x, double h) {
    const double knee = RingBound::kExactUpTo * h;
    if (!(x > knee)) return x;
    const double over = (x - knee) / h;
    // tanh from the portable exponential, so every build eases alike.
    const double e = portable::exp(-2.0 * std::min(over, 40.0));
    return knee + h * (RingBound::kHeldBelow - RingBound::kExactUpTo) * (1.0 - e) / (1.0 + e);
}

}  // namespace

void RingBound::setActing(bool on) {
    boundActs = on;
}

bool RingBound::acting() {
    return boundActs;
}

float RingBound::ease(float level, float reference) {
    return static_cast<float>(std::copysign(dsp::ease(std::abs(static_cast<double>(level)), reference), level));
}

RingBound::Held RingBound::hold(float y1, float y2, float a1, float rSquared, float reference) {
    const double h = reference;
    const double y = y1, before = y2;
    if (!std::isfinite(y) || !std::isfinite(before) || !(h > 0.0)) return {0.0f, 0.0f};
    const double out = std::copysign(dsp::ease(std::abs(y), h), y);
    // Without a swing to speak of (a double pole), the state is scaled whole.
    double next = y != 0.0 ? before * (out / y) : 0.0;
    const double r = std::sqrt(static_cast<double>(std::max(rSquared, 0.0f)));
    if (r > 0.0) {
        const double c = a1 / (2.0 * r);  // cos(theta)
        const double sineSquared = 1.0 - c * c;
        if (sineSquared > 1e-9) {
            const double s = std::sqrt(sineSquared);
            // y^2 - a1 y y2 + r^2 y2^2 is (amplitude * sin(theta))^2.
            const double energy = std::max(y * y - a1 * y * before + rSquared * before * before, 0.0);
            const double amplitude = std::max(std::sqrt(energy) / s, std::abs(y));
            const double target = std::max(dsp::ease(amplitude, h), std::abs(out));
            // r*y2 - c*y is the swing's sine part: its sign says which way
            // the waveform is going, which the new state keeps.
            const double swing = s * std::sqrt(std::max(target * target - out * out, 0.0));
            next = (out * c + (r * before - c * y < 0.0 ? -swing : swing)) / r;
        }
    }
    return {static_cast<float>(out), static_cast<float>(next)};
}

double ringingPeak(double y1, double y2, float a1, float rSquared) {
    const double now = std::abs(y1);
    if (!(rSquared > 0.0f)) return now;
    const double r = std::sqrt(static_cast<double>(rSquared));
    const double decay = -portable::log(r);  // per sample
    const double c = std::clamp(a1 / (2.0 * r), -1.0, 1.0);
    const double s = std::sqrt(1.0 - c * c);
    if (!(s > 1e-9) || !(decay > 0.0)) {
        // A double pole: y_n = (p + q n) r^n, whose crest is at -1/ln r - p/q.
        const double p = y1, q = y1 - r * y2 * (c < 0.0 ? -1.0 : 1.0);
        if (q == 0.0) return now;
        const double crest = -1.0 / decay - p / q;
        if (!(crest > 0.0)) return now;
        const double n = std::floor(std::min(crest, 1e9));
        const auto at = [&](double k) { return std::abs(p + q * k) * portable::exp(-decay * k); };
        return std::max({now, at(n), at(n + 1.0)});
    }
    // y_n = A r^n sin(n theta + phase): y_0 = y1, y_-1 = y2.
    double theta = c > -1.0 ? 2.0 * portable::atan(s / (1.0 + c)) : kPi;
    const double sine = y1, cosine = (y1 * c - r * y2) / s;
    const double amplitude = std::sqrt(sine * sine + cosine * cosine);
    if (!(amplitude > 0.0)) return now;
    double phase = amplitude + cosine > 0.0 ? 2.0 * portable::atan(sine / (amplitude + cosine)) : kPi;
    // Above a quarter turn per sample the samples trace the turn that is
    // left to a half: |sin(n theta + phase)| = |sin(n (pi - theta) - phase)|.
    if (theta > 0.5 * kPi) {
        theta = kPi - theta;
        phase = -phase;
    }
    // The crests of the envelope A r^t |sin(t theta + phase)| lie where
    // tan(t theta + phase) = theta / decay, one every half turn, each lower
    // than the one before. The samples fall beside them: the largest sample
    // is beside one of the first few crests, and no sample after a crest
    // passes that crest's height.
    const double halfTurn = kPi / theta;
    double crest = (portable::atan(theta / decay) - phase) / theta;
    crest -= std::floor(crest / halfTurn) * halfTurn;  // the first ahead
    const auto at = [&](double k) {
        return amplitude * std::abs(portable::sin(k * theta + phase)) * portable::exp(-decay * k);
    };
    double best = now;
    constexpr int kCrests = 16;
    for (int k = 0; k < kCrests; ++k, crest += halfTurn) {
        if (crest > 1e9) break;
        const double n = std::floor(crest);
        best = std::max({best, at(n), at(n + 1.0)});
        // The next crest's height bounds every later sample.
        const double next = crest + halfTurn;
        const double height = amplitude * std::abs(portable::sin(next * theta + phase)) * portable::exp(-decay * next);
        if (!(height > best)) return best;
        if (k == kCrests - 1) best = height;
    }
    return best;
}

double impulsePeak(float a1, float rSquared) {
    return ringingPeak(1.0, 0.0, a1, rSquared);
}

GlideShape::Peaks GlideShape::peaks(float firstDepth, int firstSamples, float depth) const {
    // The recursion of a hit of height 1 from rest, in the body's own float
    // operations, until the glide has all but reached the base.
    float y1 = 0.0f, y2 = 0.0f, envelope = 1.0f;
    float c1 = 0.0f, c2 = 0.0f;  // the companion
    const float a2 = -(radius * radius);
    double peak = 0.0, mixedPeak = 0.0;
    float a1 = 0.0f;
    int n = 0;
    for (; n < kSamples; ++n) {
        const float top = n < firstSamples ? firstDepth : depth;
        const float f = top * envelope + base;
        float u = angularScale * f;
        u = std::min(u * u, kMaxStablePolyU);
        a1 = std::clamp(polyCosScaled(u, 2.0f * radius), -a1Limit, a1Limit);
        const float excitation = n == 0 ? ((1.0f - a2) - a1) / f * 8.0f : 0.0f;
        const float y = a1 * y1 + a2 * y2 + excitation;
        y2 = y1;
        y1 = y;
        const float c = companion.a1 * c1 - companion.rSquared * c2 + (n == 0 ? companion.gain : 0.0f);
        c2 = c1;
        c1 = c;
        peak = std::max(peak, static_cast<double>(std::abs(y)));
        mixedPeak = std::max(mixedPeak, std::abs(static_cast<double>(weight) * y + static_cast<double>(companion.weight) * c));
        envelope *= glide;
        if (n >= firstSamples && depth * envelope < 1e-4f * base) break;
    }
    // What rings on. Once at the base, the ringing in closed form. Where
    // the glide is still on its way (slow glides at high rates), its
    // amplitude, carried on as a slow glide carries it: times
    // sqrt(sin theta now / sin theta then), falling at the decay.
    const auto baseA1 = [&](float f) {
        float w = angularScale * f;
        w = std::min(w * w, kMaxStablePolyU);
        return std::clamp(polyCosScaled(w, 2.0f * radius), -a1Limit, a1Limit);
    };
    double rest;
    if (n < kSamples) {
        rest = ringingPeak(y1, y2, baseA1(base), -a2);
    } else {
        const auto sine = [&](float a) {
            const double c = a / (2.0 * radius);
            return std::sqrt(std::max(1.0 - c * c, 1e-18));
        };
        const double now = sine(a1);
        const double energy = std::max(static_cast<double>(y1) * y1 - static_cast<double>(a1) * y1 * y2 +
                                           static_cast<double>(radius) * radius * y2 * y2,
                                       0.0);
        const double amplitude = std::sqrt(energy) / now;
        const double decay = -portable::log(static_cast<double>(radius));
        const double left = depth * envelope;  // the glide still to go
        rest = amplitude;
        for (int k = 1; k <= 64; ++k) {
            // Up to ten time constants of the glide ahead, closer together
            // at first.
            const double m = 10.0 * (k * k) / (64.0 * 64.0) / std::max(-portable::log(static_cast<double>(glide)), 1e-12);
            const double f = base + left * portable::exp(m * portable::log(static_cast<double>(glide)));
            rest = std::max(rest, amplitude * std::sqrt(now / sine(baseA1(static_cast<float>(f)))) * portable::exp(-decay * m));
        }
    }
    const double companionRest = ringingPeak(c1, c2, companion.a1, companion.rSquared);
    return {std::max(peak, rest),
            std::max(mixedPeak, std::abs(weight) * rest + std::abs(companion.weight) * companionRest)};
}

}  // namespace dsp
