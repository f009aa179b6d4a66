// The format-neutral model: its state record, its timed changes and its texts.
#include "core/ParamText.h"
#include "model/LimiterModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace qx {
namespace {

struct AllPins final : PinQuery {
    bool inputConnected(int) override { return true; }
    bool outputConnected(int) override { return true; }
};

uint32_t bits(float v) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    return b;
}

std::vector<uint8_t> save(const LimiterModel& m) {
    std::vector<uint8_t> s(m.saveState(nullptr, 0));
    m.saveState(s.data(), s.size());
    return s;
}

TEST(StateRecord, EveryStoredFloatAndNameRoundTripsBitForBit) {
    LimiterModel a;
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), -0.0f, 7.5f,
                         std::numeric_limits<float>::denorm_min()};
    a.selectProgram(3);
    for (int i = 0; i < kNumParams; ++i) a.setParameter(i, odd[i % 6]);
    a.setProgramName(3, "Bass bus, loud");
    a.selectProgram(7);
    a.setParameter(kRelease2, 0.125f);
    const std::vector<uint8_t> s = save(a);
    ASSERT_EQ(s.size(), StateBlob::kSize);
    EXPECT_EQ(std::memcmp(s.data(), "QXst", 4), 0);

    LimiterModel b;
    ASSERT_EQ(b.loadState(s.data(), s.size()), StateBlob::Result::Ok);
    EXPECT_EQ(b.currentProgram(), 7);
    EXPECT_STREQ(b.programName(3), "Bass bus, loud");
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(bits(b.parameter(i)), bits(a.parameter(i))) << i;
        EXPECT_EQ(bits(b.programs()[3].values[i].load()), bits(odd[i % 6])) << i;
    }
    EXPECT_EQ(save(b), s);
    EXPECT_NE(b.takeChanged() & LimiterModel::kAllChanged, 0u) << "a load redraws the panel";
}

TEST(StateRecord, RefusalsLeaveTheModelAsItWas) {
    LimiterModel a;
    a.setParameter(kInput, 0.75f);
    std::vector<uint8_t> s = save(a);
    LimiterModel b;
    b.setParameter(kInput, 0.25f);
    const std::vector<uint8_t> before = save(b);

    EXPECT_EQ(b.loadState(s.data(), 100), StateBlob::Result::Short);
    EXPECT_EQ(b.loadState(nullptr, 0), StateBlob::Result::Short);
    std::vector<uint8_t> foreign = s;
    foreign[0] = 'X';
    EXPECT_EQ(b.loadState(foreign.data(), foreign.size()), StateBlob::Result::Foreign);
    std::vector<uint8_t> newer = s;
    newer[4] = 2;
    EXPECT_EQ(b.loadState(newer.data(), newer.size()), StateBlob::Result::NewerVersion);
    for (size_t at : {size_t(13), size_t(20), size_t(400), s.size() - 1}) {
        std::vector<uint8_t> damaged = s;
        damaged[at] ^= 0x10;
        EXPECT_EQ(b.loadState(damaged.data(), damaged.size()), StateBlob::Result::Damaged) << at;
    }
    EXPECT_EQ(save(b), before);
    EXPECT_STRNE(StateBlob::describe(StateBlob::Result::Damaged), "");
}

