#include "plugin/VelocityCurves.h"

#include "dsp/PortableMath.h"

namespace plugin {

VelocityCurves::VelocityCurves() {
    for (int d = 0; d < 128; ++d) {
        log_[d] = static_cast<float>(dsp::portable::log2(1.0 + d / 127.0));
        exp_[d] = static_cast<float>((dsp::portable::exp(d / 127.0) - 1.0) * 0.5819767068693265);
    }
}

float VelocityCurves::value(int curve, int velocity) const {
    velocity &= 0x7F;
    if (curve == kExponential) return exp_[velocity];
    if (curve == kLogarithmic) return log_[velocity];
    return static_cast<float>(velocity) * 0.008f;
}

}  // namespace plugin
