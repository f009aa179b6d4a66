#include "UiHost.h"

#include "lv2/MeterProtocol.h"

#include <lv2/atom/util.h>
#include <lv2/ui/ui.h>

#include <cstring>

namespace qxlv2ui {

using namespace qx::lv2;

float PortWrite::value() const {
    float v = 0.0f;
    if (bytes.size() == sizeof v) std::memcpy(&v, bytes.data(), sizeof v);
    return v;
}

UiHost::UiHost() {
    const LilvPlugin* plugin = lv2_.plugin();
    if (plugin == nullptr) {
        error_ = "no plug-in " + std::string(kPluginUri) + " on LV2_PATH";
        return;
    }
    // The UI the plug-in names, of a type suil can embed in an X11 window.
    LilvNode* x11 = lv2_.uri(LV2_UI__X11UI);
    uis_ = lilv_plugin_get_uis(plugin);
    LILV_FOREACH (uis, i, uis_) {
        const LilvNode* type = nullptr;
        const LilvUI* ui = lilv_uis_get(uis_, i);
        if (lilv_ui_is_supported(ui, suil_ui_supported, x11, &type) != 0 &&
            std::strcmp(lilv_node_as_uri(lilv_ui_get_uri(ui)), kUiUri) == 0)
            ui_ = ui;
    }
    lilv_node_free(x11);
    if (ui_ == nullptr) error_ = "the plug-in names no X11 UI " + std::string(kUiUri);
    suilHost_ = suil_host_new(write, nullptr, nullptr, nullptr);
}

UiHost::~UiHost() {
    closeUi();
    if (dsp_ != nullptr) lilv_instance_deactivate(dsp_->instance);
    if (suilHost_ != nullptr) suil_host_free(suilHost_);
    if (uis_ != nullptr) lilv_uis_free(uis_);
}

bool UiHost::openUi(void* parent) {
    if (ui_ == nullptr || suil_ != nullptr) return false;
    const LV2_Feature parentFeature{LV2_UI__parent, parent};
    const LV2_Feature mapFeature{LV2_URID__map, lv2_.map()};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature* features[] = {&parentFeature, &mapFeature, &idleFeature, nullptr};
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui_)), nullptr);
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui_)), nullptr);
    suil_ = suil_instance_new(suilHost_, this, LV2_UI__X11UI, kPluginUri, kUiUri, LV2_UI__X11UI,
                              bundle, binary, features);
    lilv_free(bundle);
    lilv_free(binary);
    return suil_ != nullptr;
}

void UiHost::closeUi() {
    if (suil_ != nullptr) suil_instance_free(suil_);
    suil_ = nullptr;
}

void UiHost::idle() {
    if (suil_ == nullptr) return;
    const auto* i = static_cast<const LV2UI_Idle_Interface*>(
        suil_instance_extension_data(suil_, LV2_UI__idleInterface));
    if (i != nullptr) i->idle(suil_instance_get_handle(suil_));
}

void UiHost::portEvent(uint32_t port, float value) { portEvent(port, sizeof value, 0, &value); }

void UiHost::portEvent(uint32_t port, uint32_t bytes, uint32_t format, const void* data) {
    if (suil_ != nullptr) suil_instance_port_event(suil_, port, bytes, format, data);
}

bool UiHost::openDsp() {
    dsp_ = std::make_unique<qx::test::Lv2Instance>(lv2_, 44100.0);
    if (dsp_->instance == nullptr) return false;
    dsp_->connect(kPortControl, controlIn_);
    dsp_->connect(kPortNotify, notifyOut_);
    lilv_instance_activate(dsp_->instance);
    return true;
}

void UiHost::run(const float* left, const float* right, uint32_t frames) {
    outL_.resize(frames);
    outR_.resize(frames);

    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(controlIn_);
    in->atom = {uint32_t(sizeof(LV2_Atom_Sequence_Body)), urid(LV2_ATOM__Sequence)};
    in->body = {0, 0};
    std::vector<std::pair<int, PortWrite>> later;
    for (auto& [wait, w] : acksForDsp_) {
        if (wait-- > 0) {
            later.emplace_back(wait, w);
            continue;
        }
        // At frame 0: a time stamp, then the atom as the UI wrote it.
        std::vector<uint8_t> event(sizeof(LV2_Atom_Event::time), 0);
        event.insert(event.end(), w.bytes.begin(), w.bytes.end());
        lv2_atom_sequence_append_event(in, sizeof controlIn_ - sizeof(LV2_Atom),
                                       reinterpret_cast<LV2_Atom_Event*>(event.data()));
    }
    acksForDsp_.swap(later);
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(notifyOut_);
    out->atom = {uint32_t(sizeof notifyOut_ - sizeof(LV2_Atom)), urid(LV2_ATOM__Chunk)};

    dsp_->run(left, right, outL_.data(), outR_.data(), frames);

    if (out->atom.type != urid(LV2_ATOM__Sequence)) return;
    LV2_ATOM_SEQUENCE_FOREACH (out, ev)
        portEvent(kPortNotify, uint32_t(sizeof(LV2_Atom)) + ev->body.size,
                  urid(LV2_ATOM__eventTransfer), &ev->body);
}

std::vector<PortWrite> UiHost::takeWrites() {
    std::vector<PortWrite> w;
    w.swap(writes_);
    return w;
}

void UiHost::write(SuilController c, uint32_t port, uint32_t bytes, uint32_t format,
                   const void* buffer) {
    auto* host = static_cast<UiHost*>(c);
    const auto* b = static_cast<const uint8_t*>(buffer);
    host->writes_.push_back({port, format, std::vector<uint8_t>(b, b + bytes)});
    if (port == kPortControl)
        host->acksForDsp_.emplace_back(host->ackDelayRuns, host->writes_.back());
}

} // namespace qxlv2ui
