// The panel as a host-side tool reaches it: the built module, the effect record, and the private
// channel. Draws with the module's own artwork.
#include "core/PrivateRequests.h"
#include "editor/platform/BmpImage.h"
#include "host/HostSession.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace qxhost;

namespace {

qx::BmpImage artwork(const char* name) {
    std::ifstream f(std::string(QX_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)), {});
    qx::BmpImage image;
    image.decode(bytes.data(), bytes.size());
    return image;
}

class PanelModule : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(s.load(QX_MODULE_PATH)) << s.error();
        ASSERT_NE(s.create(), nullptr);
        r.size = sizeof r;
        s.takeAutomation();
    }
    intptr_t send(intptr_t command) { return s.dispatch(qx::effVendorSpecific, QX_HEADLESS_INDEX, command, &r); }
    bool mouse(int event, int button, int x, int y) {
        r.event = event;
        r.button = button;
        r.x = x;
        r.y = y;
        return send(qxHeadlessMouse) == 1;
    }
    int tick(int n) {
        r.count = n;
        return send(qxHeadlessTick) == 1 ? r.count : -1;
    }
    std::vector<uint32_t> pixels() {
        std::vector<uint32_t> px(QX_HEADLESS_WIDTH * QX_HEADLESS_HEIGHT);
        r.pixels = px.data();
        EXPECT_EQ(send(qxHeadlessReadPixels), 1);
        return px;
    }

    HostSession s;
    QxHeadlessRequest r{};
};

} // namespace

TEST_F(PanelModule, ChannelAnswersOnlyWhatItKnows) {
    EXPECT_EQ(tick(1), -1); // nothing open yet
    EXPECT_EQ(send(qxHeadlessClose), 0);
    EXPECT_EQ(send(99), 0);
    r.size = 8;
    EXPECT_EQ(send(qxHeadlessOpen), 0);
    r.size = sizeof r;
    EXPECT_EQ(s.dispatch(qx::effVendorSpecific, QX_HEADLESS_INDEX + 1, qxHeadlessOpen, &r), 0);
    ASSERT_EQ(send(qxHeadlessOpen), 1);
    EXPECT_EQ(send(qxHeadlessOpen), 0);
    EXPECT_EQ(send(qxHeadlessClose), 1);
    EXPECT_EQ(send(qxHeadlessClose), 0);
}

TEST_F(PanelModule, ScriptedDragAndClicksGiveTheValuesAndReports) {
    ASSERT_EQ(send(qxHeadlessOpen), 1);
    ASSERT_EQ(tick(1), 1);
    const auto before = pixels();
    // Pressure 40 pixels up, held for a few ticks, released.
    ASSERT_TRUE(mouse(qxMousePress, qxButtonLeft, 160, 70));
    ASSERT_TRUE(mouse(qxMouseMove, qxButtonLeft, 160, 30));
    tick(4);
    ASSERT_TRUE(mouse(qxMouseRelease, qxButtonLeft, 160, 30));
    // Low Punch on, Release1 back to its default.
    s.dispatch(qx::effVendorSpecific, 0, 0, nullptr); // unrelated vendor call: ignored
    mouse(qxMousePress, qxButtonLeft, 72, 174);
    mouse(qxMouseRelease, qxButtonLeft, 72, 174);
    AEffect* e = s.effect();
    e->setParameter(e, 2, 0.9f);
    mouse(qxMousePress, qxButtonRight, 230, 70);
    mouse(qxMouseRelease, qxButtonRight, 230, 70);
    tick(1);

    EXPECT_FLOAT_EQ(e->getParameter(e, 1), 0.8f);
    EXPECT_EQ(e->getParameter(e, 6), 1.0f);
    EXPECT_EQ(e->getParameter(e, 2), 0.4f);
    const auto a = s.takeAutomation();
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0].index, 1);
    EXPECT_FLOAT_EQ(a[0].value, 0.8f);
    EXPECT_EQ(a[1].index, 6);
    EXPECT_EQ(a[2].index, 2);
    EXPECT_EQ(a[2].value, 0.4f);
    // The Pressure knob and the Low Punch lever were redrawn; the Output knob was not touched.
    const auto after = pixels();
    auto differs = [&](int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (before[y * 450 + x] != after[y * 450 + x]) return true;
        return false;
    };
    EXPECT_TRUE(differs(139, 49, 48, 48));
    EXPECT_TRUE(differs(55, 165, 35, 18));
    EXPECT_FALSE(differs(355, 49, 48, 48));
    EXPECT_EQ(send(qxHeadlessClose), 1);
}

TEST_F(PanelModule, MetersDrawFromTheModulesArtwork) {
    const qx::BmpImage bar = artwork("bar.bmp");
    const qx::BmpImage panel = artwork("panel.bmp");
    ASSERT_EQ(bar.width(), 132);
    ASSERT_EQ(panel.width(), 450);
    ASSERT_EQ(send(qxHeadlessOpen), 1);
    r.minGain = 0.5f;
    r.peakOut = 1.0f;
    ASSERT_EQ(send(qxHeadlessSetMeters), 1);
    ASSERT_EQ(tick(1), 1);
    const auto px = pixels();
    // Segments 20 to 27 fully lit, 19 with frame 5, 18 as the background has it.
    auto segmentIs = [&](int s, const qx::BmpImage& from, int fromX, int fromY) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x)
                if (px[(139 + y) * 450 + 44 + 13 * s + x] != from.pixels()[(fromY + y) * from.width() + fromX + x])
                    return false;
        return true;
    };
    for (int seg = 20; seg < 28; ++seg) EXPECT_TRUE(segmentIs(seg, bar, 120, 0)) << seg;
    EXPECT_TRUE(segmentIs(19, bar, 60, 0));
    EXPECT_TRUE(segmentIs(18, panel, 44 + 13 * 18, 139));
    EXPECT_EQ(send(qxHeadlessClose), 1);
}
