// The bundle's UI in a host window under suil, held against the VST 2 module's panel: the same
// values and the same audio must give the same pixels, and the panel's mouse work must reach the
// host as the port writes it predicts.
#include "UiHost.h"

#include "../gui/WindowDriver.h"
#include "core/PrivateRequests.h"
#include "host/HostSession.h"
#include "lv2/MeterMessages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace qxgui;
using namespace qx::lv2;
using qxlv2ui::PortWrite;
using qxlv2ui::UiHost;

namespace {

int differingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size() || a.empty()) return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// The VST 2 module's panel on its memory-only layer, through the private channel.
struct Vst2Panel {
    qxhost::HostSession s;
    AEffect* e = nullptr;
    Vst2Panel() {
        EXPECT_TRUE(s.load(QX_MODULE_PATH)) << s.error();
        e = s.create();
        s.dispatch(qx::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        s.dispatch(qx::effMainsChanged, 0, 1);
    }
    intptr_t channel(int command, QxHeadlessRequest& r) {
        r.size = sizeof r;
        return s.dispatch(qx::effVendorSpecific, QX_HEADLESS_INDEX, command, &r);
    }
    std::vector<uint32_t> tick() {
        std::vector<uint32_t> px(size_t(kPanelWidth) * kPanelHeight);
        QxHeadlessRequest r{};
        r.count = 1;
        EXPECT_EQ(channel(qxHeadlessTick, r), 1);
        r.pixels = px.data();
        EXPECT_EQ(channel(qxHeadlessReadPixels, r), 1);
        return px;
    }
    // A fresh opening's first (full) redraw.
    std::vector<uint32_t> picture() {
        QxHeadlessRequest r{};
        EXPECT_EQ(channel(qxHeadlessOpen, r), 1);
        auto px = tick();
        channel(qxHeadlessClose, r);
        return px;
    }
};

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override {
        if (!driver().ready()) GTEST_SKIP() << "no display to open windows on";
        ASSERT_EQ(host.error(), "");
    }
    void TearDown() override {
        host.closeUi();
        for (void* w : windows) driver().destroyHostWindow(w);
    }
    void* openUi(int x, int y) {
        windows.push_back(driver().createHostWindow(x, y));
        EXPECT_TRUE(host.openUi(windows.back()));
        return windows.back();
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(32));
            host.idle();
        }
    }
    std::vector<uint32_t> screen() {
        std::vector<uint32_t> px;
        EXPECT_TRUE(driver().readPanel(windows.back(), px));
        return px;
    }
    void click(bool right, int x, int y) {
        driver().pointerTo(windows.back(), x, y);
        driver().button(right, true);
        tick();
        driver().button(right, false);
        tick();
    }

    UiHost host;
    std::vector<void*> windows;
};

TEST_F(Lv2Ui, FullRedrawShowsWhatTheVst2PanelShows) {
    for (void* notWindow : driver().notWindows()) EXPECT_FALSE(host.openUi(notWindow));
    Vst2Panel vst;
    void* w = openUi(20, 20);
    EXPECT_EQ(driver().panelsIn(w), 1);
    tick(2);
    EXPECT_EQ(differingPixels(screen(), vst.picture()), 0) << "defaults";
    host.closeUi();
    EXPECT_EQ(driver().panelsIn(w), 0);

    // Values as a host sends them right after instantiation, amid what a careless one sends.
    const float values[11] = {0.25f, 0.75f, 1.0f, 0.0f, 0.7f, 0.0f, 1.0f, 0.0f, 0.4f, 0.0f, 0.5f};
    ASSERT_TRUE(host.openUi(w));
    for (int i = 0; i < 11; ++i) host.portEvent(kPortFirstParam + i, values[i]);
    host.portEvent(kNumPorts, 1.0f);
    host.portEvent(kPortFirstParam, 2, 0, "ab");
    const LV2_Atom truncated{64, host.urid(LV2_ATOM__Object)};
    host.portEvent(kPortNotify, sizeof truncated, host.urid(LV2_ATOM__eventTransfer), &truncated);
    tick(2);
    for (int i = 0; i < 11; ++i) vst.e->setParameter(vst.e, i, values[i]);
    EXPECT_EQ(differingPixels(screen(), vst.picture()), 0) << "values from port events";

    // Later changes are drawn a piece at a time; they must add up to the full picture.
    host.portEvent(kPortFirstParam + 1, 0.1f);
    host.portEvent(kPortFirstParam + 5, 1.0f);
    host.portEvent(kPortFirstParam + 10, 1.0f);
    tick(2);
    vst.e->setParameter(vst.e, 1, 0.1f);
    vst.e->setParameter(vst.e, 5, 1.0f);
    vst.e->setParameter(vst.e, 10, 1.0f);
    EXPECT_EQ(differingPixels(screen(), vst.picture()), 0) << "changed values";
    EXPECT_TRUE(host.takeWrites().empty()) << "the host's own values are not sent back";
}

TEST_F(Lv2Ui, MouseWorkBecomesThePredictedPortWrites) {
    // The writes as (port, value), all of them floats.
    using Writes = std::vector<std::pair<uint32_t, float>>;
    auto writes = [this] {
        Writes out;
        for (const PortWrite& w : host.takeWrites()) {
            EXPECT_EQ(w.format, 0u);
            out.emplace_back(w.port, w.value());
        }
        return out;
    };
    // Low on the screen, so the pointer can travel above the panel.
    openUi(100, 450);
    tick(2);

    click(false, 72, 174); // Low Punch lever
    EXPECT_EQ(writes(), (Writes{{kPortFirstParam + 6, 1.0f}}));

    // Pressure dragged 40 pixels up in one move: one write, 0.7 + 0.1.
    driver().pointerTo(windows.back(), 163, 73);
    driver().button(false, true);
    tick();
    driver().pointerTo(windows.back(), 163, 33);
    tick(2);
    driver().button(false, false);
    tick();
    const float dragged = float(double(0.7f) + 40 * double(0.0025f));
    EXPECT_EQ(writes(), (Writes{{kPortFirstParam + 1, dragged}}));

    // A right click puts the host's Release1 back to its default.
    host.portEvent(kPortFirstParam + 2, 0.9f);
    tick();
    click(true, 235, 73);
    EXPECT_EQ(writes(), (Writes{{kPortFirstParam + 2, 0.4f}}));
}

