#include <mutex>

#include "editor/PluginEditor.h"
#include "native/Win32Window.h"
#include "plugin/EditorWindow.h"

namespace plugin {

DrumSynthEffect::EditorFactory platformEditor() {
    static std::once_flag once;
    std::call_once(once, [] { editor::PluginEditor::setDefaultWindowFactory(&native::createWin32Window); });
    return &editor::createPluginEditor;
}

}  // namespace plugin
