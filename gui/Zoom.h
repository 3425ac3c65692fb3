// A window drawn at a zoom: views keep their coordinates at 100 % and the
// drawing maps them to the window's pixels.
#pragma once

#include <cmath>

#include "gui/Geometry.h"

namespace gui {

// The window pixel where the view coordinate v begins at zoom.
inline int zoomed(int v, double zoom) {
    return zoom == 1.0 ? v : static_cast<int>(std::floor(v * zoom + 0.5));
}

// The view coordinate a window pixel lies in.
inline int unzoomed(int v, double zoom) {
    return zoom == 1.0 ? v : static_cast<int>(std::floor(v / zoom));
}

inline Rect zoomed(const Rect& r, double zoom) {
    return {zoomed(r.left, zoom), zoomed(r.top, zoom), zoomed(r.right, zoom), zoomed(r.bottom, zoom)};
}

inline Point unzoomed(Point p, double zoom) {
    return {unzoomed(p.x, zoom), unzoomed(p.y, zoom)};
}

}  // namespace gui
