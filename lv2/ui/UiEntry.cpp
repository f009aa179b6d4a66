// The UI module's one export: the descriptor whose entries forward to LimiterUi.
#include "lv2/MeterProtocol.h"
#include "lv2/ui/LimiterUi.h"

#include <lv2/ui/ui.h>

#include <cstring>

namespace {

using qx::lv2::LimiterUi;

LimiterUi* self(LV2UI_Handle h) { return static_cast<LimiterUi*>(h); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    return LimiterUi::create(pluginUri, write, controller, widget, features);
}

void cleanup(LV2UI_Handle h) { delete self(h); }

void portEvent(LV2UI_Handle h, uint32_t port, uint32_t bytes, uint32_t format,
               const void* buffer) {
    self(h)->portEvent(port, bytes, format, buffer);
}

int idle(LV2UI_Handle h) { return self(h)->idle(); }

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {qx::lv2::kUiUri, instantiate, cleanup, portEvent,
                                      extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
