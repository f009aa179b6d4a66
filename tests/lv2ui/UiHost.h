#pragma once
// A small LV2 host for the UI tests: finds the bundle's plug-in and UI with lilv, embeds the UI
// in a window of ours through suil (X11 in X11, as hosts built on suil do), and runs the DSP with
// its two atom ports wired to the UI the way such a host wires them: the DSP's notify events go
// to the UI's port_event, the UI's writes to the control port reach the DSP's next run.

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>
#include <suil/suil.h>

#include <cstdint>
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
    // Loads the bundle at `bundleDir`; error() says why when ready() is false.
    explicit UiHost(const std::string& bundleDir);
    ~UiHost();
    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Instantiates the UI inside `parent` (an X window id); false when it refuses.
    bool openUi(void* parent);
    void closeUi();
    // The host's idle call: one round of the UI's events and, when due, its tick.
    void idle();
    void portEvent(uint32_t port, float value);
    void portEvent(uint32_t port, uint32_t bytes, uint32_t format, const void* data);

    // The DSP at 44.1 kHz, activated, control ports at their defaults (set in control()).
    bool openDsp();
    float* control(int param) { return &controls_[param]; }
    // One run over `frames` of `left`/`right`; the notify events go to the UI.
    void run(const float* left, const float* right, uint32_t frames);
    // Runs the UI's acknowledgements spend on the way to the DSP, as in a host whose UI and
    // audio threads exchange messages through queues.
    int ackDelayRuns = 0;

    // The UI's writes since the last take.
    std::vector<PortWrite> takeWrites();
    LV2_URID urid(const char* uri);
    LV2_URID_Map* map() { return &map_; }

private:
    static void write(SuilController, uint32_t port, uint32_t bytes, uint32_t format,
                      const void* buffer);
    static LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri);

    std::string error_;
    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    LilvUIs* uis_ = nullptr;
    const LilvUI* ui_ = nullptr;
    SuilHost* suilHost_ = nullptr;
    SuilInstance* suil_ = nullptr;
    LilvInstance* dsp_ = nullptr;
    std::vector<std::string> uris_;
    LV2_URID_Map map_{this, mapUri};
    std::vector<PortWrite> writes_;
    std::vector<std::pair<int, PortWrite>> acksForDsp_; // runs still to wait, ack
    float controls_[11] = {};
    float meters_[4] = {};
    std::vector<float> outL_, outR_;
    alignas(8) uint8_t controlIn_[1024] = {};
    alignas(8) uint8_t notifyOut_[1024] = {};
};

} // namespace qxlv2ui