// A change at frame f is heard from sample f on: the same as splitting the block there by hand.
TEST(BlockRunner, ChangesApplyFromTheirFrameAndTheLastWriteWins) {
    constexpr uint32_t n = 2048;
    std::vector<float> in(n);
    for (uint32_t i = 0; i < n; ++i) in[i] = 0.8f * std::sin(0.05f * float(i)) * ((i / 300) % 2 ? 1.0f : 0.2f);
    auto run = [&](LimiterModel& m, uint32_t from, uint32_t to, std::vector<float>& l,
                   std::vector<float>& r, const std::vector<ParamChange>& c) {
        AllPins pins;
        const float* i[2] = {in.data() + from, in.data() + from};
        float* o[2] = {l.data() + from, r.data() + from};
        m.process({i, o, to - from, false}, c.data(), int32_t(c.size()), pins);
    };
    LimiterModel timed, split;
    for (LimiterModel* m : {&timed, &split}) {
        m->setParameter(kInput, 0.5f);
        m->setMaxBlockSizeAndSampleRate(int32_t(n), 48000.0);
        m->activate();
    }
    std::vector<float> tl(n), tr(n), sl(n), sr(n);
    run(timed, 0, n, tl, tr,
        {{-5, kPressure, 1.0f}, {700, kInput, 0.1f}, {700, kLimit, 0.0f}, {700, kInput, 0.9f},
         {1500, 99, 1.0f}, {5000, kOutput, 0.25f}});
    split.setParameter(kPressure, 1.0f);
    run(split, 0, 700, sl, sr, {});
    split.setParameter(kInput, 0.9f);
    split.setParameter(kLimit, 0.0f);
    run(split, 700, n, sl, sr, {});
    EXPECT_EQ(std::memcmp(tl.data(), sl.data(), n * 4), 0);
    EXPECT_EQ(std::memcmp(tr.data(), sr.data(), n * 4), 0);
    EXPECT_EQ(timed.parameter(kOutput), 0.25f) << "a change past the end holds for the next block";
    EXPECT_EQ(timed.parameter(kInput), 0.9f);
}

TEST(BlockRunner, MissingPortsOrSwitchedOffGiveSilenceAndStillApplyTheChanges) {
    LimiterModel m;
    std::vector<float> in(64, 0.5f), l(64, 1.0f), r(64, 1.0f);
    AllPins pins;
    const float* i[2] = {in.data(), in.data()};
    float* o[2] = {l.data(), r.data()};
    const ParamChange c{10, kInput, 0.6f};
    m.process({i, o, 64, false}, &c, 1, pins); // not yet switched on
    EXPECT_EQ(l, std::vector<float>(64, 0.0f));
    EXPECT_EQ(m.parameter(kInput), 0.6f);
    m.activate();
    std::fill(l.begin(), l.end(), 1.0f);
    const float* missing[2] = {in.data(), nullptr};
    m.process({missing, o, 64, false}, nullptr, 0, pins);
    EXPECT_EQ(l, std::vector<float>(64, 0.0f));
    std::fill(l.begin(), l.end(), 1.0f);
    m.process({missing, o, 64, false}, nullptr, 0, pins, IdleOutput::Untouched);
    EXPECT_EQ(l, std::vector<float>(64, 1.0f));
}

// What a host shows, typed back, selects the same value (or one that reads the same).
TEST(ParamTexts, EveryDisplayTextParsesBackToItsValue) {
    char text[32];
    for (int p = 0; p < kNumParams; ++p) {
        const int steps = paramSteps(p);
        for (int k = 0; k <= 20; ++k) {
            const float v = steps > 0 ? switchStateValue(p, k % (steps + 1)) : float(k) / 20.0f;
            paramDisplay(p, v, text);
            std::string typed = std::string(text) + " " + paramLabel(p);
            float back = -1.0f;
            ASSERT_TRUE(parseParamText(p, typed.c_str(), &back)) << p << " '" << typed << "'";
            char again[32];
            paramDisplay(p, back, again);
            EXPECT_STREQ(again, text) << p;
            if (steps > 0) EXPECT_EQ(back, v);
        }
    }
    float v = 0.0f;
    EXPECT_TRUE(parseParamText(kForceChannel, "right", &v));
    EXPECT_EQ(v, 1.0f);
    EXPECT_TRUE(parseParamText(kOutput, "-100", &v));
    EXPECT_EQ(v, 0.0f);
    EXPECT_FALSE(parseParamText(kLimit, "Medium", &v));
    EXPECT_FALSE(parseParamText(kInput, "", &v));
    EXPECT_FALSE(parseParamText(kNumParams, "1", &v));
    EXPECT_FALSE(parseParamText(kInput, nullptr, &v));
}

} // namespace
} // namespace qx
