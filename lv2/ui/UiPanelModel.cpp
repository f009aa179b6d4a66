#include "lv2/ui/UiPanelModel.h"

#include "core/ParamTable.h"

#include <algorithm>
#include <utility>

namespace qx::lv2 {

UiPanelModel::UiPanelModel(LV2UI_Write_Function write, LV2UI_Controller controller,
                           const LV2_URID_Map* map)
    : write_(write), controller_(controller) {
    for (int i = 0; i < kNumParams; ++i) values_[i] = kParamTable[i].defaultValue;
    haveUrids_ = urids_.map(map);
    if (haveUrids_) lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(map));
}

void UiPanelModel::receiveReport(const LV2_Atom* atom, uint32_t bytes) {
    if (!haveUrids_ || atom == nullptr || bytes < sizeof(LV2_Atom) ||
        atom->size > bytes - sizeof(LV2_Atom))
        return;
    MeterReport r;
    if (!readMeterReport(urids_, atom, r)) return;
    // A host may hand the same report over again. Within one DSP instance both numbers only
    // grow, so a lower one means a new instance, which counts again from 1 and never saw our
    // acks: waiting for it to apply them would stop the meters for good.
    if (r.sequence == newest_.sequence) return;
    if (r.sequence < newest_.sequence || r.acked < newest_.acked) taken_ = 0;
    newest_ = r;
    untaken_ = true;
}

void UiPanelModel::takeReport() {
    if (!untaken_) return;
    untaken_ = false;
    singleChannel_ = newest_.singleChannel ? 1 : 0;
    if (newest_.acked < taken_) return;
    minGain_ = std::min(minGain_, newest_.minGain);
    peakOut_ = std::max(peakOut_, newest_.peakOut);
    if (newest_.clip) clipHold_ = kClipHoldStart;
    taken_ = newest_.sequence;
    if (write_ == nullptr) return;
    uint8_t buffer[128];
    lv2_atom_forge_set_buffer(&forge_, buffer, sizeof buffer);
    if (writeMeterAck(&forge_, urids_, taken_) == 0) return;
    const auto* ack = reinterpret_cast<const LV2_Atom*>(buffer);
    write_(controller_, kPortControl, uint32_t(sizeof(LV2_Atom)) + ack->size,
           urids_.atomEventTransfer, ack);
}

float UiPanelModel::readParameter(int32_t index) {
    return index >= 0 && index < kNumParams ? values_[index] : 0.0f;
}

void UiPanelModel::storeParameter(int32_t index, float value) {
    if (index >= 0 && index < kNumParams) values_[index] = value;
}

void UiPanelModel::writeParameter(int32_t index, float value) {
    if (index < 0 || index >= kNumParams) return;
    values_[index] = value;
    if (write_ != nullptr)
        write_(controller_, kPortFirstParam + uint32_t(index), sizeof(float), 0, &value);
}

float UiPanelModel::takeMinGain() {
    takeReport();
    return std::exchange(minGain_, 1.0f);
}

float UiPanelModel::takePeakOut() {
    takeReport();
    return std::exchange(peakOut_, 0.0f);
}

int32_t UiPanelModel::clipHold() {
    takeReport();
    return clipHold_;
}

void UiPanelModel::countDownClipHold(int32_t seen) {
    if (clipHold_ == seen) clipHold_ = seen - 1;
}

int32_t UiPanelModel::singleChannel() {
    takeReport();
    return singleChannel_;
}

void UiPanelModel::storeMeters(float minGain, float peakOut, int32_t hold, int32_t single) {
    minGain_ = minGain;
    peakOut_ = peakOut;
    clipHold_ = hold;
    singleChannel_ = single;
}

} // namespace qx::lv2
