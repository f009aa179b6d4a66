// The built Orv4417-QX.clap as a host meets it: entry and factories, the descriptor, every
// extension's answers, parameter texts, state, presets, and calls a careless host makes.
#include "clap/ClapPrivate.h"
#include "core/ParamTable.h"
#include "host/ClapSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

using qxhost::ClapSession;
using qxhost::InputEvents;
using qxhost::paramValueEvent;

struct Loaded : ClapSession {
    explicit Loaded(uint32_t offers = kAll) : ClapSession(offers) {
        EXPECT_TRUE(load(QX_CLAP_MODULE)) << error();
        EXPECT_TRUE(create()) << error();
    }
    void set(clap_id id, double v) {
        InputEvents in;
        in.events.push_back(paramValueEvent(0, id, v));
        flush(&in, nullptr);
    }
    const clap_plugin_params* params() const { return ext<clap_plugin_params>(CLAP_EXT_PARAMS); }
};

TEST(ClapEntry, InitAndDeinitPairUpAnyNumberOfTimes) {
    void* module = dlopen(QX_CLAP_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr);
    const auto* entry = static_cast<const clap_plugin_entry*>(dlsym(module, "clap_entry"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->clap_version.major, 1u);
    EXPECT_GE(entry->clap_version.minor, 2u);
    EXPECT_EQ(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr) << "before init";
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(entry->init(QX_CLAP_MODULE));
        ASSERT_TRUE(entry->init(QX_CLAP_MODULE));
        entry->deinit();
        EXPECT_NE(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr) << "one init still open";
        entry->deinit();
        EXPECT_EQ(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
    }
    entry->deinit(); // one too many: ignored
    ASSERT_TRUE(entry->init(QX_CLAP_MODULE));
    EXPECT_NE(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
    EXPECT_NE(entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID), nullptr);
    EXPECT_NE(entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT), nullptr);
    EXPECT_EQ(entry->get_factory("clap.no-such-factory"), nullptr);
    EXPECT_EQ(entry->get_factory(nullptr), nullptr);
    entry->deinit();
    dlclose(module);
}

TEST(ClapEntry, TheFactoryListsOnePluginUnderOurId) {
    Loaded s;
    const clap_plugin_factory* f = s.factory();
    ASSERT_EQ(f->get_plugin_count(f), 1u);
    EXPECT_EQ(f->get_plugin_descriptor(f, 1), nullptr);
    const clap_plugin_descriptor* d = f->get_plugin_descriptor(f, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->clap_version.major, 1u);
    EXPECT_STREQ(d->id, "com.qem.orv4417-qx");
    EXPECT_STREQ(d->name, "Orv4417-QX");
    EXPECT_STREQ(d->vendor, "Qem v1.0");
    EXPECT_GT(std::strlen(d->version), 0u);
    std::vector<std::string> features;
    for (const char* const* p = d->features; *p != nullptr; ++p)
        features.push_back(*p);
    EXPECT_EQ(features,
              (std::vector<std::string>{"audio-effect", "limiter", "compressor", "stereo"}));
    EXPECT_EQ(s.plugin()->desc, d);

    EXPECT_EQ(f->create_plugin(f, s.host(), "com.qem.other"), nullptr);
    EXPECT_EQ(f->create_plugin(f, s.host(), nullptr), nullptr);
    EXPECT_EQ(f->create_plugin(f, nullptr, d->id), nullptr);
    clap_host old = *s.host();
    old.clap_version = {0, 9, 0};
    EXPECT_EQ(f->create_plugin(f, &old, d->id), nullptr);
}

