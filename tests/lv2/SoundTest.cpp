// The LV2 module's output bits against the VST 2 module's for the same settings, and its answers
// to a hostile host.
#include "core/ParamTable.h"
#include "tests/lv2/Lv2TestHost.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/presets/presets.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace qx::test {
namespace {

constexpr int kFrames = 12000;

class Sound : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.plugin(), nullptr); }

    // Renders through both modules and expects the same bits.
    void expectSame(const std::array<float, kNumParams>& params, double rate, uint32_t seed,
                    bool mono = false) {
        Stereo input = testMaterial(kFrames, seed);
        if (mono) input.r.clear();
        Lv2Instance lv2(host, rate, 256);
        ASSERT_NE(lv2.instance, nullptr);
        lv2.controls = params;
        const Stereo a = renderLv2(lv2, input, seed, 700);
        const Stereo b = renderVst(rate, params.data(), -1, input, mono);
        EXPECT_EQ(firstDifference(a, b), -1) << "rate " << rate << " seed " << seed;
        float peak = 0.0f;
        for (float v : a.l) peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.1f);  // the comparison saw sound, not two silences
    }

    static std::array<float, kNumParams> drive() {
        std::array<float, kNumParams> p;
        for (int i = 0; i < kNumParams; ++i) p[i] = kParamTable[i].defaultValue;
        p[kInput] = 0.45f, p[kPressure] = 0.9f, p[kRelease1] = 0.3f, p[kRelease2] = 0.65f;
        p[kOutput] = 0.55f;
        return p;
    }

    Lv2TestHost host;
};

// Switch combinations, rates and in-place buffers: the format conformance suite (tests/formats).

TEST_F(Sound, ChannelPathsMatchVst2) {
    auto p = drive();
    expectSame(p, 44100.0, 31, true);  // one buffer on both inputs: the mono path
    p[kAutoChannel] = 0.0f;
    for (float force : {0.0f, 0.5f, 1.0f}) {
        p[kForceChannel] = force;
        expectSame(p, 48000.0, 32);
    }
}

TEST_F(Sound, PresetsMatchVst2Programs) {
    LilvNode* presetClass = host.uri(LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(host.plugin(), presetClass);
    lilv_node_free(presetClass);
    const Stereo input = testMaterial(kFrames, 5);
    int program = 0;
    LILV_FOREACH (nodes, it, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, it);
        lilv_world_load_resource(host.world(), preset);
        LilvState* state = lilv_state_new_from_world(host.world(), host.map(), preset);
        ASSERT_NE(state, nullptr);
        Lv2Instance lv2(host, 44100.0);
        lv2.controls.fill(0.33f);  // anything: the preset sets every control
        struct Ctx { Lv2Instance* in; const LilvPlugin* p; } ctx{&lv2, host.plugin()};
        lilv_state_restore(state, nullptr,
                           [](const char* symbol, void* data, const void* value, uint32_t,
                              uint32_t) {
                               auto* c = static_cast<Ctx*>(data);
                               for (int i = 0; i < kNumParams; ++i) {
                                   const LilvPort* port = lilv_plugin_get_port_by_index(
                                       c->p, lv2::kPortFirstParam + i);
                                   if (std::strcmp(lilv_node_as_string(lilv_port_get_symbol(
                                                       c->p, port)),
                                                   symbol) == 0)
                                       c->in->controls[i] = *static_cast<const float*>(value);
                               }
                           },
                           &ctx, 0, nullptr);
        // Programs are numbered by name: "default" is 0, "empty N" is N.
        const std::string label = lilv_state_get_label(state);
        program = label == "default" ? 0 : label.back() - '0';
        lilv_state_free(state);
        const Stereo a = renderLv2(lv2, input, 9, 300);
        const Stereo b = renderVst(44100.0, nullptr, program, input);
        EXPECT_EQ(firstDifference(a, b), -1) << label;
    }
    lilv_nodes_free(presets);
}

// ---------------------------------------------------------------- hostile host

TEST_F(Sound, UnconnectedPortsAndRunsBeforeActivateAreSilent) {
    Lv2Instance lv2(host, 44100.0);
    std::vector<float> in(512, 0.8f), outL(512, 5.0f), outR(512, 5.0f);
    lilv_instance_run(lv2.instance, 512);  // nothing connected yet, not active
    lv2.run(in.data(), in.data(), outL.data(), outR.data(), 512);
    EXPECT_EQ(outL[100], 0.0f);
    lilv_instance_activate(lv2.instance);
    std::fill(outL.begin(), outL.end(), 5.0f);
    lv2.run(nullptr, in.data(), outL.data(), nullptr, 512);
    EXPECT_EQ(outL[511], 0.0f);
    for (uint32_t port = 0; port < lv2::kNumPorts; ++port) lv2.connect(port, nullptr);
    lilv_instance_run(lv2.instance, 512);
    lilv_instance_run(lv2.instance, 0);
    lilv_instance_deactivate(lv2.instance);
}

TEST_F(Sound, OddRatesActLikeVst2AndNoFeaturesAreNeeded) {
    const Stereo input = testMaterial(6000, 21);
    const auto p = drive();
    const Stereo reference = renderVst(44100.0, p.data(), -1, input);
    for (double rate : {0.0, std::numeric_limits<double>::quiet_NaN(), -48000.0, 1e300}) {
        Lv2Instance lv2(host, rate, 0, false);
        ASSERT_NE(lv2.instance, nullptr) << rate;
        lv2.controls = p;
        EXPECT_EQ(firstDifference(renderLv2(lv2, input, 4, 2000), reference), -1) << rate;
    }
}

TEST_F(Sound, RunsLongerThanTheBlockLengthAreSplit) {
    const Stereo input = testMaterial(40000, 22);
    const auto p = drive();
    Lv2Instance lv2(host, 48000.0, 64);
    lv2.controls = p;
    Stereo out{std::vector<float>(40000), std::vector<float>(40000)};
    lilv_instance_activate(lv2.instance);
    lv2.run(input.l.data(), input.r.data(), out.l.data(), out.r.data(), 40000);
    EXPECT_EQ(firstDifference(out, renderVst(48000.0, p.data(), -1, input)), -1);
}

TEST_F(Sound, NonFiniteControlsActLikeVst2) {
    const Stereo input = testMaterial(6000, 23);
    auto p = drive();
    p[kInput] = std::numeric_limits<float>::quiet_NaN();
    p[kRelease1] = std::numeric_limits<float>::infinity();
    p[kOutput] = -std::numeric_limits<float>::infinity();
    p[kForceChannel] = std::numeric_limits<float>::quiet_NaN();
    Lv2Instance lv2(host, 44100.0);
    lv2.controls = p;
    const Stereo a = renderLv2(lv2, input, 6, 900);
    EXPECT_EQ(firstDifference(a, renderVst(44100.0, p.data(), -1, input)), -1);
    for (float v : a.l) ASSERT_TRUE(std::isfinite(v));
    for (float m : lv2.meters) EXPECT_TRUE(std::isfinite(m));

    // A host's out-of-range Output leaves the meter outputs within their declared ranges.
    Lv2Instance loud(host, 44100.0);
    loud.controls = drive();
    loud.controls[kOutput] = 100.0f;
    renderLv2(loud, input, 7, 900);
    EXPECT_TRUE(loud.meters[0] >= 0.0f && loud.meters[0] <= lv2::kMaxReductionDb);
    EXPECT_TRUE(loud.meters[1] >= lv2::kPeakFloorDb && loud.meters[1] <= lv2::kPeakCeilingDb)
        << loud.meters[1];
}

} // namespace
} // namespace qx::test
