#include "platform/Registry.h"
#include "platform/WindowsRegistry.h"

namespace platform {

Registry& processRegistry() {
    static WindowsRegistry registry;
    return registry;
}

}  // namespace platform
