// The CLAP module's panel in a real window, driven as a CLAP host drives it: gui create and
// set_parent in a window of ours, then the host's timer and (on Linux) the X connection's fd
// that the plug-in registered. What the screen shows is held against the module's memory-only
// rendering; a scripted drag must reach the host as gesture begin, values and end.
#include "SamePicture.h"
#include "WindowDriver.h"

#include "host/ClapSession.h"
#include "host/PanelClient.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace qxgui;
using qxhost::ClapSession;
using qxhost::InputEvents;
using qxhost::OutputEvents;

namespace {

#if defined(_WIN32)
constexpr const char* kApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kApi = CLAP_WINDOW_API_X11;
#endif

class ClapPanelInWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!driver().ready()) GTEST_SKIP() << "no display to open windows on";
        if (clapModulePath()[0] == '\0') GTEST_SKIP() << "no CLAP module given";
        ASSERT_TRUE(s.load(clapModulePath()) && s.create()) << s.error();
        gui = s.ext<clap_plugin_gui>(CLAP_EXT_GUI);
        ASSERT_NE(gui, nullptr);
        // Low on the screen, so the pointer can travel above the panel.
        host = driver().createHostWindow(100, 450);
    }
    void TearDown() override {
        if (gui != nullptr) gui->destroy(s.plugin());
        s.unload();
        if (host != nullptr) driver().destroyHostWindow(host);
    }

    bool open() {
        clap_window w{};
        w.api = kApi;
#if defined(_WIN32)
        w.win32 = host;
#else
        w.x11 = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host));
#endif
        return gui->create(s.plugin(), kApi, false) && gui->set_parent(s.plugin(), &w) &&
               gui->show(s.plugin());
    }
    // One panel tick as the host gives it: the period waited out, the window system's events,
    // the connection's fd reported readable and the instance's timer fired; then the flush the
    // plug-in asked for, its events kept in `sent`.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            driver().tick({});
            s.fireFds();
            s.fireTimers();
            if (s.flushRequests > flushed) {
                flushed = s.flushRequests;
                s.flush(nullptr, &sent);
            }
        }
    }
    void set(clap_id id, double v) {
        InputEvents in;
        in.events.push_back(qxhost::paramValueEvent(0, id, v));
        s.flush(&in, nullptr);
    }

    ClapSession s;
    const clap_plugin_gui* gui = nullptr;
    void* host = nullptr;
    OutputEvents sent;
    int flushed = 0;
};

TEST_F(ClapPanelInWindow, ShowsTheHeadlessPictureOfTheSameState) {
    const double values[] = {0.25, 0.75, 1.0, 0.0, 0.7, 0.0, 1.0, 0.0, 1.0};
    for (clap_id i = 0; i < 9; ++i)
        set(i, values[i]);
    ASSERT_TRUE(open());
    EXPECT_EQ(driver().panelsIn(host), 1);
#if !defined(_WIN32)
    EXPECT_EQ(s.fds.size(), 1u) << "the X connection, for the host to watch";
#endif
    tick();
    qxhost::PanelClient panel(s);
    ASSERT_TRUE(panel.setMeters(0.5f, 0.7f, 27, 1));
    tick();
    std::vector<uint32_t> shown;
    ASSERT_TRUE(driver().readPanel(host, shown));
    gui->destroy(s.plugin());
    EXPECT_EQ(driver().panelsIn(host), 0);
    EXPECT_TRUE(s.fds.empty());
    EXPECT_TRUE(samePicture(shown, panel.snapshot()));
}

TEST_F(ClapPanelInWindow, ADragReachesTheHostAsOneGesture) {
    ASSERT_TRUE(open());
    tick(2);
    // Pressure dragged 40 pixels up: 0.7 + 40 x 0.0025.
    driver().pointerTo(host, 163, 73);
    driver().button(false, true);
    tick();
    driver().pointerTo(host, 163, 33);
    tick(2);
    driver().button(false, false);
    tick();
    EXPECT_EQ(s.value(1), static_cast<double>(0.8f));
    ASSERT_GE(sent.events.size(), 3u) << sent.describe();
    EXPECT_EQ(sent.events.front().header.type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    EXPECT_EQ(sent.events.back().header.type, CLAP_EVENT_PARAM_GESTURE_END);
    const auto& last = sent.events[sent.events.size() - 2];
    ASSERT_EQ(last.header.type, CLAP_EVENT_PARAM_VALUE);
    EXPECT_EQ(last.value.param_id, 1u);
    EXPECT_EQ(last.value.value, static_cast<double>(0.8f));
    for (const auto& e : sent.events)
        EXPECT_EQ(e.gesture.param_id, 1u) << sent.describe();
}

} // namespace
