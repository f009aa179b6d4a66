#pragma once
// The panel's model on the LV2 side, where the values live in the host and the meters arrive as
// reports on the notify port.
//
// Values: the UI's copy of the eleven control ports. The host keeps it current through
// port_event (receiveValue), which marks the value for the panel's next tick; a change made on
// the panel is stored and sent through the host's write function (float protocol), which is how
// an LV2 host records automation, bracketed by the host's ui:touch gesture where it offers one.
// There are no coefficients to recompute here: the DSP does that when it sees the port change.
//
// Meters: reports (lv2/MeterProtocol.h) are kept as they arrive, the newest one only. Every report
// covers all runs after the last acknowledgement the DSP has seen, so the newest one already holds
// every extreme not yet taken; folding an older one in as well would count runs the panel took
// before a second time. The first meter call of a panel tick takes the newest report into the
// four meter fields, which then behave exactly as the VST 2 effect's do (the model's meter
// reader: take-and-reset, a clip sets the hold count, the panel counts it down), and
// acknowledges it to the DSP.
//
// A report made before the DSP applied the last ack sent (its acked number is older) still holds
// runs a tick took: it is left, so the meters read idle that tick and no ack goes out. Its new
// runs stay pending in the DSP and come with a later report. Only its single-channel state, which
// describes its own run, is shown. Without a URID map the reports cannot be read and the meters
// stay idle.
//
// Threads: the host's UI thread only (port_event, idle and the panel's calls all come from
// there), so nothing is atomic.

#include "dsp/ParamIndex.h"
#include "editor/PanelModel.h"
#include "lv2/MeterMessages.h"
#include "model/MeterReader.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>

namespace qx::lv2 {

class UiPanelModel final : public PanelModel {
public:
    // `write` and `controller` as the host passed them to instantiate (`write` may be null: then
    // nothing is sent). `map` and `touch` may be null.
    UiPanelModel(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_URID_Map* map,
                 const LV2UI_Touch* touch = nullptr);

    // The host's port_event for a parameter port: stored and marked for the panel.
    void receiveValue(int32_t index, float value);

    // The host's port_event for the notify port. Anything but a well-formed report is ignored;
    // `bytes` bounds what is read of `atom`.
    void receiveReport(const LV2_Atom* atom, uint32_t bytes);
    // The URID of atom:eventTransfer, 0 without a map.
    LV2_URID eventTransfer() const { return urids_.atomEventTransfer; }
    // Sequence number of the last report taken (0: none yet).
    int64_t takenSequence() const { return taken_; }

    float readParameter(int32_t index) override;
    void beginEdit(int32_t index) override;
    void writeParameter(int32_t index, float value) override;
    void endEdit(int32_t index) override;
    uint32_t takeChanged() override;

    float takeMinGain() override;
    float takePeakOut() override;
    int32_t clipHold() override;
    void countDownClipHold(int32_t seen) override;
    int32_t singleChannel() override;

private:
    // Folds a report that arrived since the last take into the meter fields and acknowledges it,
    // unless it is stale.
    void takeReport();

    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Touch* touch_;
    MeterUrids urids_;
    LV2_Atom_Forge forge_{};
    bool haveUrids_ = false;

    float values_[kNumParams] = {};
    uint32_t changed_ = 0;

    MeterReport newest_;        // the newest report received
    bool untaken_ = false;      // newest_ arrived after the last take
    int64_t taken_ = 0;         // also the last ack sent

    MeterShared meters_;
    MeterReader reader_{meters_};
};

} // namespace qx::lv2
