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

UiHost::UiHost(const std::string& bundleDir) {
    world_ = lilv_world_new();
    std::string dir = bundleDir;
    if (dir.empty() || dir.back() != '/') dir += '/';
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, dir.c_str());
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world_, kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
    if (plugin_ == nullptr) {
        error_ = "no plug-in " + std::string(kPluginUri) + " in " + dir;
        return;
    }
    // The UI the plug-in names, of a type suil can embed in an X11 window.
    LilvNode* x11 = lilv_new_uri(world_, LV2_UI__X11UI);
    uis_ = lilv_plugin_get_uis(plugin_);
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
    if (dsp_ != nullptr) {
        lilv_instance_deactivate(dsp_);
        lilv_instance_free(dsp_);
    }
    if (suilHost_ != nullptr) suil_host_free(suilHost_);
    if (uis_ != nullptr) lilv_uis_free(uis_);
    lilv_world_free(world_);
}

bool UiHost::openUi(void* parent) {
    if (ui_ == nullptr || suil_ != nullptr) return false;
    const LV2_Feature parentFeature{LV2_UI__parent, parent};
    const LV2_Feature mapFeature{LV2_URID__map, &map_};
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
    const LV2_Feature mapFeature{LV2_URID__map, &map_};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    dsp_ = lilv_plugin_instantiate(plugin_, 44100.0, features);
    if (dsp_ == nullptr) return false;
    for (int i = 0; i < 11; ++i) {
        LilvNode* def = nullptr;
        lilv_port_get_range(plugin_, lilv_plugin_get_port_by_index(plugin_, kPortFirstParam + i),
                            &def, nullptr, nullptr);
        controls_[i] = def != nullptr ? lilv_node_as_float(def) : 0.0f;
        lilv_node_free(def);
        lilv_instance_connect_port(dsp_, kPortFirstParam + i, &controls_[i]);
    }
    for (uint32_t m = 0; m < 4; ++m) lilv_instance_connect_port(dsp_, kPortGainReduction + m, &meters_[m]);
    lilv_instance_connect_port(dsp_, kPortControl, controlIn_);
    lilv_instance_connect_port(dsp_, kPortNotify, notifyOut_);
    lilv_instance_activate(dsp_);
    return true;
}

void UiHost::run(const float* left, const float* right, uint32_t frames) {
    outL_.resize(frames);
    outR_.resize(frames);
    lilv_instance_connect_port(dsp_, kPortInLeft, const_cast<float*>(left));
    lilv_instance_connect_port(dsp_, kPortInRight, const_cast<float*>(right));
    lilv_instance_connect_port(dsp_, kPortOutLeft, outL_.data());
    lilv_instance_connect_port(dsp_, kPortOutRight, outR_.data());

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

    lilv_instance_run(dsp_, frames);

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

LV2_URID UiHost::urid(const char* uri) { return mapUri(this, uri); }

void UiHost::write(SuilController c, uint32_t port, uint32_t bytes, uint32_t format,
                   const void* buffer) {
    auto* host = static_cast<UiHost*>(c);
    const auto* b = static_cast<const uint8_t*>(buffer);
    host->writes_.push_back({port, format, std::vector<uint8_t>(b, b + bytes)});
    if (port == kPortControl) host->acksForDsp_.emplace_back(host->ackDelayRuns, host->writes_.back());
}

LV2_URID UiHost::mapUri(LV2_URID_Map_Handle h, const char* uri) {
    auto& uris = static_cast<UiHost*>(h)->uris_;
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return LV2_URID(i + 1);
    uris.push_back(uri);
    return LV2_URID(uris.size());
}

} // namespace qxlv2ui
