// The sizes the editor can be shown at, and the user's choice among them,
// kept in the settings as "zoom" (a percentage).
#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"

namespace editor {

constexpr int kZoomSteps[] = {100, 125, 150, 175, 200, 250, 300};
constexpr int kZoomStepCount = sizeof(kZoomSteps) / sizeof(kZoomSteps[0]);
constexpr char kZoomSetting[] = "zoom";

// The step nearest to a percentage (a tie goes to the smaller); below the
// first step gives the first, above the last the last, NaN the first.
int nearestZoomStep(double percent);
inline double zoomFactor(int percent) { return percent / 100.0; }

// The stored choice, as its nearest step; none when nothing is stored or it
// is not a number.
std::optional<int> storedZoom(const platform::Registry& registry, const std::string& key);
void storeZoom(platform::Registry& registry, const std::string& key, int percent);

}  // namespace editor
