#include "plugin/EditableLimiter.h"

#include "editor/PanelEditor.h"
#include "plugin/PluginEntry.h"

namespace qx {

EditableLimiter::EditableLimiter(HostCallback master) : LimiterEffect(master) {
    setUniqueId(fourCC("KVqr"));
    if (panel == nullptr) {
        markOutOfMemory();
        return;
    }
    panel->initialise();
}

EditableLimiter::~EditableLimiter() = default;

} // namespace qx
