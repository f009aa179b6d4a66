#pragma once
// One conformance suite for every plug-in format: the built module, loaded as a host loads it,
// must give the engine's own bits, apply timed changes from their frame on, keep its state across
// a save and a load into a fresh instance, give the programs' values, work on in-place buffers
// and stay silent when a port is missing.
//
// Each format supplies a traits struct with `static constexpr const char* kName`, and
// `static std::unique_ptr<FormatInstance> create()` (null when the module cannot be loaded),
// and instantiates the suite in a file of its own that includes this header (the typed suite is
// compiled once per instantiation):
//     INSTANTIATE_TYPED_TEST_SUITE_P(Clap, FormatConformance, ClapTraits);

#include "core/ParamTable.h"
#include "dsp/LimiterEngine.h"
#include "dsp/ParamIndex.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace qx::test {

struct TimedChange {
    uint32_t frame;
    int32_t index;
    float value; // the engine's value (0..1; a switch's state value)
};

// One instance of the module in a host of the format's kind.
class FormatInstance {
public:
    virtual ~FormatInstance() = default;

    // Rate and largest block, then processing switched on.
    virtual void start(double rate, uint32_t maxBlock) = 0;
    // A host's write between blocks, in the engine's terms.
    virtual void setParameter(int32_t index, float value) = 0;
    // One block; `changes` (sorted) only where the format has timed changes. Null pointers among
    // the buffers are missing ports.
    virtual void process(const float* const* in, float* const* out, uint32_t frames,
                         const std::vector<TimedChange>& changes) = 0;

    virtual bool hasTimedChanges() const { return false; }
    virtual bool hasState() const { return false; }
    virtual std::vector<uint8_t> saveState() { return {}; }
    virtual bool loadState(const std::vector<uint8_t>&) { return false; }
    // Programs the host can select through the instance (0 when the format lists them elsewhere).
    virtual int32_t programCount() const { return 0; }
    virtual void selectProgram(int32_t) {}
    virtual float parameter(int32_t) { return 0.0f; }
    // Whether a missing port leaves the outputs silent (or, as VST 2 does, untouched).
    virtual bool silentWithMissingPorts() const { return true; }
};

template <class Traits>
class FormatConformance : public ::testing::Test {
protected:
    std::unique_ptr<FormatInstance> make() {
        auto p = Traits::create();
        EXPECT_NE(p, nullptr) << Traits::kName << " module did not load";
        return p;
    }
};

TYPED_TEST_SUITE_P(FormatConformance);

namespace {

constexpr uint32_t kFrames = 6000;

struct Channels {
    std::vector<float> l, r;
};

// Drum-like bursts over a bed, about 20 dB over full scale at the drive used below.
Channels material(uint32_t frames, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    Channels s{std::vector<float>(frames), std::vector<float>(frames)};
    for (uint32_t i = 0; i < frames; ++i) {
        const float burst = (i % 1500) < 200 ? 0.9f : 0.15f;
        s.l[i] = burst * noise(rng);
        s.r[i] = 0.7f * s.l[i] + 0.3f * burst * noise(rng);
    }
    return s;
}

using Values = std::array<float, kNumParams>;

Values defaults() {
    Values v;
    for (int i = 0; i < kNumParams; ++i) v[i] = kParamTable[i].defaultValue;
    return v;
}

struct AllPins final : PinQuery {
    bool inputConnected(int) override { return true; }
    bool outputConnected(int) override { return true; }
};

// The engine's own bits: `values` from the start, `later` from frame `at` on.
Channels engineRender(double rate, const Values& values, const Channels& in, uint32_t at = kFrames,
                    const Values* later = nullptr) {
    ParamArray params;
    for (int i = 0; i < kNumParams; ++i) params[i].store(values[i]);
    LimiterEngine engine(params);
    engine.setBlockSizeAndSampleRate(int32_t(in.l.size()), float(rate));
    engine.recalculate();
    engine.resume();
    AllPins pins;
    Channels out{std::vector<float>(in.l.size()), std::vector<float>(in.l.size())};
    auto piece = [&](uint32_t from, uint32_t to) {
        const float* i[2] = {in.l.data() + from, in.r.data() + from};
        float* o[2] = {out.l.data() + from, out.r.data() + from};
        engine.process(i, o, int32_t(to - from), false, pins);
    };
    piece(0, at);
    if (later != nullptr) {
        for (int i = 0; i < kNumParams; ++i) params[i].store((*later)[i]);
        engine.recalculate();
        piece(at, uint32_t(in.l.size()));
    }
    return out;
}

// Through the module in blocks of random lengths 1..maxBlock.
Channels moduleRender(FormatInstance& m, const Channels& in, uint32_t seed, uint32_t maxBlock) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<uint32_t> len(1, maxBlock);
    Channels out{std::vector<float>(in.l.size()), std::vector<float>(in.l.size())};
    for (uint32_t done = 0; done < in.l.size();) {
        const uint32_t n = std::min<uint32_t>(len(rng), uint32_t(in.l.size()) - done);
        const float* i[2] = {in.l.data() + done, in.r.data() + done};
        float* o[2] = {out.l.data() + done, out.r.data() + done};
        m.process(i, o, n, {});
        done += n;
    }
    return out;
}

