// Tamborik's five editor pictures, each drawn by its own function at a
// scale (1 for the shipped set, 2 for a set twice the size, 1.25 for the
// editor at 125 %). Each picture is its size in picture units times the
// scale, rounded; a strip's frame f starts at pixel row
// gui::zoomed(f * frame height, scale), where the editor looks for it.
#pragma once

#include "gui/PixelBuffer.h"

namespace pictures {

gui::PixelBuffer drawAboutPicture(double scale);     // 100: 220 x 165
gui::PixelBuffer drawBackground(double scale);       // 101: 623 x 540
gui::PixelBuffer drawKnobStrip(double scale);        // 102: 44 x 4191, 127 frames of 33
gui::PixelBuffer drawLevelLightStrip(double scale);  // 103: 28 x 1344, 64 frames of 21
gui::PixelBuffer drawKeyModeSwitch(double scale);    // 104: 40 x 60, off above, on below

// The knob pointer's direction in a frame, in degrees counter-clockwise
// from the right: 225 (lower left) at frame 0 to -45 (lower right) at 126.
double knobPointerAngle(int frame);

}  // namespace pictures
