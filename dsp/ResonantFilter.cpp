#include "dsp/ResonantFilter.h"

#include <algorithm>
#include <cmath>

#include "dsp/PortableMath.h"

namespace dsp {

namespace {

// The amplitude of the oscillation the state stands for under a1 and
// rSquared (see RingBound), or its larger sample without one.
double amplitude(float y1, float y2, float a1, float rSquared) {
    const double r = std::sqrt(std::max(static_cast<double>(rSquared), 0.0));
    const double c = r > 0.0 ? a1 / (2.0 * r) : 1.0;
    const double sineSquared = 1.0 - c * c;
    if (!(sineSquared > 1e-9)) return std::max(std::abs(y1), std::abs(y2));
    const double energy = static_cast<double>(y1) * y1 - static_cast<double>(a1) * y1 * y2 +
                          static_cast<double>(rSquared) * y2 * y2;
    return std::sqrt(std::max(energy, 0.0) / sineSquared);
}

}  // namespace

void ResonantFilter::recompute() {
    const Shadow::Setting before{a1_, a2_, gain_, y1_, y2_, 0.0f};
    computeCoefficients();
    if ((y1_ == 0.0f && y2_ == 0.0f) || !(r_ > 0.0f)) return;  // nothing rings
    if (!shadow_.on || shadow_.fixed) {
        // The settings so far, from the state as it is: nothing has moved
        // under it yet.
        shadow_.on = true;
        shadow_.fixed = false;
        shadow_.settings[0] = before;
        shadow_.settings[0].peak = static_cast<float>(amplitude(y1_, y2_, before.a1, -before.a2));
        shadow_.settings[1] = shadow_.settings[0];
        shadow_.bound.restart(shadow_.settings[0].peak);
    }
    Shadow::Setting* const s = shadow_.settings;
    const bool known = (s[0].a1 == a1_ && s[0].a2 == a2_ && s[0].gain == gain_) ||
                       (s[1].a1 == a1_ && s[1].a2 == a2_ && s[1].gain == gain_);
    if (!known) {
        // The quieter setting gives way to the new one, which starts from
        // the loudest's state with no more amplitude than it has there.
        const Shadow::Setting& loudest = s[0].peak >= s[1].peak ? s[0] : s[1];
        Shadow::Setting& replaced = s[0].peak >= s[1].peak ? s[1] : s[0];
        const double was = amplitude(loudest.y1, loudest.y2, loudest.a1, -loudest.a2);
        const double is = amplitude(loudest.y1, loudest.y2, a1_, -a2_);
        const double scale = is > was ? was / is : 1.0;
        replaced = {a1_, a2_, gain_, static_cast<float>(loudest.y1 * scale), static_cast<float>(loudest.y2 * scale),
                    0.0f};
    }
    // Eight time constants: what the change left has fallen by 70 dB.
    const double timeConstant = -1.0 / portable::log(static_cast<double>(r_));
    shadow_.remaining = static_cast<int>(std::clamp(8.0 * timeConstant, 64.0, 1048576.0));
}

}  // namespace dsp
