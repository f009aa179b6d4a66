#pragma once
// The panel as an LV2 UI: the VST 2 module's panel, unchanged, in front of a UiPanelModel, shown
// in the host's window and driven by the host's idle calls.
//
// Threads: every call, creation and destruction included, comes from the host's UI thread.

#include "editor/PanelEditor.h"
#include "lv2/ui/UiPanelModel.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>

namespace qx::lv2 {

class LimiterUi {
public:
    // Opens the panel in the host's ui:parent window and stores the panel's X window through
    // `widget`. Null (with nothing left open) without a parent, when `pluginUri` names another
    // plug-in, or when the window cannot be made. urid:map is optional (without it the meters
    // stay idle); ui:resize, when offered, is told the fixed size.
    static LimiterUi* create(const char* pluginUri, LV2UI_Write_Function write,
                             LV2UI_Controller controller, LV2UI_Widget* widget,
                             const LV2_Feature* const* features);
    // Closes the panel.
    ~LimiterUi();
    LimiterUi(const LimiterUi&) = delete;
    LimiterUi& operator=(const LimiterUi&) = delete;

    // The host's port_event: a control port's value (float protocol) is shown on the next tick;
    // a report on the notify port (atom:eventTransfer) waits for the panel to take it. Anything
    // else, or a buffer too small for what it claims to hold, is ignored.
    void portEvent(uint32_t port, uint32_t bytes, uint32_t format, const void* buffer);
    // One round of the panel's X events and, when due, its 30 ms tick. Always 0: the panel has
    // no way of closing itself.
    int idle();

    // For tests.
    UiPanelModel& model() { return model_; }
    PanelEditor& panel() { return panel_; }

private:
    LimiterUi(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_URID_Map* map,
              const LV2UI_Touch* touch);

    UiPanelModel model_;
    PanelEditor panel_;
};

} // namespace qx::lv2
