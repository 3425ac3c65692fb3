// The three ways a MIDI velocity becomes a voice's velocity value.
#pragma once

namespace plugin {

class VelocityCurves {
public:
    static constexpr int kLinear = 0;
    static constexpr int kLogarithmic = 1;
    static constexpr int kExponential = 2;

    VelocityCurves();

    // velocity 0 to 127. Linear gives velocity * 0.008, so 127 gives 1.016;
    // the log and exp curves run from 0 to exactly 1.
    float value(int curve, int velocity) const;

private:
    float exp_[128];
    float log_[128];
};

}  // namespace plugin