// A host that replaces the DSP under an open UI: the new instance counts its runs from 1 and never
// saw the UI's acks, so its reports must not be left as stale.
TEST_F(Lv2Ui, MetersFollowANewDspInstance) {
    openUi(20, 20);
    const std::vector<float> silence(256);
    for (int instance = 0; instance < 2; ++instance) {
        ASSERT_TRUE(host.openDsp());
        for (int b = 0; b < 3 - instance; ++b) host.run(silence.data(), silence.data(), 256);
        tick();
        EXPECT_EQ(host.takeWrites().size(), 1u) << "instance " << instance;
    }
}

// With the acknowledgements delivered at once, one run late (the first report after a tick still
// holds what that tick took, so only the newest report may be shown) and a whole tick late (the
// newest report at a tick may be stale). The VST 2 panel gets the same blocks; where the UI leaves
// a stale report, it gets them a tick later, which is all the delay the UI may add.
class Lv2UiMeters : public Lv2Ui, public ::testing::WithParamInterface<int> {};
INSTANTIATE_TEST_SUITE_P(AckDelay, Lv2UiMeters, ::testing::Values(0, 1, 3));

TEST_P(Lv2UiMeters, FollowTheProcessedSignalAsTheVst2PanelDoes) {
    constexpr int kBlocksPerTick = 3;
    host.ackDelayRuns = GetParam();
    ASSERT_TRUE(host.openDsp());
    Vst2Panel vst;
    // Output at +100 %, so the loud part clips as well as being limited.
    *host.control(4) = 1.0f;
    vst.e->setParameter(vst.e, 4, 1.0f);
    openUi(20, 20);
    host.portEvent(kPortFirstParam + 4, 1.0f);
    QxHeadlessRequest open{};
    ASSERT_EQ(vst.channel(qxHeadlessOpen, open), 1);
    MeterUrids u;
    ASSERT_TRUE(u.map(host.map()));

    constexpr uint32_t kBlock = 512;
    std::vector<std::vector<float>> forVst; // blocks the VST 2 panel has yet to see, L and R
    std::vector<float> outL(kBlock), outR(kBlock);
    int64_t runs = 0;
    int staleTicks = 0;
    bool lastStale = false, clipShown = false;
    std::vector<uint32_t> silent;
    // Silence, a loud burst, a quiet tail, silence.
    const float levels[] = {0.0f, 0.0f, 1.5f, 1.5f, 1.5f, 0.05f, 0.05f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (size_t step = 0; step < sizeof levels / sizeof levels[0]; ++step) {
        for (int b = 0; b < kBlocksPerTick; ++b, ++runs) {
            std::vector<float> left(kBlock), right(kBlock);
            for (uint32_t i = 0; i < kBlock; ++i) {
                const double t = double(runs * kBlock + i) / 44100.0;
                left[i] = levels[step] * float(std::sin(2 * M_PI * 440 * t));
                right[i] = levels[step] * float(std::sin(2 * M_PI * 660 * t));
            }
            host.run(left.data(), right.data(), kBlock);
            forVst.push_back(std::move(left));
            forVst.push_back(std::move(right));
        }
        tick();
        // A tick that takes a report acknowledges it, naming the newest run.
        const auto writes = host.takeWrites();
        ASSERT_LE(writes.size(), 1u) << "after step " << step;
        const bool stale = writes.empty();
        if (!stale) {
            int64_t s = 0;
            ASSERT_EQ(writes[0].port, uint32_t(kPortControl));
            ASSERT_EQ(writes[0].format, u.atomEventTransfer);
            ASSERT_TRUE(readMeterAck(u, reinterpret_cast<const LV2_Atom*>(writes[0].bytes.data()), s));
            EXPECT_EQ(s, runs);
            for (size_t i = 0; i < forVst.size(); i += 2) {
                float* in[2] = {forVst[i].data(), forVst[i + 1].data()};
                float* out[2] = {outL.data(), outR.data()};
                vst.e->processReplacing(vst.e, in, out, kBlock);
            }
            forVst.clear();
        }
        EXPECT_FALSE(stale && lastStale) << "runs held back two ticks, after step " << step;
        staleTicks += stale;
        lastStale = stale;

        const auto wanted = vst.tick();
        const auto shown = screen();
        EXPECT_EQ(differingPixels(shown, wanted), 0) << "after step " << step;
        // The clip LED's centre (428, 69) differs from the silent start only after a clip.
        const size_t led = size_t(69) * kPanelWidth + 428;
        if (step == 0) silent = shown;
        else if (shown.size() == silent.size() && !shown.empty())
            clipShown |= shown[led] != silent[led];
    }
    EXPECT_TRUE(clipShown) << "the signal never lit the clip LED";
    // Acks within a tick leave no stale report; a tick late, every other one is.
    if (GetParam() < kBlocksPerTick) EXPECT_EQ(staleTicks, 0);
    else EXPECT_GT(staleTicks, 0);
    vst.channel(qxHeadlessClose, open);
}

} // namespace
