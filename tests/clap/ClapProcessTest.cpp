// Processing through the built module: parameter events land on their frame, odd buffers and
// odd events are safe, and the panel's edits reach the host as gestures.
#include "core/PrivateRequests.h"
#include "host/ClapSession.h"
#include "host/PanelClient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

using qxhost::ClapEvent;
using qxhost::ClapSession;
using qxhost::InputEvents;
using qxhost::OutputEvents;
using qxhost::paramValueEvent;

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(size_t n = 0) : l(n), r(n) {}
    bool operator==(const Stereo& o) const {
        return std::memcmp(l.data(), o.l.data(), l.size() * 4) == 0 &&
               std::memcmp(r.data(), o.r.data(), r.size() * 4) == 0 && l.size() == o.l.size();
    }
};

// Loud noise, so the limiter works and every parameter shows in the output.
Stereo noise(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> d(-1.5f, 1.5f);
    Stereo s(n);
    for (size_t i = 0; i < n; ++i) {
        s.l[i] = d(gen);
        s.r[i] = 0.5f * s.l[i] + d(gen) * 0.5f;
    }
    return s;
}

struct Active : ClapSession {
    explicit Active(uint32_t maxFrames = 4096) {
        EXPECT_TRUE(load(QX_CLAP_MODULE) && create()) << error();
        EXPECT_TRUE(activate(44100.0, maxFrames));
    }
    // Frames [from, to) of `in` into `out`, with `events` (times relative to `from`).
    void run(const Stereo& in, Stereo& out, size_t from, size_t to, const InputEvents* events,
             OutputEvents* sent = nullptr) {
        float* i[2] = {const_cast<float*>(in.l.data()) + from,
                       const_cast<float*>(in.r.data()) + from};
        float* o[2] = {out.l.data() + from, out.r.data() + from};
        EXPECT_EQ(processBlock(i, o, static_cast<uint32_t>(to - from), events, sent),
                  CLAP_PROCESS_CONTINUE);
    }
};

struct Change {
    uint32_t frame;
    clap_id id;
    double value;
};

// One block with the changes as events at their frames, against the same block cut at every
// change, each piece starting with its changes at frame 0.
void expectChangesLandOnTheirFrames(const std::vector<Change>& changes, size_t frames) {
    const Stereo in = noise(frames, 7);
    Stereo whole(frames), pieces(frames), plain(frames);
    Active a, b, c;
    InputEvents all;
    for (const Change& ch : changes)
        all.events.push_back(paramValueEvent(ch.frame, ch.id, ch.value));
    a.run(in, whole, 0, frames, &all);
    size_t from = 0;
    for (size_t k = 0; k <= changes.size(); ++k) {
        const size_t to = k < changes.size() ? changes[k].frame : frames;
        if (to > from) {
            InputEvents at;
            for (const Change& ch : changes)
                if (ch.frame == from) at.events.push_back(paramValueEvent(0, ch.id, ch.value));
            b.run(in, pieces, from, to, &at);
            from = to;
        }
    }
    c.run(in, plain, 0, frames, nullptr);
    EXPECT_TRUE(whole == pieces);
    EXPECT_FALSE(whole == plain) << "the changes must be audible for this to prove anything";
    for (const Change& ch : changes)
        EXPECT_EQ(a.value(ch.id), b.value(ch.id));
}

TEST(ClapProcess, ParameterEventsApplyFromTheirFrame) {
    expectChangesLandOnTheirFrames(
        {{100, 1, 1.0}, {300, 0, 0.5}, {300, 5, 0.0}, {300, 0, 0.6}, {400, 10, 1.0}, {511, 7, 0.0}},
        512);
    // More changes than the wrapper gathers at once: the block is cut where its list fills.
    std::vector<Change> many;
    for (uint32_t k = 0; k < 700; ++k)
        many.push_back({k * 5 + (k % 3), k % 2 ? 0u : 4u, (k % 10) / 9.0});
    expectChangesLandOnTheirFrames(many, 4000);
}

