// The built module's panel in real windows, driven the way a host drives it: effEditOpen in a
// window of ours, ticks, a real pointer, effEditClose. What the screen shows is held against the
// same module's memory-only rendering of the same state (its private channel), so any pixel the
// window layer gets wrong shows up, while the drawing laws themselves are the editor tests'.
#include "SamePicture.h"
#include "WindowDriver.h"

#include "host/HostSession.h"
#include "host/PanelClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <sstream>
#include <thread>

using namespace qxgui;
using qxhost::AutomationCall;
using qxhost::HostSession;

namespace {

enum Param { kInput, kPressure, kRelease1, kRelease2, kOutput, kLimit, kLowPunch, kStereoLink,
             kLinkQuality };

// What shows parameters rather than meters: the five knobs and the Limit and Low Punch levers.
constexpr Rect kParameterParts[] = {{67, 49, 48, 48},  {139, 49, 48, 48}, {211, 49, 48, 48},
                                    {283, 49, 48, 48}, {355, 49, 48, 48}, {15, 97, 15, 28},
                                    {55, 165, 35, 18}};

// One effect instance with its host window.
struct Plugin {
    HostSession s;
    AEffect* e = nullptr;
    void* host = nullptr;
};

class PanelInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!driver().ready()) GTEST_SKIP() << "no display to open windows on";
    }
    void TearDown() override {
        for (auto& p : plugins) {
            p->s.dispatch(qx::effEditClose);
            p->s.destroy();
            if (p->host != nullptr) driver().destroyHostWindow(p->host);
        }
    }

    // A fresh instance, its host window's client area at (x, y) on the screen.
    Plugin& plugin(int x, int y) {
        plugins.push_back(std::make_unique<Plugin>());
        Plugin& p = *plugins.back();
        EXPECT_TRUE(p.s.load(modulePath())) << p.s.error();
        p.e = p.s.create();
        EXPECT_NE(p.e, nullptr) << p.s.error();
        p.host = driver().createHostWindow(x, y);
        p.s.takeAutomation();
        return p;
    }

    static intptr_t open(Plugin& p) {
        return p.s.dispatch(qx::effEditOpen, 0, driver().openValue(), p.host);
    }
    static void close(Plugin& p) { p.s.dispatch(qx::effEditClose); }
    static void tick(std::initializer_list<Plugin*> ps, int n = 1) {
        std::vector<AEffect*> effects;
        for (Plugin* p : ps) effects.push_back(p->e);
        for (int i = 0; i < n; ++i) driver().tick(effects);
    }
    static void set(Plugin& p, int index, float value) { p.e->setParameter(p.e, index, value); }
    static float get(Plugin& p, int index) { return p.e->getParameter(p.e, index); }

    static std::vector<uint32_t> screen(Plugin& p) {
        std::vector<uint32_t> px;
        EXPECT_TRUE(driver().readPanel(p.host, px)) << "no panel in the host window";
        return px;
    }

    // The same state as the module's memory-only layer draws it: the panel reopened there and
    // one full redraw. The native window must be closed (a panel is open in one place only).
    static std::vector<uint32_t> headless(Plugin& p) {
        auto px = qxhost::PanelClient(p.s.effect()).snapshot();
        EXPECT_FALSE(px.empty()) << "the panel did not draw headless";
        return px;
    }
    // As the audio thread leaves the meter fields after a block.
    static void setMeters(Plugin& p, float minGain, float peakOut, int clipHold, int single) {
        EXPECT_TRUE(qxhost::PanelClient(p.s.effect()).setMeters(minGain, peakOut, clipHold, single));
    }

    static void click(Plugin& p, bool right, int x, int y) {
        driver().pointerTo(p.host, x, y);
        driver().button(right, true);
        tick({&p});
        driver().button(right, false);
        tick({&p});
    }

    std::vector<std::unique_ptr<Plugin>> plugins;
};

