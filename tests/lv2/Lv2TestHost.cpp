#include "tests/lv2/Lv2TestHost.h"

#include "plugin/AEffect.h"
#include "tests/dsp/TestSupport.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include <cstdlib>
#include <cstring>

namespace qx::test {

Lv2TestHost::Lv2TestHost() {
    setenv("LV2_PATH", QX_LV2_PATH, 1);
    map_.handle = this;
    map_.map = &Lv2TestHost::mapUri;
    world_ = lilv_world_new();
    lilv_world_load_all(world_);
    LilvNode* id = lilv_new_uri(world_, lv2::kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), id);
    lilv_node_free(id);
}

Lv2TestHost::~Lv2TestHost() { lilv_world_free(world_); }

LV2_URID Lv2TestHost::mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<Lv2TestHost*>(handle);
    for (size_t i = 0; i < self->uris_.size(); ++i)
        if (self->uris_[i] == uri) return static_cast<LV2_URID>(i + 1);
    self->uris_.emplace_back(uri);
    return static_cast<LV2_URID>(self->uris_.size());
}

LV2_URID Lv2TestHost::urid(const char* uri) { return mapUri(this, uri); }

std::vector<const LV2_Feature*> Lv2TestHost::features(int32_t maxBlockLength) {
    mapFeature_ = {LV2_URID__map, &map_};
    std::vector<const LV2_Feature*> f{&mapFeature_};
    if (maxBlockLength > 0) {
        blockLength_ = maxBlockLength;
        options_[0] = {LV2_OPTIONS_INSTANCE, 0, urid(LV2_BUF_SIZE__maxBlockLength),
                       sizeof(int32_t), urid(LV2_ATOM__Int), &blockLength_};
        options_[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
        optionsFeature_ = {LV2_OPTIONS__options, options_};
        f.push_back(&optionsFeature_);
    }
    f.push_back(nullptr);
    return f;
}

Lv2Instance::Lv2Instance(Lv2TestHost& host, double rate, int32_t maxBlockLength,
                         bool withFeatures) {
    const std::vector<const LV2_Feature*> f = host.features(maxBlockLength);
    instance = lilv_plugin_instantiate(host.plugin(), rate, withFeatures ? f.data() : nullptr);
    if (instance == nullptr) return;
    float defaults[lv2::kNumPorts];
    lilv_plugin_get_port_ranges_float(host.plugin(), nullptr, nullptr, defaults);
    for (int i = 0; i < kNumParams; ++i) {
        controls[i] = defaults[lv2::kPortFirstParam + i];
        connect(lv2::kPortFirstParam + i, &controls[i]);
    }
    for (uint32_t k = 0; k < 4; ++k) connect(lv2::kPortGainReduction + k, &meters[k]);
}

Lv2Instance::~Lv2Instance() {
    if (instance != nullptr) lilv_instance_free(instance);
}

void Lv2Instance::run(const float* l, const float* r, float* ol, float* orr, uint32_t n) {
    connect(lv2::kPortInLeft, const_cast<float*>(l));
    connect(lv2::kPortInRight, const_cast<float*>(r));
    connect(lv2::kPortOutLeft, ol);
    connect(lv2::kPortOutRight, orr);
    lilv_instance_run(instance, n);
}

Stereo renderLv2(Lv2Instance& in, const Stereo& input, uint32_t seed, int maxBlock) {
    Stereo out{std::vector<float>(input.l.size()), std::vector<float>(input.r.size())};
    const bool mono = input.r.empty();
    if (mono) out.r.resize(input.l.size());
    lilv_instance_activate(in.instance);
    Noise rng(seed);
    for (size_t at = 0; at < input.l.size();) {
        const size_t n = std::min<size_t>(1 + static_cast<size_t>(rng.below(maxBlock)),
                                          input.l.size() - at);
        const float* r = mono ? input.l.data() + at : input.r.data() + at;
        in.run(input.l.data() + at, r, out.l.data() + at, out.r.data() + at,
               static_cast<uint32_t>(n));
        at += n;
    }
    lilv_instance_deactivate(in.instance);
    return out;
}

Stereo renderVst(double rate, const float* params, int program, const Stereo& input, bool mono) {
    qxhost::HostSession host;
    Stereo out;
    if (!host.load(QX_MODULE_PATH)) return out;
    AEffect* e = host.create();
    if (e == nullptr) return out;
    if (program >= 0) host.dispatch(effSetProgram, 0, program);
    else
        for (int i = 0; i < kNumParams; ++i) e->setParameter(e, i, params[i]);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    host.dispatch(effSetBlockSize, 0, 512);
    host.dispatch(effMainsChanged, 0, 1);
    const size_t frames = input.l.size();
    out.l.resize(frames);
    out.r.resize(frames);
    for (size_t at = 0; at < frames; at += 512) {
        const int32_t n = static_cast<int32_t>(std::min<size_t>(512, frames - at));
        float* in[2] = {const_cast<float*>(input.l.data() + at),
                        const_cast<float*>((mono ? input.l : input.r).data() + at)};
        float* o[2] = {out.l.data() + at, out.r.data() + at};
        e->processReplacing(e, in, o, n);
    }
    host.dispatch(effMainsChanged, 0, 0);
    return out;
}

Stereo testMaterial(int frames, uint32_t seed) {
    return {material(seed, frames), material(seed + 100, frames)};
}

long firstDifference(const Stereo& a, const Stereo& b) {
    if (a.l.size() != b.l.size() || a.r.size() != b.r.size()) return 0;
    for (size_t i = 0; i < a.l.size(); ++i)
        if (std::memcmp(&a.l[i], &b.l[i], 4) != 0 || std::memcmp(&a.r[i], &b.r[i], 4) != 0)
            return static_cast<long>(i);
    return -1;
}

} // namespace qx::test