long firstDifference(const Channels& a, const Channels& b) {
    for (size_t i = 0; i < a.l.size(); ++i)
        if (std::memcmp(&a.l[i], &b.l[i], 4) != 0 || std::memcmp(&a.r[i], &b.r[i], 4) != 0)
            return long(i);
    return -1;
}

void applyValues(FormatInstance& m, const Values& v) {
    for (int i = 0; i < kNumParams; ++i) m.setParameter(i, v[i]);
}

Values driven() {
    Values v = defaults();
    v[kInput] = 0.45f, v[kPressure] = 0.9f, v[kRelease1] = 0.3f, v[kRelease2] = 0.65f;
    v[kOutput] = 0.55f;
    return v;
}

} // namespace

TYPED_TEST_P(FormatConformance, SwitchCombinationsGiveTheEnginesBitsAtThreeRates) {
    const Channels in = material(kFrames, 3);
    uint32_t seed = 1;
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        // Limit, Low Punch, Channels Link, Link Quality: every combination, and the three forced
        // channel choices with Auto Channel off.
        for (int combo = 0; combo < 19; ++combo, ++seed) {
            Values v = driven();
            if (combo < 16) {
                v[kLimit] = float(combo & 1), v[kLowPunch] = float((combo >> 1) & 1);
                v[kStereoLink] = float((combo >> 2) & 1), v[kLinkQuality] = float((combo >> 3) & 1);
            } else {
                v[kAutoChannel] = 0.0f, v[kForceChannel] = 0.5f * float(combo - 16);
            }
            auto m = this->make();
            ASSERT_NE(m, nullptr);
            applyValues(*m, v);
            m->start(rate, 512);
            EXPECT_EQ(firstDifference(moduleRender(*m, in, seed, 512), engineRender(rate, v, in)),
                      -1)
                << "rate " << rate << " combination " << combo;
        }
    }
}

