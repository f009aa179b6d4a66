// Opening and closing: the shared bitmaps and window class across instances, failures, the
// editor's destruction with its window open, and redraw requests from other threads.
#include "PanelHarness.h"

#include "editor/PanelResources.h"

#include <functional>

using namespace qx;
using namespace qxtest;

namespace {

std::unique_ptr<EditableLimiter> makeEffect() { return std::make_unique<EditableLimiter>(recordingHost); }

class PanelLifecycle : public ::testing::Test {
protected:
    void SetUp() override { useSyntheticBitmaps(); }
    void TearDown() override { useSyntheticBitmaps(); }
    HeadlessPlatform& platform = HeadlessPlatform::instance();
};

// Forwards to the headless backend and runs `duringShow` once inside the first show of a tick,
// as a host thread writing a parameter while the panel draws.
class InterruptingPlatform final : public Platform {
public:
    const char* name() const override { return "interrupting"; }
    bool registerWindowClass() override { return h.registerWindowClass(); }
    void unregisterWindowClass() override { h.unregisterWindowClass(); }
    PlatformSurface* loadBitmap(PlatformWindow* r, int id) override { return h.loadBitmap(r, id); }
    void destroySurface(PlatformSurface* s) override { h.destroySurface(s); }
    PlatformWindow* createWindow(void* p, int w, int ht, PanelEventSink* s) override {
        return h.createWindow(p, w, ht, s);
    }
    void destroyWindow(PlatformWindow* w) override { h.destroyWindow(w); }
    PlatformSurface* createSurface(PlatformWindow* w, int x, int y) override { return h.createSurface(w, x, y); }
    uintptr_t startTimer(PlatformWindow* w, uintptr_t id, int ms) override { return h.startTimer(w, id, ms); }
    void stopTimer(PlatformWindow* w, uintptr_t t) override { h.stopTimer(w, t); }
    void captureMouse(PlatformWindow* w) override { h.captureMouse(w); }
    void releaseMouse(PlatformWindow* w) override { h.releaseMouse(w); }
    void idle(PlatformWindow* w) override { h.idle(w); }
    void transfer(PlatformSurface* i, const PanelRect& t, PlatformSurface* f, int x, int y, RasterOp op) override {
        h.transfer(i, t, f, x, y, op);
    }
    bool beginShow(PlatformWindow* w) override { return h.beginShow(w); }
    void show(PlatformWindow* w, PlatformSurface* b, const PanelRect& r) override {
        if (duringShow) {
            auto f = std::move(duringShow);
            duringShow = nullptr;
            f();
        }
        h.show(w, b, r);
    }
    void endShow(PlatformWindow* w) override { h.endShow(w); }

    std::function<void()> duringShow;
    HeadlessPlatform& h = HeadlessPlatform::instance();
};

} // namespace

TEST_F(PanelLifecycle, TwoPanelsShareOneSetOfBitmapsUntilTheLastCloses) {
    auto a = makeEffect(), b = makeEffect();
    const int loadsBefore = platform.bitmapsLoaded();
    ASSERT_EQ(a->panelEditor()->openOn(platform, nullptr), 1);
    ASSERT_EQ(b->panelEditor()->openOn(platform, nullptr), 1);
    EXPECT_EQ(platform.bitmapsLoaded() - loadsBefore, kBitmapCount);
    EXPECT_EQ(platform.liveSurfaces(), kBitmapCount + 2); // plus a back buffer each
    EXPECT_EQ(PanelResources::openCount(platform), 2);

    a->panelEditor()->close();
    EXPECT_TRUE(platform.windowClassRegistered());
    // The second panel still draws completely from the shared bitmaps.
    b->setParameter(kInput, 1.0f);
    PlatformWindow* w = b->panelEditor()->panelWindow();
    platform.tick(w, 1);
    std::vector<uint32_t> px(450 * 200);
    platform.readPixels(w, px.data());
    EXPECT_EQ(originOf(px[73 * 450 + 91]), (Origin{kKnobBitmap, 48 * 30 + 24, 24}));
    EXPECT_EQ(originOf(px[0]), (Origin{kPanelBitmap, 0, 0}));

    b->panelEditor()->close();
    EXPECT_EQ(platform.liveSurfaces(), 0);
    EXPECT_EQ(platform.liveWindows(), 0);
    EXPECT_FALSE(platform.windowClassRegistered());
    EXPECT_EQ(PanelResources::openCount(), 0);
    // Opening again loads them again.
    ASSERT_EQ(a->panelEditor()->openOn(platform, nullptr), 1);
    EXPECT_EQ(platform.bitmapsLoaded() - loadsBefore, 2 * kBitmapCount);
}

TEST_F(PanelLifecycle, DestroyingTheEffectWithItsPanelOpenClosesThePanelFirst) {
    auto e = makeEffect();
    ASSERT_EQ(e->panelEditor()->openOn(platform, nullptr), 1);
    EXPECT_EQ(platform.liveWindows(), 1);
    e.reset();
    EXPECT_EQ(platform.liveWindows(), 0);
    EXPECT_EQ(platform.liveSurfaces(), 0);
    EXPECT_EQ(PanelResources::openCount(), 0);
    EXPECT_FALSE(platform.windowClassRegistered());
}

TEST_F(PanelLifecycle, OpenWithoutBitmapsFailsAndLeavesNothingBehind) {
    auto e = makeEffect();
    useNoBitmaps();
    EXPECT_EQ(e->panelEditor()->openOn(platform, nullptr), 0);
    EXPECT_FALSE(e->panelEditor()->isWindowOpen());
    EXPECT_EQ(platform.liveWindows(), 0);
    EXPECT_EQ(platform.liveSurfaces(), 0);
    EXPECT_FALSE(platform.windowClassRegistered());
    EXPECT_EQ(PanelResources::openCount(), 0);
    useSyntheticBitmaps();
    EXPECT_EQ(e->panelEditor()->openOn(platform, nullptr), 1);
}

TEST_F(PanelLifecycle, SecondOpenIsRefusedAndSecondCloseIsHarmless) {
    auto e = makeEffect();
    PanelEditor* p = e->panelEditor();
    ASSERT_EQ(p->openOn(platform, nullptr), 1);
    EXPECT_EQ(p->openOn(platform, nullptr), 0);
    EXPECT_EQ(platform.liveWindows(), 1);
    p->close();
    p->close();
    EXPECT_EQ(PanelResources::openCount(), 0);
}

TEST_F(PanelLifecycle, HostWriteWhileATickDrawsIsDrawnByTheNextTick) {
    auto e = makeEffect();
    InterruptingPlatform interrupting;
    PanelEditor* p = e->panelEditor();
    ASSERT_EQ(p->openOn(interrupting, nullptr), 1);
    platform.tick(p->panelWindow(), 1);
    interrupting.duringShow = [&] { e->setParameter(kInput, 1.0f); };
    platform.tick(p->panelWindow(), 1);
    platform.takeShown(p->panelWindow());
    platform.tick(p->panelWindow(), 1);
    bool inputShown = false;
    for (const PanelRect& r : platform.takeShown(p->panelWindow()))
        inputShown |= r.x == 67 && r.y == 49;
    EXPECT_TRUE(inputShown);
    p->close();
}
