// The module's one export: the descriptor whose entries forward to LimiterPlugin.
#include "lv2/LimiterPlugin.h"
#include "lv2/MeterProtocol.h"

#include <lv2/core/lv2.h>

namespace {

using qx::lv2::LimiterPlugin;

LimiterPlugin* self(LV2_Handle h) { return static_cast<LimiterPlugin*>(h); }

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    return LimiterPlugin::create(rate, features);
}
void connectPort(LV2_Handle h, uint32_t port, void* data) { self(h)->connect(port, data); }
void activate(LV2_Handle h) { self(h)->activate(); }
void run(LV2_Handle h, uint32_t frames) { self(h)->run(frames); }
void deactivate(LV2_Handle h) { self(h)->deactivate(); }
void cleanup(LV2_Handle h) { delete self(h); }
const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {qx::lv2::kPluginUri, instantiate, connectPort, activate,
                                    run, deactivate, cleanup, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
