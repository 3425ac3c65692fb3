// The platform's own modal "Settings" dialog, where it has one: it edits
// the output layout, note names, velocity curve and volume lock under the
// registry key, through persist::SettingsDialogModel.
#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"

namespace native {

// Runs the dialog over owner (a native window, or null for none) until the
// user closes it: true after OK, false after Cancel or the close box.
// Nothing when the platform shows no such dialog; the caller then shows
// its own.
std::optional<bool> runSettingsDialog(void* owner, platform::Registry& registry, const std::string& key);

}  // namespace native
