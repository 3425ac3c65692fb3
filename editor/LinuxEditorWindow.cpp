#include <mutex>

#include "editor/PluginEditor.h"
#include "native/X11Window.h"
#include "plugin/EditorWindow.h"

namespace plugin {

DrumSynthEffect::EditorFactory platformEditor() {
    static std::once_flag once;
    std::call_once(once, [] { editor::PluginEditor::setDefaultWindowFactory(&native::createX11Window); });
    return &editor::createPluginEditor;
}

}  // namespace plugin