TEST_F(PanelInWindow, OpensAsTheHostWindowsChildAndClosesWithIt) {
    Plugin& p = plugin(20, 20);
    ERect* rect = nullptr;
    ASSERT_EQ(p.s.dispatch(qx::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(open(p), 1);
    EXPECT_EQ(driver().panelsIn(p.host), 1);
    EXPECT_EQ(open(p), 0) << "a second open while open";
    EXPECT_EQ(driver().panelsIn(p.host), 1);
    // Some hosts ask for the size only after opening.
    rect = nullptr;
    ASSERT_EQ(p.s.dispatch(qx::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, kPanelWidth);
    EXPECT_EQ(rect->bottom - rect->top, kPanelHeight);
    tick({&p}, 2);
    close(p);
    EXPECT_EQ(driver().panelsIn(p.host), 0);
    close(p); // harmless
}

TEST_F(PanelInWindow, FullRedrawShowsTheHeadlessPictureOfTheSameState) {
    Plugin& p = plugin(20, 20);
    const float values[] = {0.25f, 0.75f, 1.0f, 0.0f, 0.7f, 0.0f, 1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 9; ++i) set(p, i, values[i]);
    ASSERT_EQ(open(p), 1);
    tick({&p});
    // 6 dB of gain reduction, a peak at -3 dB, a clip, one channel processed (levers dimmed),
    // drawn by exactly one tick so the memory-only layer's next tick shows the same.
    setMeters(p, 0.5f, 0.7f, 27, 1);
    tick({&p});
    const auto shown = screen(p);
    close(p);
    EXPECT_TRUE(samePicture(shown, headless(p)));
}

TEST_F(PanelInWindow, MouseSessionSetsTheValuesAndReportsThem) {
    // Low on the screen, so the pointer can travel far above the panel.
    Plugin& p = plugin(100, 450);
    ASSERT_EQ(open(p), 1);
    tick({&p}, 2);

    // A left click flips Low Punch on.
    click(p, false, 72, 174);
    EXPECT_EQ(get(p, kLowPunch), 1.0f);
    auto a = p.s.takeAutomation();
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].index, kLowPunch);
    EXPECT_EQ(a[0].value, 1.0f);

    // Pressure dragged 40 pixels up: 0.7 + 40 x 0.0025.
    driver().pointerTo(p.host, 163, 73);
    driver().button(false, true);
    tick({&p});
    driver().pointerTo(p.host, 163, 33);
    tick({&p}, 2);
    driver().button(false, false);
    tick({&p});
    EXPECT_FLOAT_EQ(get(p, kPressure), 0.8f);
    a = p.s.takeAutomation();
    ASSERT_FALSE(a.empty());
    for (const AutomationCall& c : a) EXPECT_EQ(c.index, kPressure);
    EXPECT_FLOAT_EQ(a.back().value, 0.8f);

    // Input dragged far above the window, and sideways: the grab keeps the pointer coming
    // (at negative positions) and the value stops at 1.
    driver().pointerTo(p.host, 91, 73);
    driver().button(false, true);
    tick({&p});
    driver().pointerTo(p.host, 91, -440);
    tick({&p}, 2);
    driver().pointerTo(p.host, 600, -430);
    tick({&p});
    driver().button(false, false);
    tick({&p});
    EXPECT_EQ(get(p, kInput), 1.0f);
    a = p.s.takeAutomation();
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.back().index, kInput);
    EXPECT_EQ(a.back().value, 1.0f);

    // Released, the knob no longer follows.
    driver().pointerTo(p.host, 91, 150);
    tick({&p}, 2);
    EXPECT_EQ(get(p, kInput), 1.0f);
    EXPECT_TRUE(p.s.takeAutomation().empty());

    // A right click puts Release1 back to its default.
    set(p, kRelease1, 0.9f);
    tick({&p});
    click(p, true, 235, 73);
    EXPECT_EQ(get(p, kRelease1), 0.4f);
    a = p.s.takeAutomation();
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].index, kRelease1);
    EXPECT_EQ(a[0].value, 0.4f);

    // Everything above was drawn a piece at a time; it must add up to a full redraw.
    const auto shown = screen(p);
    close(p);
    EXPECT_TRUE(samePicture(shown, headless(p)));
}

TEST_F(PanelInWindow, AboutImageStaysAcrossReopeningUntilTheNextClick) {
    Plugin& p = plugin(20, 20);
    ASSERT_EQ(open(p), 1);
    tick({&p});
    click(p, false, 39, 71);
    const auto about = screen(p);
    close(p);
    EXPECT_TRUE(samePicture(about, headless(p)));

    ASSERT_EQ(open(p), 1);
    tick({&p});
    EXPECT_TRUE(samePicture(screen(p), about)) << "reopened";
    // This click only takes the image away; the knob under it keeps its value.
    click(p, false, 163, 73);
    EXPECT_EQ(get(p, kPressure), 0.7f);
    EXPECT_TRUE(p.s.takeAutomation().empty());
    const auto panel = screen(p);
    EXPECT_FALSE(samePicture(panel, about));
    close(p);
    EXPECT_TRUE(samePicture(panel, headless(p)));
}

TEST_F(PanelInWindow, ReopensAnyNumberOfTimes) {
    Plugin& p = plugin(20, 20);
    set(p, kOutput, 0.25f);
    const auto wanted = headless(p);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(open(p), 1) << "round " << round;
        tick({&p}, 2);
        EXPECT_TRUE(samePicture(screen(p), wanted)) << "round " << round;
        close(p);
        EXPECT_EQ(driver().panelsIn(p.host), 0);
    }
}

