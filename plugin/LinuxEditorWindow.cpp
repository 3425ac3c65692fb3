#include <mutex>

#include "editor/PluginEditor.h"
#include "platform/X11Window.h"
#include "plugin/EditorWindow.h"

namespace plugin {

DrumSynthEffect::EditorFactory platformEditor() {
    static std::once_flag once;
    std::call_once(once, [] { editor::PluginEditor::setDefaultWindowFactory(&platform::createX11Window); });
    return &editor::createPluginEditor;
}

}  // namespace plugin
