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
    const float oldA1 = a1_, oldRSquared = -a2_;
    computeCoefficients();
    if ((y1_ == 0.0f && y2_ == 0.0f) || !(r_ > 0.0f)) return;  // nothing rings
    if (!shadow_.on) {
        shadow_.on = true;
        shadow_.y1 = y1_;
        shadow_.y2 = y2_;
        shadow_.bound.restart(static_cast<float>(amplitude(y1_, y2_, oldA1, oldRSquared)));
    }
    const double before = amplitude(shadow_.y1, shadow_.y2, oldA1, oldRSquared);
    const double after = amplitude(shadow_.y1, shadow_.y2, a1_, -a2_);
    if (after > before) {
        const double scale = before / after;
        shadow_.y1 = static_cast<float>(shadow_.y1 * scale);
        shadow_.y2 = static_cast<float>(shadow_.y2 * scale);
    }
    // Eight time constants: what the change left has fallen by 70 dB.
    const double timeConstant = -1.0 / portable::log(static_cast<double>(r_));
    shadow_.remaining = static_cast<int>(std::clamp(8.0 * timeConstant, 64.0, 1048576.0));
}

}  // namespace dsp
