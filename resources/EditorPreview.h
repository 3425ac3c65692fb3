// A still of the whole editor composed from the pictures and the layout
// (knobs at varied values, some lights lit, some switches on, sample field
// texts), for judging the pictures together without building the editor.
#pragma once

#include "gui/PixelBuffer.h"

namespace pictures {

gui::PixelBuffer composeEditorPreview(int scale);

}  // namespace pictures
