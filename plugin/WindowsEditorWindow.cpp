// The Windows modules have no editor window yet: without an editor, hosts
// show the parameters with their own controls.
#include "plugin/EditorWindow.h"

namespace plugin {

DrumSynthEffect::EditorFactory platformEditor() {
    return nullptr;
}

}  // namespace plugin
