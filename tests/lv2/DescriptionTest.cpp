// The bundle as a host reads it: plug-in, ports and presets against the parameter and program
// tables.
#include "core/ParamTable.h"
#include "tests/lv2/Lv2TestHost.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/presets/presets.h>

#include <cstring>
#include <map>
#include <string>

namespace qx::test {
namespace {

constexpr const char* kSymbols[kNumParams] = {"input",       "pressure",    "release1",
                                              "release2",    "output",      "limit",
                                              "low_punch",   "stereo_link", "link_quality",
                                              "auto_channel", "force_channel"};

std::string str(const LilvNode* n) { return n != nullptr ? lilv_node_as_string(n) : ""; }

class Description : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.plugin(), nullptr) << "bundle not found on LV2_PATH"; }
    bool is(const LilvPort* port, const char* classUri) {
        LilvNode* c = host.uri(classUri);
        const bool yes = lilv_port_is_a(host.plugin(), port, c);
        lilv_node_free(c);
        return yes;
    }
    bool has(const LilvPort* port, const char* propertyUri) {
        LilvNode* p = host.uri(propertyUri);
        const bool yes = lilv_port_has_property(host.plugin(), port, p);
        lilv_node_free(p);
        return yes;
    }
    Lv2TestHost host;
};

TEST_F(Description, PluginIdentity) {
    const LilvPlugin* p = host.plugin();
    LilvNode* name = lilv_plugin_get_name(p);
    LilvNode* author = lilv_plugin_get_author_name(p);
    EXPECT_EQ(str(name), "Orv4417-QX");
    EXPECT_EQ(str(author), "Qem v1.0");
    lilv_node_free(name);
    lilv_node_free(author);
    // The class as written; lilv names it only when lv2core's own bundle is on the path.
    LilvNode* type = host.uri("http://www.w3.org/1999/02/22-rdf-syntax-ns#type");
    LilvNodes* types = lilv_plugin_get_value(p, type);
    LilvNode* limiter = host.uri(LV2_CORE__LimiterPlugin);
    EXPECT_TRUE(lilv_nodes_contains(types, limiter));
    lilv_node_free(limiter);
    lilv_nodes_free(types);
    lilv_node_free(type);
    EXPECT_EQ(lilv_plugin_get_num_ports(p), lv2::kNumPorts);
    // Simple hosts refuse a plug-in that requires anything.
    LilvNodes* required = lilv_plugin_get_required_features(p);
    EXPECT_EQ(lilv_nodes_size(required), 0u);
    lilv_nodes_free(required);
    EXPECT_TRUE(lilv_plugin_has_latency(p));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(p), lv2::kPortLatency);
}

TEST_F(Description, PortsFollowTheParameterTable) {
    const LilvPlugin* p = host.plugin();
    const char* audio[4] = {"in_left", "in_right", "out_left", "out_right"};
    for (uint32_t i = 0; i < 4; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(p, i);
        EXPECT_TRUE(is(port, LV2_CORE__AudioPort));
        EXPECT_TRUE(is(port, i < 2 ? LV2_CORE__InputPort : LV2_CORE__OutputPort));
        EXPECT_EQ(str(lilv_port_get_symbol(p, port)), audio[i]);
    }
    float mins[lv2::kNumPorts], maxs[lv2::kNumPorts], defs[lv2::kNumPorts];
    lilv_plugin_get_port_ranges_float(p, mins, maxs, defs);
    for (int i = 0; i < kNumParams; ++i) {
        const ParamInfo& info = kParamTable[i];
        const uint32_t index = lv2::kPortFirstParam + i;
        const LilvPort* port = lilv_plugin_get_port_by_index(p, index);
        SCOPED_TRACE(info.name);
        EXPECT_TRUE(is(port, LV2_CORE__ControlPort) && is(port, LV2_CORE__InputPort));
        EXPECT_EQ(str(lilv_port_get_symbol(p, port)), kSymbols[i]);
        LilvNode* name = lilv_port_get_name(p, port);
        EXPECT_EQ(str(name), info.name);
        lilv_node_free(name);
        EXPECT_EQ(mins[index], 0.0f);
        EXPECT_EQ(maxs[index], 1.0f);
        EXPECT_EQ(std::memcmp(&defs[index], &info.defaultValue, 4), 0) << defs[index];

        // Switches show their words at the values that select them.
        std::map<float, std::string> points;
        LilvScalePoints* sp = lilv_port_get_scale_points(p, port);
        LILV_FOREACH (scale_points, it, sp) {
            const LilvScalePoint* pt = lilv_scale_points_get(sp, it);
            points[lilv_node_as_float(lilv_scale_point_get_value(pt))] =
                str(lilv_scale_point_get_label(pt));
        }
        lilv_scale_points_free(sp);
        const int states = info.kind == ParamKind::TwoState     ? 2
                           : info.kind == ParamKind::ThreeState ? 3
                                                                : 0;
        ASSERT_EQ(points.size(), static_cast<size_t>(states));
        for (int s = 0; s < states; ++s)
            EXPECT_EQ(points[static_cast<float>(s) / (states - 1)], info.states[s]);
        if (states > 0)
            EXPECT_TRUE(has(port, LV2_CORE__toggled) || has(port, LV2_CORE__enumeration));
    }
    for (uint32_t index : {lv2::kPortGainReduction, lv2::kPortOutputPeak, lv2::kPortClip,
                           lv2::kPortLatency}) {
        const LilvPort* port = lilv_plugin_get_port_by_index(p, index);
        EXPECT_TRUE(is(port, LV2_CORE__ControlPort) && is(port, LV2_CORE__OutputPort)) << index;
    }
    for (uint32_t index : {lv2::kPortControl, lv2::kPortNotify}) {
        const LilvPort* port = lilv_plugin_get_port_by_index(p, index);
        EXPECT_TRUE(has(port, LV2_CORE__connectionOptional)) << index;
    }
}

TEST_F(Description, PresetsAreTheTenPrograms) {
    LilvNode* presetClass = host.uri(LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(host.plugin(), presetClass);
    lilv_node_free(presetClass);
    ASSERT_EQ(lilv_nodes_size(presets), 10u);
    std::map<std::string, std::array<float, kNumParams>> byLabel;
    LILV_FOREACH (nodes, it, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, it);
        lilv_world_load_resource(host.world(), preset);
        LilvState* state = lilv_state_new_from_world(host.world(), host.map(), preset);
        ASSERT_NE(state, nullptr);
        std::array<float, kNumParams> values;
        values.fill(-1.0f);
        struct Ctx { std::array<float, kNumParams>* v; } ctx{&values};
        lilv_state_restore(state, nullptr,
                           [](const char* symbol, void* data, const void* value, uint32_t,
                              uint32_t) {
                               auto* c = static_cast<Ctx*>(data);
                               for (int i = 0; i < kNumParams; ++i)
                                   if (std::strcmp(symbol, kSymbols[i]) == 0)
                                       (*c->v)[i] = *static_cast<const float*>(value);
                           },
                           &ctx, 0, nullptr);
        byLabel[lilv_state_get_label(state)] = values;
        lilv_state_free(state);
    }
    lilv_nodes_free(presets);
    for (const char* name : kProgramNameTable) {
        ASSERT_EQ(byLabel.count(name), 1u) << name;
        for (int i = 0; i < kNumParams; ++i)
            EXPECT_EQ(byLabel[name][i], kParamTable[i].defaultValue) << name << " " << i;
    }
}

} // namespace
} // namespace qx::test
