#include "plugin/PitchTables.h"

#include "dsp/PortableMath.h"

namespace plugin {

void PitchTables::build() {
    for (int i = 0; i < kEntries; ++i) {
        const double ratio = dsp::portable::exp2(i / 1200.0);
        low_[i] = static_cast<float>(4.0875 * ratio);
        snare_[i] = low_[i];
        claves_[i] = static_cast<float>(16.35 * ratio);
    }
}

}  // namespace plugin