TEST(ClapExtensions, EveryExtensionAnswersAsDeclared) {
    Loaded s;
    const clap_plugin* p = s.plugin();
    for (const char* id :
         {CLAP_EXT_PARAMS, CLAP_EXT_AUDIO_PORTS, CLAP_EXT_STATE, CLAP_EXT_LATENCY, CLAP_EXT_TAIL,
          CLAP_EXT_GUI, CLAP_EXT_TIMER_SUPPORT, CLAP_EXT_POSIX_FD_SUPPORT, CLAP_EXT_PRESET_LOAD,
          CLAP_EXT_PRESET_LOAD_COMPAT, QX_CLAP_EXT_PRIVATE})
        EXPECT_NE(p->get_extension(p, id), nullptr) << id;
    EXPECT_EQ(p->get_extension(p, "clap.note-ports"), nullptr);
    EXPECT_EQ(p->get_extension(p, nullptr), nullptr);

    const auto* ports = s.ext<clap_plugin_audio_ports>(CLAP_EXT_AUDIO_PORTS);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports->count(p, input), 1u);
        clap_audio_port_info info{};
        ASSERT_TRUE(ports->get(p, 0, input, &info));
        EXPECT_EQ(info.id, 0u);
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_STREQ(info.port_type, CLAP_PORT_STEREO);
        EXPECT_EQ(info.flags, CLAP_AUDIO_PORT_IS_MAIN);
        EXPECT_EQ(info.in_place_pair, 0u);
        EXPECT_STREQ(info.name, input ? "Input" : "Output");
        EXPECT_FALSE(ports->get(p, 1, input, &info));
        EXPECT_FALSE(ports->get(p, 0, input, nullptr));
    }
    EXPECT_EQ(s.ext<clap_plugin_latency>(CLAP_EXT_LATENCY)->get(p), 0u);
    EXPECT_EQ(s.ext<clap_plugin_tail>(CLAP_EXT_TAIL)->get(p), 0u);

    const auto* gui = s.ext<clap_plugin_gui>(CLAP_EXT_GUI);
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(p, &api, &floating));
    EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
    EXPECT_FALSE(floating);
    EXPECT_TRUE(gui->is_api_supported(p, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(p, CLAP_WINDOW_API_X11, true)) << "embedded only";
    EXPECT_FALSE(gui->is_api_supported(p, CLAP_WINDOW_API_WIN32, false));
    EXPECT_FALSE(gui->is_api_supported(p, nullptr, false));
    EXPECT_FALSE(gui->create(p, CLAP_WINDOW_API_X11, true));
    ASSERT_TRUE(gui->create(p, CLAP_WINDOW_API_X11, false));
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(gui->get_size(p, &w, &h));
    EXPECT_EQ(w, 450u);
    EXPECT_EQ(h, 200u);
    EXPECT_FALSE(gui->can_resize(p));
    EXPECT_FALSE(gui->set_scale(p, 2.0));
    EXPECT_TRUE(gui->set_size(p, 450, 200));
    EXPECT_FALSE(gui->set_size(p, 451, 200));
    w = 900;
    h = 10;
    EXPECT_TRUE(gui->adjust_size(p, &w, &h));
    EXPECT_EQ(w, 450u);
    EXPECT_EQ(h, 200u);
    EXPECT_FALSE(gui->set_transient(p, nullptr));
    EXPECT_FALSE(gui->set_parent(p, nullptr));
    gui->destroy(p);

    // Without the host's timers an X11 panel could not tick, so none is made.
    Loaded plain(ClapSession::kAll & ~ClapSession::kTimers);
    EXPECT_FALSE(plain.ext<clap_plugin_gui>(CLAP_EXT_GUI)
                     ->create(plain.plugin(), CLAP_WINDOW_API_X11, false));
}

TEST(ClapParams, EveryParameterComesFromTheTable) {
    Loaded s;
    const clap_plugin* p = s.plugin();
    const clap_plugin_params* params = s.params();
    ASSERT_EQ(params->count(p), static_cast<uint32_t>(qx::kNumParams));
    for (uint32_t i = 0; i < params->count(p); ++i) {
        clap_param_info info{};
        ASSERT_TRUE(params->get_info(p, i, &info));
        const qx::ParamInfo& row = qx::kParamTable[i];
        const bool twoState = row.kind == qx::ParamKind::TwoState;
        const bool threeState = row.kind == qx::ParamKind::ThreeState;
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.name, row.name);
        EXPECT_NE(info.flags & CLAP_PARAM_IS_AUTOMATABLE, 0u);
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, twoState || threeState) << i;
        EXPECT_EQ(info.flags & CLAP_PARAM_IS_MODULATABLE, 0u);
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, threeState ? 2.0 : 1.0);
        const double expected = threeState ? 2.0 * row.defaultValue : row.defaultValue;
        EXPECT_EQ(info.default_value, static_cast<double>(static_cast<float>(expected))) << i;
        EXPECT_EQ(s.value(i), info.default_value) << i;
    }
    clap_param_info info{};
    EXPECT_FALSE(params->get_info(p, qx::kNumParams, &info));
    EXPECT_FALSE(params->get_info(p, 0, nullptr));
    double v = 0.0;
    EXPECT_FALSE(params->get_value(p, qx::kNumParams, &v));
    EXPECT_FALSE(params->get_value(p, CLAP_INVALID_ID, &v));
    EXPECT_FALSE(params->get_value(p, 0, nullptr));
}

