#pragma once
// Our own tools' private requests (core/PrivateRequests.h), answered alike by every module: the
// meter read-out from the model, and the panel on the memory-only window layer, whose injected
// meter readings go to the model where the panel's next tick finds them. Each format only
// carries the request (VST 2's effVendorSpecific, CLAP's private extension).
//
// Threads: the panel's (the host's user-interface thread).

#include "editor/PanelEditor.h"
#include "model/LimiterModel.h"

#include <cstdint>

namespace qx {

class PrivateChannel {
  public:
    // `index` selects the request, `command` and `ptr` are its own; 1 when done, 0 for anything
    // unknown, malformed or impossible (no panel).
    static intptr_t answer(LimiterModel& model, PanelEditor* panel, int32_t index, intptr_t command,
                           void* ptr);
};

} // namespace qx
