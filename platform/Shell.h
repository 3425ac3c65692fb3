// Opens a link (a web page) with the desktop's own "open" action.
#pragma once

#include <string>

namespace platform {

bool openLink(const std::string& target);

}  // namespace platform
