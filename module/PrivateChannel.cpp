#include "module/PrivateChannel.h"

#include "core/PrivateRequests.h"

namespace qx {

intptr_t PrivateChannel::answer(LimiterModel& model, PanelEditor* panel, int32_t index,
                                intptr_t command, void* ptr) {
    if (index == QX_HEADLESS_INDEX) {
        if (panel == nullptr) return 0;
        auto* r = static_cast<QxHeadlessRequest*>(ptr);
        if (command == qxHeadlessSetMeters) {
            if (r == nullptr || r->size != int32_t(sizeof(QxHeadlessRequest))) return 0;
            model.meters().store({r->minGain, r->peakOut, r->clipHold, r->singleChannel});
            return 1;
        }
        return panel->headlessRequest(command, ptr);
    }
    if (index == QX_METER_INDEX && ptr != nullptr) {
        const MeterReading m = model.meters().take();
        auto* out = static_cast<QxMeterReadout*>(ptr);
        out->minGain = m.minGain;
        out->peakOut = m.peakOut;
        out->clipHold = m.clipHold;
        out->singleChannel = m.singleChannel;
        return 1;
    }
    return 0;
}

} // namespace qx
