// Linux has no native settings dialog: the editor draws its own panel.
#include "platform/SettingsDialog.h"

namespace platform {

std::optional<bool> runSettingsDialog(void*, Registry&, const std::string&) {
    return std::nullopt;
}

}  // namespace platform