TEST_F(PanelInWindow, TwoInstancesOpenTogetherAndCloseInEitherOrder) {
    Plugin& a = plugin(0, 0);
    Plugin& b = plugin(500, 0);
    set(a, kInput, 1.0f);
    set(b, kOutput, 0.0f);
    set(b, kLowPunch, 1.0f);
    const auto wantedA = headless(a);
    const auto wantedB = headless(b);
    ASSERT_FALSE(samePicture(wantedA, wantedB));

    ASSERT_EQ(open(a), 1);
    ASSERT_EQ(open(b), 1);
    tick({&a, &b}, 2);
    EXPECT_TRUE(samePicture(screen(a), wantedA));
    EXPECT_TRUE(samePicture(screen(b), wantedB));

    // The first one closed, the second one goes on drawing from the shared bitmaps.
    close(a);
    EXPECT_EQ(driver().panelsIn(a.host), 0);
    set(b, kInput, 0.5f);
    tick({&b}, 2);
    const auto changedB = screen(b);
    close(b);
    EXPECT_TRUE(samePicture(changedB, headless(b)));

    // Both again, closed the other way round.
    ASSERT_EQ(open(a), 1);
    ASSERT_EQ(open(b), 1);
    tick({&a, &b}, 2);
    close(b);
    tick({&a});
    EXPECT_TRUE(samePicture(screen(a), wantedA));
    close(a);
    EXPECT_EQ(driver().panelsIn(a.host), 0);
    EXPECT_EQ(driver().panelsIn(b.host), 0);

    // With both closed the shared graphics are gone; a new opening makes them again.
    ASSERT_EQ(open(a), 1);
    tick({&a}, 2);
    EXPECT_TRUE(samePicture(screen(a), wantedA));
}

TEST_F(PanelInWindow, TurnsAwayParentsThatAreNotWindows) {
    Plugin& p = plugin(20, 20);
    for (void* notWindow : driver().notWindows())
        EXPECT_EQ(p.s.dispatch(qx::effEditOpen, 0, driver().openValue(), notWindow), 0)
            << notWindow;
    // Nothing of the failed attempts stays behind to spoil a proper opening.
    const auto wanted = headless(p);
    ASSERT_EQ(open(p), 1);
    tick({&p}, 2);
    EXPECT_TRUE(samePicture(screen(p), wanted));
}

TEST_F(PanelInWindow, HostWindowDestroyedBeforeTheEditorClosed) {
    Plugin& p = plugin(20, 20);
    ASSERT_EQ(open(p), 1);
    tick({&p});
    driver().destroyHostWindow(p.host);
    p.host = nullptr;
    tick({&p}, 3);
    close(p);
    // The module is none the worse for it.
    p.host = driver().createHostWindow(20, 20);
    const auto wanted = headless(p);
    ASSERT_EQ(open(p), 1);
    tick({&p}, 2);
    EXPECT_TRUE(samePicture(screen(p), wanted));
}

TEST_F(PanelInWindow, EffectClosedWithItsPanelStillOpen) {
    Plugin& p = plugin(20, 20);
    ASSERT_EQ(open(p), 1);
    tick({&p});
    p.s.destroy();
    EXPECT_EQ(driver().panelsIn(p.host), 0);
}

// As a Linux host was seen to run it: the editor on a thread of its own (its window too), host
// writes from another thread and audio from a third, all at once.
TEST_F(PanelInWindow, EditorThreadBesideAudioAndHostWrites) {
    Plugin& p = plugin(0, 0);
    driver().destroyHostWindow(p.host);
    p.host = nullptr;
    p.s.dispatch(qx::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.s.dispatch(qx::effSetBlockSize, 0, 256);
    p.s.dispatch(qx::effMainsChanged, 0, 1);

    std::atomic<bool> stop{false};
    std::atomic<void*> host{nullptr};
    std::atomic<intptr_t> opened{-1};
    std::atomic<int> ticks{0};
    std::thread editor([&] {
        void* window = driver().createHostWindow(20, 20);
        opened = p.s.dispatch(qx::effEditOpen, 0, driver().openValue(), window);
        host = window;
        while (!stop) {
            driver().tick({p.e});
            ++ticks;
        }
        close(p);
    });
    std::thread audio([&] {
        std::vector<float> in(256), out[2] = {std::vector<float>(256), std::vector<float>(256)};
        for (size_t i = 0; i < in.size(); ++i) in[i] = 1.2f * float(std::sin(0.05 * double(i)));
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        while (!stop) {
            p.e->processReplacing(p.e, inputs, outputs, 256);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    for (int i = 0; i < 150; ++i) {
        set(p, kInput, float(i % 10) / 10.0f);
        set(p, kLowPunch, float(i % 2));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    set(p, kInput, 0.3f);
    set(p, kLowPunch, 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    while (host.load() == nullptr) std::this_thread::yield();
    p.host = host;
    const auto shown = screen(p);
    stop = true;
    editor.join();
    audio.join();

    EXPECT_EQ(opened, 1);
    EXPECT_GT(ticks, 5);
    EXPECT_TRUE(p.s.takeAutomation().empty()) << "host writes are not reported back";
    p.s.dispatch(qx::effMainsChanged, 0, 0);
    // The meters moved with the audio; the controls must show the last values.
    const auto wanted = headless(p);
    for (const Rect& r : kParameterParts) EXPECT_TRUE(samePicture(shown, wanted, r)) << r.x;
}

} // namespace
