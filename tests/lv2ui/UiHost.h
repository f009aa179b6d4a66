#pragma once
// The LV2 test host (tests/lv2/Lv2TestHost.h) with a UI: finds the bundle's UI with lilv, embeds
// it in a window of ours through suil (X11 in X11, as hosts built on suil do), and wires the
// DSP's two atom ports to it the way such a host does: the DSP's notify events go to the UI's
// port_event, the UI's writes to the control port reach one of the DSP's next runs.

#include "tests/lv2/Lv2TestHost.h"

#include <suil/suil.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qxlv2ui {

struct PortWrite {
    uint32_t port;
    uint32_t format; // 0 for a float, else the atom protocol's URID
    std::vector<uint8_t> bytes;
    float value() const;
};

class UiHost {
public:
    UiHost();
    ~UiHost();
    // Empty when the bundle names an X11 UI that suil can embed; else why not.
    const std::string& error() const { return error_; }

    // Instantiates the UI inside `parent` (an X window id); false when it refuses.
    bool openUi(void* parent);
    void closeUi();
    // The host's idle call: one round of the UI's events and, when due, its tick.
    void idle();
    void portEvent(uint32_t port, float value);
    void portEvent(uint32_t port, uint32_t bytes, uint32_t format, const void* data);

    // The DSP at 44.1 kHz, activated, control ports at their defaults.
    bool openDsp();
    float* control(int param) { return &dsp_->controls[param]; }
    // One run over `frames` of `left`/`right`; the notify events go to the UI.
    void run(const float* left, const float* right, uint32_t frames);
    // Runs the UI's acknowledgements spend on the way to the DSP, as in a host whose UI and
    // audio threads exchange messages through queues.
    int ackDelayRuns = 0;

    // The UI's writes since the last take.
    std::vector<PortWrite> takeWrites();
    LV2_URID urid(const char* uri) { return lv2_.urid(uri); }
    LV2_URID_Map* map() { return lv2_.map(); }

private:
    static void write(SuilController, uint32_t port, uint32_t bytes, uint32_t format,
                      const void* buffer);

    qx::test::Lv2TestHost lv2_;
    std::string error_;
    LilvUIs* uis_ = nullptr;
    const LilvUI* ui_ = nullptr;
    SuilHost* suilHost_ = nullptr;
    SuilInstance* suil_ = nullptr;
    std::unique_ptr<qx::test::Lv2Instance> dsp_;
    std::vector<PortWrite> writes_;
    std::vector<std::pair<int, PortWrite>> acksForDsp_; // runs still to wait, ack
    std::vector<float> outL_, outR_;
    alignas(8) uint8_t controlIn_[1024] = {};
    alignas(8) uint8_t notifyOut_[1024] = {};
};

} // namespace qxlv2ui
