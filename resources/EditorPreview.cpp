#include "resources/EditorPreview.h"

#include <string>

#include "editor/EditorLayout.h"
#include "gui/Fonts.h"
#include "resources/Pictures.h"

namespace pictures {

namespace layout = editor::layout;

namespace {

// Copies frame of a film strip onto the target at box, leaving key pixels.
void drawFrame(gui::PixelBuffer& target, const gui::PixelBuffer& strip, int frameHeight, int frame,
               const layout::Box& box, int scale) {
    const std::uint32_t key = 0xFFFFFF;
    for (int y = 0; y < frameHeight * scale; ++y)
        for (int x = 0; x < strip.width(); ++x) {
            const std::uint32_t p = strip.at(x, frame * frameHeight * scale + y);
            if (p != key) target.set(box.left * scale + x, box.top * scale + y, p);
        }
}

// A text field as style 128 draws it: fill, a sunken edge, centred text.
void drawField(gui::PixelBuffer& target, const layout::Box& box, const std::string& text, int scale) {
    const int l = box.left * scale, t = box.top * scale, r = box.right * scale, b = box.bottom * scale;
    target.fill(l, t, r + 1, b + 1, 0x141518);
    target.fill(l, t, r + 1, t + scale, 0x0A0A0B);
    target.fill(l, t, l + scale, b + 1, 0x0A0A0B);
    target.fill(l, b, r + 1, b + scale, 0x4A4C52);
    target.fill(r, t, r + scale, b + 1, 0x4A4C52);
    const int height = 9 * scale, width = gui::Fonts::textWidth(text, height, 0);
    gui::Fonts::drawText(target, (l + r - width) / 2, (t + b - height) / 2 + scale / 2, text, height, 0,
                         {255, 184, 80, 0}, {l, t, r, b});
}

void drawMenuText(gui::PixelBuffer& target, const layout::Box& box, const std::string& text, int scale) {
    const int height = 9 * scale, width = gui::Fonts::textWidth(text, height, 0);
    gui::Fonts::drawText(target, (box.left + box.right) * scale / 2 - width / 2,
                         (box.top + box.bottom) * scale / 2 - height / 2, text, height, 0, gui::colors::kWhite,
                         {0, 0, target.width(), target.height()});
}

std::string noteName(int note) {
    static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return kNames[note % 12] + std::to_string(note / 12 - 2);
}

}  // namespace

gui::PixelBuffer composeEditorPreview(int scale) {
    gui::PixelBuffer editor = drawBackground(scale);
    const gui::PixelBuffer knobs = drawKnobStrip(scale);
    const gui::PixelBuffer lights = drawLevelLightStrip(scale);
    const gui::PixelBuffer keySwitch = drawKeyModeSwitch(scale);

    for (std::size_t i = 0; i < layout::kKnobCount; ++i) {
        const layout::KnobCell& knob = layout::kKnobs[i];
        // The defaults, nudged so neighbouring knobs differ.
        const float value = (i % 3 == 0) ? knob.defaultValue : static_cast<float>((i * 37) % 101) / 100.0f;
        const int frame = static_cast<int>(value * (layout::kKnobFrames - 1) + 0.5f);
        drawFrame(editor, knobs, layout::kKnobFrameHeight, frame, layout::knobBox(knob.voice, knob.row), scale);
    }
    const int kNotes[layout::kVoiceCount] = {36, 35, 38, 40, 41, 43, 39, 37, 42, 49};
    for (int v = 0; v < layout::kVoiceCount; ++v) {
        const int level = (v * 23) % layout::kLevelLightFrames;
        drawFrame(editor, lights, layout::kLightFrameHeight, v == 0 ? 63 : level, layout::levelLightBox(v), scale);
        if (layout::kKeyModeParameter[v] >= 0)
            drawFrame(editor, keySwitch, layout::kSwitchFrameHeight, v % 3 == 1 ? 1 : 0, layout::switchBox(v), scale);
        drawField(editor, layout::channelFieldBox(v), std::to_string(v == 0 ? 10 : 1), scale);
        drawField(editor, layout::noteFieldBox(v), noteName(kNotes[v]), scale);
    }
    drawField(editor, layout::openHihatNoteFieldBox(), noteName(46), scale);
    drawField(editor, layout::kProgramNameField, "Tamborik", scale);
    drawMenuText(editor, layout::kFileMenuButton, "File", scale);
    drawMenuText(editor, layout::kMidiLearnMenuButton, "Off", scale);
    return editor;
}

}  // namespace pictures
