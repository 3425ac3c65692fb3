// Data stored inside the plug-in module: the factory bank and the pictures.
// Windows keeps them as module resources; the Linux build compiles the same
// data in and finds it through this same interface.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct Resource {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// By resource type and name, e.g. ("PRESET_RESOURCE", "PRESETS"); empty when absent.
Resource findResource(const char* type, const char* name);

}  // namespace platform
