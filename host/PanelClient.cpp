#include "host/PanelClient.h"

namespace qxhost {

intptr_t PanelClient::request(int32_t index, intptr_t command, void* ptr) {
    if (session_ != nullptr) return session_->privateRequest(index, command, ptr);
    if (effect_ == nullptr) return 0;
    return effect_->dispatcher(effect_, qx::effVendorSpecific, index, command, ptr, 0.0f);
}

bool PanelClient::send(int32_t command, QxHeadlessRequest& request) {
    request.size = sizeof request;
    return this->request(QX_HEADLESS_INDEX, command, &request) == 1;
}

int PanelClient::tick(int count) {
    request_.count = count;
    return send(qxHeadlessTick) ? request_.count : -1;
}

bool PanelClient::mouse(int32_t event, int32_t button, int x, int y) {
    request_.event = event;
    request_.button = button;
    request_.x = x;
    request_.y = y;
    return send(qxHeadlessMouse);
}

std::vector<uint32_t> PanelClient::pixels() {
    std::vector<uint32_t> px(size_t(kWidth) * kHeight);
    request_.pixels = px.data();
    const bool read = send(qxHeadlessReadPixels);
    request_.pixels = nullptr;
    if (!read) px.clear();
    return px;
}

bool PanelClient::setMeters(float minGain, float peakOut, int32_t clipHold,
                            int32_t singleChannel) {
    request_.minGain = minGain;
    request_.peakOut = peakOut;
    request_.clipHold = clipHold;
    request_.singleChannel = singleChannel;
    return send(qxHeadlessSetMeters);
}

std::vector<uint32_t> PanelClient::snapshot() {
    if (!open()) return {};
    std::vector<uint32_t> px = tick(1) == 1 ? pixels() : std::vector<uint32_t>();
    close();
    return px;
}

bool PanelClient::readMeters(QxMeterReadout& out) {
    out = {1.0f, 0.0f, 0, 0};
    return request(QX_METER_INDEX, 0, &out) == 1;
}

} // namespace qxhost