TYPED_TEST_P(FormatConformance, TimedChangeTakesEffectFromItsFrame) {
    auto m = this->make();
    ASSERT_NE(m, nullptr);
    if (!m->hasTimedChanges()) GTEST_SKIP() << "the format has no timed changes";
    const Channels in = material(kFrames, 5);
    const Values before = driven();
    Values after = before;
    after[kInput] = 0.8f;
    after[kLimit] = 0.0f;
    applyValues(*m, before);
    m->start(48000.0, kFrames);
    Channels out{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    const float* i[2] = {in.l.data(), in.r.data()};
    float* o[2] = {out.l.data(), out.r.data()};
    const uint32_t at = 1234;
    // The first write of Input at that frame is overwritten by the second: the last one wins.
    m->process(i, o, kFrames,
               {{at, kInput, 0.1f}, {at, kLimit, 0.0f}, {at, kInput, after[kInput]}});
    EXPECT_EQ(firstDifference(out, engineRender(48000.0, before, in, at, &after)), -1);
    EXPECT_EQ(m->parameter(kInput), after[kInput]);
}

TYPED_TEST_P(FormatConformance, StateSurvivesAFreshInstance) {
    auto m = this->make();
    ASSERT_NE(m, nullptr);
    if (!m->hasState()) GTEST_SKIP() << "the host keeps the values itself";
    Values v = driven();
    v[kLowPunch] = 1.0f, v[kForceChannel] = 1.0f, v[kAutoChannel] = 0.0f;
    applyValues(*m, v);
    const std::vector<uint8_t> state = m->saveState();
    ASSERT_FALSE(state.empty());
    auto fresh = this->make();
    ASSERT_TRUE(fresh->loadState(state));
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(fresh->parameter(i), v[i]) << i;
    const Channels in = material(kFrames, 9);
    fresh->start(44100.0, 256);
    EXPECT_EQ(firstDifference(moduleRender(*fresh, in, 4, 256), engineRender(44100.0, v, in)), -1);
    std::vector<uint8_t> damaged = state;
    damaged[damaged.size() / 2] ^= 0x40;
    EXPECT_FALSE(fresh->loadState(damaged));
    EXPECT_EQ(fresh->parameter(kInput), v[kInput]) << "a refused state changes nothing";
}

TYPED_TEST_P(FormatConformance, ProgramsGiveTheTablesValues) {
    auto m = this->make();
    ASSERT_NE(m, nullptr);
    if (m->programCount() == 0) GTEST_SKIP() << "programs are listed outside the instance";
    EXPECT_EQ(m->programCount(), 10);
    for (int32_t p = 0; p < m->programCount(); ++p) {
        m->selectProgram(p);
        for (int i = 0; i < kNumParams; ++i)
            EXPECT_EQ(m->parameter(i), kParamTable[i].defaultValue) << "program " << p;
        m->setParameter(kInput, 0.33f); // kept by program p
    }
    m->selectProgram(4);
    EXPECT_EQ(m->parameter(kInput), 0.33f);
}

TYPED_TEST_P(FormatConformance, InPlaceBuffersGiveTheSameBits) {
    const Channels in = material(kFrames, 11);
    auto m = this->make();
    ASSERT_NE(m, nullptr);
    applyValues(*m, driven());
    m->start(44100.0, kFrames);
    Channels io = in;
    const float* i[2] = {io.l.data(), io.r.data()};
    float* o[2] = {io.l.data(), io.r.data()};
    m->process(i, o, kFrames, {});
    EXPECT_EQ(firstDifference(io, engineRender(44100.0, driven(), in)), -1);
}

TYPED_TEST_P(FormatConformance, MissingPortsLeaveSilence) {
    auto m = this->make();
    ASSERT_NE(m, nullptr);
    if (!m->silentWithMissingPorts()) GTEST_SKIP() << "the format leaves the outputs untouched";
    applyValues(*m, driven());
    m->start(44100.0, 512);
    const Channels in = material(512, 13);
    std::vector<float> l(512, 0.5f), r(512, 0.5f);
    const float* i[2] = {in.l.data(), nullptr};
    float* o[2] = {l.data(), r.data()};
    m->process(i, o, 512, {});
    for (uint32_t k = 0; k < 512; ++k) ASSERT_TRUE(l[k] == 0.0f && r[k] == 0.0f) << k;
}

REGISTER_TYPED_TEST_SUITE_P(FormatConformance, SwitchCombinationsGiveTheEnginesBitsAtThreeRates,
                            TimedChangeTakesEffectFromItsFrame, StateSurvivesAFreshInstance,
                            ProgramsGiveTheTablesValues, InPlaceBuffersGiveTheSameBits,
                            MissingPortsLeaveSilence);

} // namespace qx::test
