#pragma once
// The panel's model for every module that holds a LimiterModel (VST 2, VST 3, CLAP): the
// panel's reads, edits, pulled changes and meter takes, forwarded to the model. The format's
// reaction to an edit (automation, gesture calls, queued events) is the model's listener's.
//
// Threads: the panel's (the host's user-interface thread), as PanelModel says.

#include "editor/PanelModel.h"
#include "model/LimiterModel.h"

namespace qx {

class PanelBinding final : public PanelModel {
public:
    explicit PanelBinding(LimiterModel& model) : model_(model) {}

    float readParameter(int32_t index) override { return model_.parameter(index); }
    void beginEdit(int32_t index) override { model_.beginEdit(index); }
    void writeParameter(int32_t index, float value) override { model_.editParameter(index, value); }
    void endEdit(int32_t index) override { model_.endEdit(index); }
    uint32_t takeChanged() override;

    float takeMinGain() override { return model_.meters().takeMinGain(); }
    float takePeakOut() override { return model_.meters().takePeakOut(); }
    int32_t clipHold() override { return model_.meters().clipHold(); }
    void countDownClipHold(int32_t seen) override { model_.meters().countDownClipHold(seen); }
    int32_t singleChannel() override { return model_.meters().singleChannel(); }

private:
    LimiterModel& model_;
};

} // namespace qx
