// The editor this platform can show, with its native window.
#pragma once

#include "plugin/DrumSynthEffect.h"

namespace plugin {

// Installs the platform's window for every editor of the module (the first
// call does the work) and answers the editor factory; null where the
// platform has no editor window yet, so hosts show their own controls.
DrumSynthEffect::EditorFactory platformEditor();

}  // namespace plugin
