// Linux has no native settings dialog: the editor draws its own panel.
#include "native/SettingsDialog.h"

namespace native {

std::optional<bool> runSettingsDialog(void*, platform::Registry&, const std::string&) {
    return std::nullopt;
}

}  // namespace native
