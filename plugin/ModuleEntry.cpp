// What `main` does: the one place that knows the concrete effect class.
#include "plugin/EditableLimiter.h"
#include "plugin/PluginEntry.h"

#include <new>

namespace qx {

AEffect* createEffect(HostCallback audioMaster) {
    if (audioMaster == nullptr) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    // Nothing may unwind into the host: any failure here is reported as null.
    try {
        EditableLimiter* effect = new (std::nothrow) EditableLimiter(audioMaster);
        if (effect == nullptr) return nullptr;
        if (outOfMemory()) {
            delete effect;
            return nullptr;
        }
        return effect->record();
    } catch (...) {
        return nullptr;
    }
}

} // namespace qx
