// The files compiled into the module (generated at build time from the
// files in this folder).
#pragma once

#include <cstddef>
#include <cstdint>

namespace resources {

struct Embedded {
    const char* type;
    const char* name;
    const std::uint8_t* data;
    std::size_t size;
};

extern const Embedded kEmbedded[];
extern const std::size_t kEmbeddedCount;

}  // namespace resources
