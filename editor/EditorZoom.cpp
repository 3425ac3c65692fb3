#include "editor/EditorZoom.h"

#include <cmath>
#include <cstdlib>

namespace editor {

int nearestZoomStep(double percent) {
    if (!(percent > kZoomSteps[0])) return kZoomSteps[0];
    if (percent >= kZoomSteps[kZoomStepCount - 1]) return kZoomSteps[kZoomStepCount - 1];
    int best = kZoomSteps[0];
    for (int step : kZoomSteps)
        if (std::fabs(step - percent) < std::fabs(best - percent)) best = step;
    return best;
}

std::optional<int> storedZoom(const platform::Registry& registry, const std::string& key) {
    if (const auto number = registry.readDword(key, kZoomSetting)) return nearestZoomStep(static_cast<double>(*number));
    // A value typed in by hand may be text.
    const auto text = registry.readString(key, kZoomSetting);
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    const double percent = std::strtod(text->c_str(), &end);
    if (end == text->c_str() || !std::isfinite(percent)) return std::nullopt;
    return nearestZoomStep(percent);
}

void storeZoom(platform::Registry& registry, const std::string& key, int percent) {
    registry.writeDword(key, kZoomSetting, static_cast<std::uint32_t>(nearestZoomStep(percent)));
}

}  // namespace editor
