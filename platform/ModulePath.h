// The full file name of the loaded plug-in module.
#pragma once

#include <string>

namespace platform {

std::string modulePath();

}  // namespace platform
