#include "resources/PanelLabels.h"

#include "gui/Fonts.h"
#include "resources/Palette.h"

namespace pictures {

namespace layout = editor::layout;

namespace {

constexpr int kVoiceNameHeight = 12;
constexpr int kVoiceNameTop = 47;
constexpr int kCaptionHeight = 9;
constexpr int kCaptionGap = 2;  // between a field and the caption under it
constexpr int kTopBarCaptionTop = 29;

Label centred(const std::string& text, int centreX, int top, int height, int style, gui::Color color) {
    const int width = gui::Fonts::textWidth(text, height, style);
    const int left = centreX - width / 2;
    return {text, {left, top, left + width, top + height}, height, style, color};
}

// A caption centred under a field, clear of the field's bottom edge.
Label under(const std::string& text, const layout::Box& field) {
    return centred(text, (field.left + field.right + 1) / 2, field.bottom + kCaptionGap, kCaptionHeight, 0,
                   palette::kCaption);
}

}  // namespace

std::vector<Label> panelLabels() {
    std::vector<Label> labels;
    for (int v = 0; v < layout::kVoiceCount; ++v)
        labels.push_back(centred(layout::kVoiceNames[v], layout::columnCentre(v), kVoiceNameTop, kVoiceNameHeight,
                                 gui::kBold, palette::kInk));
    for (std::size_t i = 0; i < layout::kKnobCount; ++i) {
        const layout::KnobCell& knob = layout::kKnobs[i];
        const layout::Box box = layout::knobBox(knob.voice, knob.row);
        labels.push_back(centred(knob.name, layout::columnCentre(knob.voice), box.bottom + 1, kKnobNameHeight, 0,
                                 palette::kLabel));
    }
    constexpr int kHihat = 8;
    for (int v = 0; v < layout::kVoiceCount; ++v) {
        labels.push_back(under("MIDI Ch", layout::channelFieldBox(v)));
        labels.push_back(under(v == kHihat ? "Ch Note" : "Note", layout::noteFieldBox(v)));
        if (layout::kKeyModeParameter[v] >= 0) labels.push_back(under("Key", layout::switchBox(v)));
    }
    labels.push_back(under("Oh Note", layout::openHihatNoteFieldBox()));

    const layout::Box& name = layout::kProgramNameField;
    labels.push_back(centred("Program", (name.left + name.right) / 2, kTopBarCaptionTop, kCaptionHeight, 0,
                             palette::kCaption));
    const layout::Box& learn = layout::kMidiLearnMenuButton;
    labels.push_back(centred("MIDI Learn", (learn.left + learn.right) / 2, kTopBarCaptionTop, kCaptionHeight, 0,
                             palette::kCaption));
    return labels;
}

std::vector<layout::Box> controlBoxes() {
    std::vector<layout::Box> boxes;
    for (std::size_t i = 0; i < layout::kKnobCount; ++i)
        boxes.push_back(layout::knobBox(layout::kKnobs[i].voice, layout::kKnobs[i].row));
    for (int v = 0; v < layout::kVoiceCount; ++v) {
        boxes.push_back(layout::channelFieldBox(v));
        boxes.push_back(layout::noteFieldBox(v));
        boxes.push_back(layout::levelLightBox(v));
        if (layout::kKeyModeParameter[v] >= 0) boxes.push_back(layout::switchBox(v));
    }
    boxes.push_back(layout::openHihatNoteFieldBox());
    for (const layout::Box& b : {layout::kProgramNameField, layout::kPreviousProgramButton, layout::kNextProgramButton,
                                 layout::kProgramMenuButton, layout::kFileMenuButton, layout::kMidiLearnMenuButton})
        boxes.push_back(b);
    return boxes;
}

}  // namespace pictures