TEST(ClapParams, TextsAreTheVst2TextsAndReadBack) {
    Loaded s;
    const clap_plugin* p = s.plugin();
    const clap_plugin_params* params = s.params();
    auto text = [&](clap_id id, double v) {
        char t[64] = "untouched";
        EXPECT_TRUE(params->value_to_text(p, id, v, t, sizeof t)) << id << " " << v;
        return std::string(t);
    };
    EXPECT_EQ(text(1, 0.7), "70.0 %");
    EXPECT_EQ(text(0, 1.0), "100 %");
    EXPECT_EQ(text(4, 0.5), "0.00 %");
    EXPECT_EQ(text(4, 0.75), "+50.0 %");
    EXPECT_EQ(text(5, 1.0), "Soft");
    EXPECT_EQ(text(10, 2.0), "Right");
    EXPECT_EQ(text(10, 1.0), "Left");
    for (clap_id id = 0; id < static_cast<clap_id>(qx::kNumParams); ++id) {
        clap_param_info info{};
        params->get_info(p, id, &info);
        for (double v = 0.0; v <= info.max_value;
             v += (info.flags & CLAP_PARAM_IS_STEPPED) ? 1.0 : 0.123) {
            const std::string shown = text(id, v);
            double back = -1.0;
            ASSERT_TRUE(params->text_to_value(p, id, shown.c_str(), &back)) << id << " " << shown;
            EXPECT_EQ(text(id, back), shown) << id;
            if (info.flags & CLAP_PARAM_IS_STEPPED) {
                EXPECT_EQ(back, v);
            }
        }
    }
    double back = -1.0;
    EXPECT_TRUE(params->text_to_value(p, 1, "70.0", &back)) << "without the unit";
    EXPECT_TRUE(params->text_to_value(p, 6, " On ", &back));
    EXPECT_EQ(back, 1.0);
    EXPECT_FALSE(params->text_to_value(p, 6, "Maybe", &back));
    EXPECT_FALSE(params->text_to_value(p, 1, nullptr, &back));
    EXPECT_FALSE(params->text_to_value(p, 99, "1", &back));
    char tiny[3] = "xx";
    EXPECT_FALSE(params->value_to_text(p, 1, 0.7, tiny, sizeof tiny));
    EXPECT_EQ(std::strlen(tiny), 2u) << "cut, still terminated";
    char t[32];
    EXPECT_FALSE(params->value_to_text(p, 1, NAN, t, sizeof t));
    EXPECT_FALSE(params->value_to_text(p, 99, 0.5, t, sizeof t));
    EXPECT_FALSE(params->value_to_text(p, 1, 0.5, nullptr, 8));
}

TEST(ClapState, RoundTripsAndRefusesWhatIsNotItsRecord) {
    Loaded a;
    a.set(0, 0.25);
    a.set(4, 0.9);
    a.set(10, 2.0);
    a.set(5, 0.0);
    const std::vector<uint8_t> saved = a.saveState(7);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(a.saveState(), saved) << "the same record in one piece or in many";

    Loaded b;
    std::vector<double> defaults;
    for (clap_id id = 0; id < 11; ++id)
        defaults.push_back(b.value(id));
    auto unchanged = [&] {
        for (clap_id id = 0; id < 11; ++id)
            if (b.value(id) != defaults[id]) return false;
        return true;
    };
    std::vector<uint8_t> damaged = saved;
    damaged[100] ^= 0x10;
    EXPECT_FALSE(b.loadState(damaged));
    EXPECT_FALSE(b.loadState({saved.begin(), saved.begin() + 100}));
    EXPECT_FALSE(b.loadState({}));
    const auto* state = b.ext<clap_plugin_state>(CLAP_EXT_STATE);
    EXPECT_FALSE(state->load(b.plugin(), nullptr));
    const clap_istream noRead{nullptr, nullptr};
    EXPECT_FALSE(state->load(b.plugin(), &noRead));
    EXPECT_FALSE(state->save(b.plugin(), nullptr));
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(b.rescans, 0);

    ASSERT_TRUE(b.loadState(saved, 5));
    for (clap_id id = 0; id < 11; ++id)
        EXPECT_EQ(b.value(id), a.value(id)) << id;
    EXPECT_EQ(b.saveState(), saved);
    EXPECT_EQ(b.rescans, 0) << "not from inside the load";
    b.fireTimers();
    EXPECT_EQ(b.rescans, 1);

    // A host without timers hears of it on the main thread, asked for by the next flush.
    Loaded c(ClapSession::kAll & ~ClapSession::kTimers);
    ASSERT_TRUE(c.loadState(saved));
    EXPECT_EQ(c.callbackRequests, 0);
    c.flush(nullptr, nullptr);
    c.flush(nullptr, nullptr);
    EXPECT_EQ(c.callbackRequests, 1);
    c.plugin()->on_main_thread(c.plugin());
    EXPECT_EQ(c.rescans, 1);
}

