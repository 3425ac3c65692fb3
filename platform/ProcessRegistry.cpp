#include "platform/FileRegistry.h"
#include "platform/Registry.h"

namespace platform {

Registry& processRegistry() {
    static FileRegistry registry(FileRegistry::defaultPath());
    return registry;
}

}  // namespace platform
