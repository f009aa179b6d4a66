#include "lv2/ui/UiPanelModel.h"

#include "core/ParamTable.h"

#include <algorithm>
#include <utility>

namespace qx::lv2 {

UiPanelModel::UiPanelModel(LV2UI_Write_Function write, LV2UI_Controller controller,
                           const LV2_URID_Map* map, const LV2UI_Touch* touch)
    : write_(write), controller_(controller), touch_(touch) {
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
    MeterReading m{reader_.takeMinGain(), reader_.takePeakOut(), reader_.clipHold(),
                   newest_.singleChannel ? 1 : 0};
    if (newest_.acked >= taken_) {
        m.minGain = std::min(m.minGain, newest_.minGain);
        m.peakOut = std::max(m.peakOut, newest_.peakOut);
        if (newest_.clip) m.clipHold = kClipHoldTicks;
    }
    reader_.store(m);
    if (newest_.acked < taken_) return;
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

void UiPanelModel::receiveValue(int32_t index, float value) {
    if (index < 0 || index >= kNumParams) return;
    values_[index] = value;
    changed_ |= 1u << index;
}

uint32_t UiPanelModel::takeChanged() { return std::exchange(changed_, 0u); }

void UiPanelModel::beginEdit(int32_t index) {
    if (touch_ != nullptr && touch_->touch != nullptr && index >= 0 && index < kNumParams)
        touch_->touch(touch_->handle, kPortFirstParam + uint32_t(index), true);
}

void UiPanelModel::endEdit(int32_t index) {
    if (touch_ != nullptr && touch_->touch != nullptr && index >= 0 && index < kNumParams)
        touch_->touch(touch_->handle, kPortFirstParam + uint32_t(index), false);
}

void UiPanelModel::writeParameter(int32_t index, float value) {
    if (index < 0 || index >= kNumParams) return;
    values_[index] = value;
    if (write_ != nullptr)
        write_(controller_, kPortFirstParam + uint32_t(index), sizeof(float), 0, &value);
}

float UiPanelModel::takeMinGain() {
    takeReport();
    return reader_.takeMinGain();
}

float UiPanelModel::takePeakOut() {
    takeReport();
    return reader_.takePeakOut();
}

int32_t UiPanelModel::clipHold() {
    takeReport();
    return reader_.clipHold();
}

void UiPanelModel::countDownClipHold(int32_t seen) { reader_.countDownClipHold(seen); }

int32_t UiPanelModel::singleChannel() {
    takeReport();
    return reader_.singleChannel();
}

} // namespace qx::lv2
