// The VST 3 view in a real window, driven as a VST 3 host drives it: createView, setFrame with
// a frame that is also the host's run loop, attached to a window of ours, then the run loop's
// timer and (on Linux) the X connection's fd that the view registered. What the screen shows is
// held against the same instance's memory-only rendering; a scripted drag must reach the host's
// component handler as beginEdit, performEdit and endEdit.
//
// Built for Linux (X11 driver) and for Windows (Win32 driver, run under wine); the module is the
// program's first argument.
#include "SamePicture.h"
#include "WindowDriver.h"

#include "core/PrivateRequests.h"
#include "dsp/ParamIndex.h"
#include "tests/vst3/Vst3TestHost.h"
#include "vst3/Vst3Private.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#if !defined(_WIN32)
#include <poll.h>
#endif

using namespace qxgui;
using namespace qx::vst3;
using namespace qx::vst3::test;
using qx::kNumParams;
using qx::kPressure;

namespace {

#if defined(_WIN32)
constexpr FIDString kNativeType = kPlatformTypeHWND;
constexpr FIDString kOtherType = kPlatformTypeX11EmbedWindowID;
#else
constexpr FIDString kNativeType = kPlatformTypeX11EmbedWindowID;
constexpr FIDString kOtherType = kPlatformTypeHWND;
#endif

// The host's frame, which also answers as its run loop (as Linux hosts do).
class Frame final : public HostObject<IPlugFrame>, public IRunLoop {
  public:
    tresult QX_VST3_API queryInterface(const TUID iid, void** obj) override {
        if (obj != nullptr && IRunLoop::iid.equals(iid)) {
            *obj = static_cast<IRunLoop*>(this);
            return kResultOk;
        }
        return HostObject<IPlugFrame>::queryInterface(iid, obj);
    }
    uint32 QX_VST3_API addRef() override { return HostObject<IPlugFrame>::addRef(); }
    uint32 QX_VST3_API release() override { return HostObject<IPlugFrame>::release(); }
    tresult QX_VST3_API resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }

    tresult QX_VST3_API registerEventHandler(IEventHandler* h, FileDescriptor f) override {
        fdHandler = h;
        fd = f;
        return kResultOk;
    }
    tresult QX_VST3_API unregisterEventHandler(IEventHandler* h) override {
        if (h == fdHandler) fdHandler = nullptr, fd = -1;
        return kResultOk;
    }
    tresult QX_VST3_API registerTimer(ITimerHandler* h, TimerInterval ms) override {
        timer = h;
        interval = ms;
        return kResultOk;
    }
    tresult QX_VST3_API unregisterTimer(ITimerHandler* h) override {
        if (h == timer) timer = nullptr;
        return kResultOk;
    }

    // One turn of the host's loop: the fd reported if readable, then the timer.
    void fire() {
#if !defined(_WIN32)
        pollfd p{fd, POLLIN, 0};
        if (fdHandler != nullptr && poll(&p, 1, 0) > 0) fdHandler->onFDIsSet(fd);
#endif
        if (timer != nullptr) timer->onTimer();
    }

    IEventHandler* fdHandler = nullptr;
    FileDescriptor fd = -1;
    ITimerHandler* timer = nullptr;
    TimerInterval interval = 0;
};

// The instance's own panel on the memory-only layer, through the private channel.
class Headless {
  public:
    explicit Headless(IComponent* component) {
        component->queryInterface(IPrivateRequests::iid.bytes, reinterpret_cast<void**>(&p_));
    }
    ~Headless() {
        if (p_ != nullptr) p_->release();
    }
    bool send(int32_t command) {
        r_.size = int32_t(sizeof r_);
        return p_ != nullptr && p_->request(QX_HEADLESS_INDEX, command, &r_) == 1;
    }
    bool setMeters(float minGain, float peakOut, int32_t clipHold, int32_t single) {
        r_.minGain = minGain, r_.peakOut = peakOut, r_.clipHold = clipHold,
        r_.singleChannel = single;
        return send(qxHeadlessSetMeters);
    }
    // Opens, draws one tick, reads and closes.
    std::vector<uint32_t> snapshot() {
        std::vector<uint32_t> px(size_t(QX_HEADLESS_WIDTH) * QX_HEADLESS_HEIGHT);
        r_.count = 1;
        r_.pixels = px.data();
        const bool ok = send(qxHeadlessOpen) && send(qxHeadlessTick) && send(qxHeadlessReadPixels);
        send(qxHeadlessClose);
        return ok ? px : std::vector<uint32_t>{};
    }

  private:
    IPrivateRequests* p_ = nullptr;
    QxHeadlessRequest r_{};
};