TEST(ClapProcess, OddBuffersAndOddEventsAreSafe) {
    const size_t n = 256;
    const Stereo in = noise(n, 3);
    Active a(64), b(64);
    // In place gives the same bits as separate buffers; blocks past max_frames are fine.
    Stereo separate(n), inPlace = in;
    a.run(in, separate, 0, n, nullptr);
    float* io[2] = {inPlace.l.data(), inPlace.r.data()};
    EXPECT_EQ(b.processBlock(io, io, n, nullptr, nullptr), CLAP_PROCESS_CONTINUE);
    EXPECT_TRUE(separate == inPlace);

    // Events no parameter value of ours: other spaces, types, sizes, ids; values out of range
    // are clamped, NaN refused; times past the end or running backwards are held in the block.
    InputEvents odd;
    ClapEvent e = paramValueEvent(10, 1, 0.2);
    e.header.space_id = 7;
    odd.events.push_back(e);
    e = paramValueEvent(10, 1, 0.2);
    e.header.size = 20;
    odd.events.push_back(e);
    e = paramValueEvent(10, 1, 0.2);
    e.header.type = CLAP_EVENT_PARAM_MOD;
    odd.events.push_back(e);
    odd.events.push_back(paramValueEvent(10, 99, 0.2));
    odd.events.push_back(paramValueEvent(10, CLAP_INVALID_ID, 0.2));
    odd.events.push_back(paramValueEvent(20, 3, NAN));
    odd.events.push_back(paramValueEvent(30, 10, 7.0));
    odd.events.push_back(paramValueEvent(30, 0, -3.0));
    odd.events.push_back(paramValueEvent(5, 2, 0.9));
    odd.events.push_back(paramValueEvent(100000, 4, 0.1));
    Stereo out(n);
    a.run(in, out, 0, n, &odd);
    EXPECT_EQ(a.value(1), static_cast<double>(0.7f));
    EXPECT_EQ(a.value(3), static_cast<double>(0.5f));
    EXPECT_EQ(a.value(10), 2.0);
    EXPECT_EQ(a.value(0), 0.0);
    EXPECT_EQ(a.value(2), static_cast<double>(0.9f));
    EXPECT_EQ(a.value(4), static_cast<double>(0.1f));

    // A block of no frames still takes its events.
    InputEvents one;
    one.events.push_back(paramValueEvent(0, 6, 1.0));
    a.run(in, out, 0, 0, &one);
    EXPECT_EQ(a.value(6), 1.0);

    // NaN and infinite samples count as silence; missing buffers leave silence, not garbage.
    Stereo bad(n);
    for (size_t i = 0; i < n; ++i)
        bad.l[i] = i % 2 ? NAN : INFINITY;
    a.run(bad, out, 0, n, nullptr);
    for (size_t i = 0; i < n; ++i)
        ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i]));
    std::vector<float> l(n, 9.0f), r(n, 9.0f);
    float* o[2] = {l.data(), r.data()};
    clap_audio_buffer outputs{o, nullptr, 2, 0, 0};
    clap_process p{};
    p.frames_count = n;
    p.audio_outputs = &outputs;
    p.audio_outputs_count = 1;
    ClapSession::AudioScope audio;
    EXPECT_EQ(a.plugin()->process(a.plugin(), &p), CLAP_PROCESS_CONTINUE);
    EXPECT_EQ(l, std::vector<float>(n, 0.0f));
    EXPECT_EQ(r, std::vector<float>(n, 0.0f));
}

// The knob positions on the panel: Pressure's knob (parameter 1) and the Low Punch lever (6).
constexpr int kPressureX = 160, kPressureY = 70;
constexpr int kLowPunchX = 72, kLowPunchY = 174;

TEST(ClapGestures, ThePanelsEditsReachTheHostAsGestures) {
    ClapSession s;
    ASSERT_TRUE(s.load(QX_CLAP_MODULE) && s.create());
    qxhost::PanelClient panel(s);
    ASSERT_TRUE(panel.open());
    // A drag while the host does not process: request_flush, then flush carries the gesture.
    ASSERT_TRUE(panel.mouse(qxMousePress, qxButtonLeft, kPressureX, kPressureY));
    ASSERT_TRUE(panel.mouse(qxMouseMove, qxButtonLeft, kPressureX, kPressureY - 30));
    panel.tick(1);
    ASSERT_TRUE(panel.mouse(qxMouseRelease, qxButtonLeft, kPressureX, kPressureY - 30));
    EXPECT_GT(s.flushRequests, 0);
    OutputEvents sent;
    s.flush(nullptr, &sent);
    const double pressure = s.value(1);
    EXPECT_GT(pressure, 0.7);
    char expected[64];
    std::snprintf(expected, sizeof expected, "B1 V1=%g E1", pressure);
    EXPECT_EQ(sent.describe(), expected);
    // A click while it processes: the next block carries it.
    ASSERT_TRUE(s.activate(44100.0, 64));
    ASSERT_TRUE(panel.mouse(qxMousePress, qxButtonLeft, kLowPunchX, kLowPunchY));
    ASSERT_TRUE(panel.mouse(qxMouseRelease, qxButtonLeft, kLowPunchX, kLowPunchY));
    float l[64] = {}, r[64] = {};
    float* io[2] = {l, r};
    OutputEvents fromBlock;
    s.processBlock(io, io, 64, nullptr, &fromBlock);
    EXPECT_EQ(fromBlock.describe(), "B6 V6=1 E6");
    OutputEvents nothing;
    s.processBlock(io, io, 64, nullptr, &nothing);
    EXPECT_EQ(nothing.describe(), "");
    panel.close();

    // The meters through the same channel, as `qxhost process` reads them.
    const Stereo loud = noise(64, 1);
    float* in[2] = {const_cast<float*>(loud.l.data()), const_cast<float*>(loud.r.data())};
    s.processBlock(in, io, 64, nullptr, nullptr);
    QxMeterReadout m{};
    ASSERT_TRUE(panel.readMeters(m));
    EXPECT_LT(m.minGain, 1.0f);
    EXPECT_GT(m.peakOut, 0.0f);
}

} // namespace
