#pragma once
// What every window layer must do for the panel, written once against the Platform interface
// and instantiated per backend. A backend's traits say how to reach it from a test:
//
//   static qx::Platform& platform();
//   static void prepare();                       // before each test (bitmaps, display)
//   static void* parent();                       // a parent window for createWindow
//   static void pump(qx::PlatformWindow*, int ticks);  // run the window's events for that long
//   static bool mouse(qx::PlatformWindow*, qx::PanelEvent::Kind, int x, int y);
//   static void readWindow(qx::PlatformWindow*, uint32_t* out);  // 450 x 200, 0x00RRGGBB
//   static std::vector<uint32_t> bitmap(int id, int& width, int& height);  // what loadBitmap loads

#include "editor/platform/Platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace qxtest {

struct EventLog final : qx::PanelEventSink {
    void handlePanelEvent(const qx::PanelEvent& e) override { events.push_back(e); }
    int count(qx::PanelEvent::Kind k) const {
        int n = 0;
        for (const auto& e : events) n += e.kind == k;
        return n;
    }
    std::vector<qx::PanelEvent> events;
};

template <typename Traits>
class PlatformConformance : public ::testing::Test {
protected:
    static constexpr int kW = 450, kH = 200;

    void SetUp() override {
        Traits::prepare();
        ASSERT_TRUE(p.registerWindowClass());
        window = p.createWindow(Traits::parent(), kW, kH, &log);
        ASSERT_NE(window, nullptr);
        back = p.createSurface(window, kW, kH);
        ASSERT_NE(back, nullptr);
    }
    void TearDown() override {
        for (qx::PlatformSurface* s : loaded) p.destroySurface(s);
        p.destroySurface(back);
        if (window != nullptr) p.destroyWindow(window);
        p.unregisterWindowClass();
    }
    qx::PlatformSurface* load(int id) {
        qx::PlatformSurface* s = p.loadBitmap(window, id);
        if (s != nullptr) loaded.push_back(s);
        return s;
    }
    void showAll(const qx::PanelRect& r) {
        ASSERT_TRUE(p.beginShow(window));
        p.show(window, back, r);
        p.endShow(window);
    }
    std::vector<uint32_t> screen() {
        std::vector<uint32_t> px(kW * kH);
        Traits::readWindow(window, px.data());
        return px;
    }

    qx::Platform& p = Traits::platform();
    EventLog log;
    qx::PlatformWindow* window = nullptr;
    qx::PlatformSurface* back = nullptr;
    std::vector<qx::PlatformSurface*> loaded;
};

TYPED_TEST_SUITE_P(PlatformConformance);

TYPED_TEST_P(PlatformConformance, NewWindowIsPaintedThenTicksWithItsTimerId) {
    const uintptr_t id = this->p.startTimer(this->window, 1, 30);
    ASSERT_NE(id, 0u);
    TypeParam::pump(this->window, 3);
    ASSERT_GE(this->log.count(qx::PanelEvent::Timer), 1);
    EXPECT_GE(this->log.count(qx::PanelEvent::Paint), 1);
    size_t firstTimer = 0, firstPaint = 0;
    for (size_t i = this->log.events.size(); i-- > 0;) {
        if (this->log.events[i].kind == qx::PanelEvent::Timer) {
            EXPECT_EQ(this->log.events[i].timer, id);
            firstTimer = i;
        }
        if (this->log.events[i].kind == qx::PanelEvent::Paint) firstPaint = i;
    }
    EXPECT_LT(firstPaint, firstTimer);
    this->p.stopTimer(this->window, id);
    this->log.events.clear();
    TypeParam::pump(this->window, 3);
    EXPECT_EQ(this->log.count(qx::PanelEvent::Timer), 0);
}

TYPED_TEST_P(PlatformConformance, EverySixBitmapsLoadAndNoOthers) {
    for (int id = 107; id <= 112; ++id) EXPECT_NE(this->load(id), nullptr) << id;
    EXPECT_EQ(this->load(106), nullptr);
    EXPECT_EQ(this->load(113), nullptr);
}

