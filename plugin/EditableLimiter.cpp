#include "plugin/EditableLimiter.h"

#include "core/ParamTable.h"
#include "editor/PanelEditor.h"
#include "plugin/PluginEntry.h"

namespace qx {

EditableLimiter::EditableLimiter(HostCallback master) : LimiterEffect(master) {
    setUniqueId(fourCC("KVqr"));
    if (panel == nullptr) {
        markOutOfMemory();
        return;
    }
    // The panel's defaults become the current values (the stored programs keep theirs), the
    // meters start idle, and the panel starts from its initial state.
    LimiterModel& m = limiterModel();
    for (int32_t i = 0; i < kNumParams; ++i) m.storeCurrentValue(i, kParamTable[i].defaultValue);
    m.meters().store(MeterReading{});
    panel->initialise();
}

EditableLimiter::~EditableLimiter() = default;

} // namespace qx