TEST(ClapPresets, TheTenProgramsAreListedAndLoad) {
    Loaded s;
    const auto presets = s.listPresets();
    ASSERT_EQ(presets.size(), 10u);
    for (size_t i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(presets[i].key, std::to_string(i));
        EXPECT_EQ(presets[i].name, i == 0 ? std::string("default") : "empty " + std::to_string(i));
    }
    const auto* load = s.ext<clap_plugin_preset_load>(CLAP_EXT_PRESET_LOAD);
    const clap_plugin* p = s.plugin();
    // Host writes land in the current program, as with VST 2's programs.
    s.set(0, 0.5);
    ASSERT_TRUE(load->from_location(p, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, "3"));
    EXPECT_EQ(s.value(0), 0.0);
    ASSERT_TRUE(load->from_location(p, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, "0"));
    EXPECT_EQ(s.value(0), 0.5);
    EXPECT_TRUE(s.presetsLoaded.empty()) << "not from inside the load";

    EXPECT_FALSE(load->from_location(p, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, "10"));
    EXPECT_FALSE(load->from_location(p, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, nullptr));
    EXPECT_FALSE(load->from_location(p, CLAP_PRESET_DISCOVERY_LOCATION_FILE, "/tmp/x", "1"));
    EXPECT_EQ(s.value(0), 0.5);
    s.fireTimers();
    EXPECT_EQ(s.presetsLoaded, (std::vector<std::string>{"0"}));
    EXPECT_EQ(s.presetErrors.size(), 1u) << "the last failure of the lot";
    EXPECT_EQ(s.rescans, 1);
}

TEST(ClapHostile, NullRecordsUnknownIdsAndCallsOutOfOrder) {
    Loaded s;
    const clap_plugin* p = s.plugin();
    // Calls with no record, or with another plug-in's.
    clap_plugin foreign = *p;
    foreign.desc = nullptr;
    EXPECT_FALSE(p->init(nullptr));
    EXPECT_FALSE(p->activate(&foreign, 44100.0, 1, 512));
    EXPECT_EQ(p->process(nullptr, nullptr), CLAP_PROCESS_ERROR);
    EXPECT_EQ(p->get_extension(nullptr, CLAP_EXT_PARAMS), nullptr);
    EXPECT_EQ(s.params()->count(nullptr), 0u);
    p->destroy(nullptr);
    p->on_main_thread(&foreign);

    // Order: nothing processes before activate; activate once; the thread check holds.
    float l[64] = {}, r[64] = {};
    float* io[2] = {l, r};
    EXPECT_EQ(s.processBlock(io, io, 64, nullptr, nullptr), CLAP_PROCESS_ERROR);
    {
        ClapSession::AudioScope audio;
        EXPECT_FALSE(p->start_processing(p));
        EXPECT_FALSE(p->activate(p, 44100.0, 1, 512)) << "activate belongs to the main thread";
    }
    EXPECT_FALSE(p->activate(p, NAN, 1, 512));
    EXPECT_FALSE(p->activate(p, 0.0, 1, 512));
    p->deactivate(p);
    ASSERT_TRUE(p->activate(p, 44100.0, 1000, 0)) << "any frame counts";
    EXPECT_FALSE(p->activate(p, 44100.0, 1, 512));
    EXPECT_EQ(p->process(p, nullptr), CLAP_PROCESS_ERROR);
    clap_process none{};
    EXPECT_EQ(p->process(p, &none), CLAP_PROCESS_ERROR) << "on the main thread";
    {
        ClapSession::AudioScope audio;
        EXPECT_EQ(p->process(p, &none), CLAP_PROCESS_CONTINUE) << "no buffers, no events";
        p->reset(p);
    }
    EXPECT_EQ(s.processBlock(io, io, 64, nullptr, nullptr), CLAP_PROCESS_CONTINUE)
        << "processing without start_processing";
    p->deactivate(p);
    p->deactivate(p);
    ASSERT_TRUE(p->activate(p, 48000.0, 1, UINT32_MAX));
    p->deactivate(p);

    // A host with no extensions and no callbacks at all.
    clap_host bare{};
    bare.clap_version = {1, 0, 0};
    const clap_plugin_factory* f = s.factory();
    const clap_plugin* q = f->create_plugin(f, &bare, "com.qem.orv4417-qx");
    ASSERT_NE(q, nullptr);
    ASSERT_TRUE(q->init(q));
    ASSERT_TRUE(q->activate(q, 44100.0, 1, 64));
    clap_process block{};
    block.frames_count = 64;
    EXPECT_EQ(q->process(q, &block), CLAP_PROCESS_CONTINUE);
    const auto* gui = static_cast<const clap_plugin_gui*>(q->get_extension(q, CLAP_EXT_GUI));
    EXPECT_FALSE(gui->create(q, CLAP_WINDOW_API_X11, false));
    q->destroy(q); // while active
}

} // namespace
