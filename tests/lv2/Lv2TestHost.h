#pragma once
// A small LV2 host on lilv for the tests: the world loaded from LV2_PATH (the build tree's
// bundle), a URID map, the options a host passes, and one instance with its port buffers. Next to
// it, the same material rendered by the VST 2 module through HostSession.

#include "dsp/ParamIndex.h"
#include "host/HostSession.h"
#include "lv2/MeterProtocol.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qx::test {

class Lv2TestHost {
public:
    // Points LV2_PATH at the build tree's bundle and loads every bundle there.
    Lv2TestHost();
    ~Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }  // null if the bundle did not load
    LV2_URID_Map* map() { return &map_; }
    LV2_URID urid(const char* uri);
    LilvNode* uri(const char* text) { return lilv_new_uri(world_, text); }

    // The host's features: urid:map, and options with bufsz:maxBlockLength unless it is 0.
    std::vector<const LV2_Feature*> features(int32_t maxBlockLength);

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);

    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    std::vector<std::string> uris_;
    LV2_URID_Map map_{};
    LV2_Feature mapFeature_{};
    LV2_Feature optionsFeature_{};
    int32_t blockLength_ = 0;
    LV2_Options_Option options_[2]{};
};

// One instance with every port connected to buffers of its own.
struct Lv2Instance {
    LilvInstance* instance = nullptr;
    std::array<float, kNumParams> controls{};
    float meters[4] = {};  // gain reduction, output peak, clip, latency

    // Null features means the host offers none. Controls start at the ports' defaults.
    Lv2Instance(Lv2TestHost& host, double rate, int32_t maxBlockLength = 0,
                bool withFeatures = true);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connect(uint32_t port, void* data) { lilv_instance_connect_port(instance, port, data); }
    void run(const float* l, const float* r, float* ol, float* orr, uint32_t n);
};

struct Stereo {
    std::vector<float> l, r;
};

// The LV2 instance activated, then the input in blocks of random lengths 1..maxBlock (seeded).
Stereo renderLv2(Lv2Instance& in, const Stereo& input, uint32_t seed, int maxBlock);

// The VST 2 module at `rate` in blocks of 512, with `params` written before switch-on (or, with
// program >= 0, that program selected). The mono case feeds input.l to both inputs.
Stereo renderVst(double rate, const float* params, int program, const Stereo& input,
                 bool mono = false);

// Stereo test material at about full scale, distinct per channel.
Stereo testMaterial(int frames, uint32_t seed = 7);

// Index of the first differing sample bits of either channel, or -1.
long firstDifference(const Stereo& a, const Stereo& b);

} // namespace qx::test
