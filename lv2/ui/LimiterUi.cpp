#include "lv2/ui/LimiterUi.h"

#include "core/ParamTable.h"
#include "lv2/Features.h"
#include "lv2/MeterProtocol.h"

#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

namespace qx::lv2 {

LimiterUi* LimiterUi::create(const char* pluginUri, LV2UI_Write_Function write,
                             LV2UI_Controller controller, LV2UI_Widget* widget,
                             const LV2_Feature* const* features) {
    if (widget == nullptr || (pluginUri != nullptr && std::strcmp(pluginUri, kPluginUri) != 0))
        return nullptr;
    void* parent = const_cast<void*>(findFeature(features, LV2_UI__parent));
    if (parent == nullptr) return nullptr;
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));

    const auto* touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
    auto* ui = new (std::nothrow) LimiterUi(write, controller, map, touch);
    if (ui == nullptr) return nullptr;
    if (ui->panel_.open(parent) != 1) {
        delete ui;
        return nullptr;
    }
    *widget = reinterpret_cast<LV2UI_Widget>(
        ui->panel_.openPlatform()->nativeId(ui->panel_.panelWindow()));
    if (const auto* resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize)))
        if (resize->ui_resize != nullptr)
            resize->ui_resize(resize->handle, PanelEditor::kWidth, PanelEditor::kHeight);
    return ui;
}

LimiterUi::LimiterUi(LV2UI_Write_Function write, LV2UI_Controller controller,
                     const LV2_URID_Map* map, const LV2UI_Touch* touch)
    : model_(write, controller, map, touch), panel_(&model_) {
    PanelEditor::buildTables();
    panel_.initialise();
}

LimiterUi::~LimiterUi() { panel_.close(); }

void LimiterUi::portEvent(uint32_t port, uint32_t bytes, uint32_t format, const void* buffer) {
    if (buffer == nullptr) return;
    if (port >= kPortFirstParam && port < kPortFirstParam + kNumParams) {
        if (format != 0 || bytes < sizeof(float)) return;
        const int index = int(port - kPortFirstParam);
        float value;
        std::memcpy(&value, buffer, sizeof value);
        model_.receiveValue(index, value);
    } else if (port == kPortNotify) {
        if (format == 0 || format != model_.eventTransfer()) return;
        model_.receiveReport(static_cast<const LV2_Atom*>(buffer), bytes);
    }
}

int LimiterUi::idle() {
    panel_.idle();
    return 0;
}

} // namespace qx::lv2
