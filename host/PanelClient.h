#pragma once
// The plug-in's private requests (core/PrivateRequests.h) as our tools send them: the panel on
// the module's memory-only layer (open, tick, mouse, pixels, injected meters) and the meter
// read-out. Works on any VST 2 record, whoever loaded it, or on a session of any format; every
// call answers what the plug-in answered.

#include "core/PrivateRequests.h"
#include "host/PluginSession.h"
#include "plugin/AEffect.h"

#include <cstdint>
#include <vector>

namespace qxhost {

class PanelClient {
public:
    static constexpr int kWidth = QX_HEADLESS_WIDTH;
    static constexpr int kHeight = QX_HEADLESS_HEIGHT;

    explicit PanelClient(AEffect* effect) : effect_(effect) {}
    explicit PanelClient(PluginSession& session) : session_(&session) {}

    bool open() { return send(qxHeadlessOpen); }
    bool close() { return send(qxHeadlessClose); }
    // Delivers `count` ticks; the number delivered, or -1 when refused.
    int tick(int count = 1);
    // `event` is a QxHeadlessMouseEvent, `button` a QxHeadlessButton.
    bool mouse(int32_t event, int32_t button, int x, int y);
    // Covers and uncovers the window: the next tick redraws everything.
    bool expose() { return send(qxHeadlessExpose); }
    // The window's pixels (0x00RRGGBB, rows from the top); empty when refused.
    std::vector<uint32_t> pixels();
    // Stores the four meter fields as the audio thread would leave them.
    bool setMeters(float minGain, float peakOut, int32_t clipHold, int32_t singleChannel);
    // Opens, ticks once, reads and closes: the panel as a fresh window first shows it.
    std::vector<uint32_t> snapshot();

    // The meter fields, minGain and peakOut reset as a panel tick does. False when refused
    // (the fields then keep their idle values).
    bool readMeters(QxMeterReadout& out);

    // Any command with a request of the caller's; `request.size` is filled in.
    bool send(int32_t command, QxHeadlessRequest& request);

private:
    bool send(int32_t command) { return send(command, request_); }
    intptr_t request(int32_t index, intptr_t command, void* ptr);

    AEffect* effect_ = nullptr;
    PluginSession* session_ = nullptr;
    QxHeadlessRequest request_{};
};

} // namespace qxhost
