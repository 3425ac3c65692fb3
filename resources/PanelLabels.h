// The texts printed on the editor's background and where they sit, worked
// out from the editor's layout tables so every label follows its control.
#pragma once

#include <string>
#include <vector>

#include "editor/EditorLayout.h"
#include "gui/Color.h"

namespace pictures {

struct Label {
    std::string text;
    editor::layout::Box box;  // the text's cell: its width by the font height
    int height;               // font height in pixels
    int style;                // gui::FontStyle bits
    gui::Color color;
};

// Knob names sit right under their knobs in this font height.
constexpr int kKnobNameHeight = 10;

// Every label of the background, in window pixels at 1x.
std::vector<Label> panelLabels();

// The rectangles of the controls that draw themselves over the background
// (knobs, fields, switches, lights and the top bar's buttons); labels keep
// clear of them. Their right and bottom edges belong to them.
std::vector<editor::layout::Box> controlBoxes();

}  // namespace pictures
