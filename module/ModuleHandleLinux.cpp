// The module's handle on Linux: its load base, found through any of its own addresses.
#include "editor/platform/Platform.h"

#include <dlfcn.h>

namespace qx {

void* moduleInstance() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&moduleInstance), &info) == 0) return nullptr;
    return info.dli_fbase;
}

} // namespace qx