TYPED_TEST_P(PlatformConformance, CopiedBitmapReachesTheWindowPixelForPixel) {
    int w = 0, h = 0;
    const std::vector<uint32_t> panel = TypeParam::bitmap(107, w, h);
    ASSERT_EQ(w, this->kW);
    ASSERT_EQ(h, this->kH);
    this->p.transfer(this->back, {0, 0, w, h}, this->load(107), 0, 0, qx::RasterOp::Copy);
    this->showAll({0, 0, w, h});
    EXPECT_EQ(this->screen(), panel);
}

TYPED_TEST_P(PlatformConformance, MaskAndFrameComposeTheKnobOverTheBackground) {
    int pw = 0, ph = 0, kw = 0, kh = 0;
    const auto panel = TypeParam::bitmap(107, pw, ph);
    const auto knob = TypeParam::bitmap(111, kw, kh);
    qx::PlatformSurface* knobs = this->load(111);
    this->p.transfer(this->back, {0, 0, pw, ph}, this->load(107), 0, 0, qx::RasterOp::Copy);
    const qx::PanelRect at{139, 49, 48, 48};
    const int frame = 9;
    this->p.transfer(this->back, at, knobs, 0, 0, qx::RasterOp::And);
    this->p.transfer(this->back, at, knobs, 48 * frame, 0, qx::RasterOp::Or);
    this->showAll({0, 0, pw, ph});
    const auto px = this->screen();
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            const uint32_t want = (panel[(at.y + y) * pw + at.x + x] & knob[y * kw + x]) |
                                  knob[y * kw + 48 * frame + x];
            ASSERT_EQ(px[(at.y + y) * pw + at.x + x], want) << x << "," << y;
        }
    }
}

TYPED_TEST_P(PlatformConformance, ShowCopiesOnlyItsRectangle) {
    int w = 0, h = 0;
    const auto panel = TypeParam::bitmap(107, w, h);
    this->p.transfer(this->back, {0, 0, w, h}, this->load(107), 0, 0, qx::RasterOp::Copy);
    this->showAll({0, 0, w, h});
    this->p.transfer(this->back, {0, 14, 450, 175}, this->load(112), 0, 0, qx::RasterOp::Copy);
    const qx::PanelRect part{10, 20, 30, 40};
    this->showAll(part);
    int aw = 0, ah = 0;
    const auto about = TypeParam::bitmap(112, aw, ah);
    const auto px = this->screen();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= part.x && x < part.x + part.w && y >= part.y && y < part.y + part.h;
            const uint32_t want = inside ? about[(y - 14) * aw + x] : panel[y * w + x];
            ASSERT_EQ(px[y * w + x], want) << x << "," << y;
        }
    }
}

TYPED_TEST_P(PlatformConformance, MouseOutsideTheWindowArrivesOnlyWhileCaptured) {
    ASSERT_TRUE(TypeParam::mouse(this->window, qx::PanelEvent::LeftDown, 100, 60));
    this->p.captureMouse(this->window);
    EXPECT_TRUE(TypeParam::mouse(this->window, qx::PanelEvent::MouseMove, -30, 250));
    EXPECT_TRUE(TypeParam::mouse(this->window, qx::PanelEvent::LeftUp, -30, 250));
    this->p.releaseMouse(this->window);
    EXPECT_FALSE(TypeParam::mouse(this->window, qx::PanelEvent::MouseMove, -40, 260));
    std::vector<qx::PanelEvent> mouse;
    for (const auto& e : this->log.events)
        if (e.kind >= qx::PanelEvent::MouseMove) mouse.push_back(e);
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0].kind, qx::PanelEvent::LeftDown);
    EXPECT_EQ(mouse[0].x, 100);
    EXPECT_EQ(mouse[0].y, 60);
    EXPECT_EQ(mouse[1].x, -30);
    EXPECT_EQ(mouse[1].y, 250);
    EXPECT_EQ(mouse[2].kind, qx::PanelEvent::LeftUp);
}

REGISTER_TYPED_TEST_SUITE_P(PlatformConformance, NewWindowIsPaintedThenTicksWithItsTimerId,
                            EverySixBitmapsLoadAndNoOthers, CopiedBitmapReachesTheWindowPixelForPixel,
                            MaskAndFrameComposeTheKnobOverTheBackground, ShowCopiesOnlyItsRectangle,
                            MouseOutsideTheWindowArrivesOnlyWhileCaptured);

} // namespace qxtest
