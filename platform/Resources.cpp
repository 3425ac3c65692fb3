#include "platform/Resources.h"

#include <cstring>

#include "resources/EmbeddedResources.h"

namespace platform {

Resource findResource(const char* type, const char* name) {
    if (!type || !name) return {};
    for (std::size_t i = 0; i < resources::kEmbeddedCount; ++i) {
        const resources::Embedded& r = resources::kEmbedded[i];
        if (std::strcmp(r.type, type) == 0 && std::strcmp(r.name, name) == 0) return {r.data, r.size};
    }
    return {};
}

}  // namespace platform
