#include "editor/VstSynthLink.h"

#include "editor/PluginEditor.h"

namespace editor {

PluginEditor::PluginEditor(plugin::DrumSynthEffect& effect) : PluginEditor(std::make_unique<VstSynthLink>(effect)) {}

vst::AEffEditor* createPluginEditor(plugin::DrumSynthEffect& effect) {
    auto* editor = new PluginEditor(effect);
    editor->setNoteNames(effect.noteNames());
    return editor;
}

}  // namespace editor
