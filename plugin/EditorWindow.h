// Gives every editor of the module the platform's native window.
#pragma once

namespace plugin {

// Safe to call for every instance; the first call does the work.
void installEditorWindow();

}  // namespace plugin