class Vst3ViewInWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!driver().ready()) GTEST_SKIP() << "no display to open windows on";
        ASSERT_NE(sharedModule().factory(), nullptr) << "module did not load";
        p.emplace();
        p->controller->setComponentHandler(&handler);
        view = p->controller->createView(kEditorViewType);
        ASSERT_NE(view, nullptr);
        // Low on the screen, so the pointer can travel above the panel.
        host = driver().createHostWindow(100, 450);
    }
    void TearDown() override {
        if (view != nullptr) {
            view->removed();
            view->release();
        }
        p.reset();
        if (host != nullptr) driver().destroyHostWindow(host);
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            driver().tick({});
            frame.fire();
        }
    }

    std::optional<Instance> p;
    ComponentHandler handler;
    Frame frame;
    IPlugView* view = nullptr;
    void* host = nullptr;
};

TEST_F(Vst3ViewInWindow, FixedSizeOnTheModulesWindowSystemOnly) {
    EXPECT_EQ(view->isPlatformTypeSupported(kNativeType), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kOtherType), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
    EXPECT_EQ(p->controller->createView(kEditorViewType), nullptr) << "one view at a time";
    ViewRect r{};
    ASSERT_EQ(view->getSize(&r), kResultOk);
    EXPECT_EQ(r.right - r.left, 450);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_EQ(view->canResize(), kResultFalse);
    ViewRect asked{10, 10, 900, 900};
    ASSERT_EQ(view->checkSizeConstraint(&asked), kResultOk);
    EXPECT_EQ(asked.right - asked.left, 450);
    EXPECT_EQ(asked.bottom - asked.top, 200);
    ViewRect other{0, 0, 500, 300};
    EXPECT_NE(view->onSize(&other), kResultOk);
    EXPECT_NE(view->getSize(nullptr), kResultOk);
    EXPECT_NE(view->attached(nullptr, kNativeType), kResultOk);
    EXPECT_NE(view->attached(host, kOtherType), kResultOk);
    EXPECT_NE(view->removed(), kResultOk) << "removed before attached";
}

TEST_F(Vst3ViewInWindow, ShowsTheHeadlessPictureOfTheSameState) {
    p->controller->setParamNormalized(qx::kOutput, 0.3);
    std::vector<double> before;
    for (ParamID id = 0; id <= kNumParams; ++id)
        before.push_back(p->controller->getParamNormalized(id));
#if !defined(_WIN32)
    EXPECT_NE(view->attached(host, kNativeType), kResultOk) << "no run loop without a frame";
    EXPECT_EQ(driver().panelsIn(host), 0);
#endif
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(host, kNativeType), kResultOk);
    EXPECT_EQ(driver().panelsIn(host), 1);
    EXPECT_NE(view->attached(host, kNativeType), kResultOk) << "attached twice";
#if !defined(_WIN32)
    EXPECT_EQ(frame.interval, 30u);
    EXPECT_NE(frame.timer, nullptr);
    EXPECT_GE(frame.fd, 0) << "the X connection, for the host to watch";
#endif
    tick();
    for (ParamID id = 0; id <= kNumParams; ++id)
        EXPECT_EQ(p->controller->getParamNormalized(id), before[id]) << "opening changed " << id;
    EXPECT_TRUE(handler.calls.empty());

    // Host changes while open, then meters as the audio thread leaves them.
    const double values[] = {0.25, 0.75, 1.0, 0.0, 0.7, 0.0, 1.0, 0.0, 1.0};
    for (ParamID i = 0; i < 9; ++i)
        p->controller->setParamNormalized(i, values[i]);
    tick();
    Headless headless(p->component);
    ASSERT_TRUE(headless.setMeters(0.5f, 0.7f, 27, 1));
    tick();
    std::vector<uint32_t> shown;
    ASSERT_TRUE(driver().readPanel(host, shown));
    EXPECT_TRUE(headless.snapshot().empty()) << "the panel is open in one place only";
    ASSERT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(driver().panelsIn(host), 0);
    EXPECT_EQ(frame.timer, nullptr);
    EXPECT_EQ(frame.fdHandler, nullptr);
    EXPECT_TRUE(samePicture(shown, headless.snapshot()));
}

TEST_F(Vst3ViewInWindow, ADragReachesTheHostAsOneEdit) {
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(host, kNativeType), kResultOk);
    tick(2);
    // Pressure dragged 40 pixels up: 0.7 + 40 x 0.0025.
    driver().pointerTo(host, 163, 73);
    driver().button(false, true);
    tick();
    driver().pointerTo(host, 163, 33);
    tick(2);
    driver().button(false, false);
    tick();
    EXPECT_EQ(p->controller->getParamNormalized(kPressure), double(0.8f));
    ASSERT_GE(handler.calls.size(), 3u);
    EXPECT_EQ(handler.calls.front(), "b1");
    EXPECT_EQ(handler.calls.back(), "e1");
    char last[48];
    std::snprintf(last, sizeof last, "p1=%g", double(0.8f));
    EXPECT_EQ(handler.calls[handler.calls.size() - 2], last);
    for (size_t i = 1; i + 1 < handler.calls.size(); ++i)
        EXPECT_EQ(handler.calls[i].rfind("p1=", 0), 0u) << handler.calls[i];
}

} // namespace

namespace qxgui {
const char* modulePath() {
    return sharedModulePath;
}
} // namespace qxgui

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') sharedModulePath = argv[i];
    return RUN_ALL_TESTS();
}
