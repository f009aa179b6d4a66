// What the panel shows after each tick: controls from the current values, the meters and their
// dynamics, the about image, and which rectangles a tick shows.
#include "PanelHarness.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

using namespace qx;
using namespace qxtest;

namespace {

using RectSet = std::set<std::tuple<int, int, int, int>>;
RectSet asSet(const std::vector<PanelRect>& rects) {
    RectSet s;
    for (const PanelRect& r : rects) s.insert({r.x, r.y, r.w, r.h});
    return s;
}
std::tuple<int, int, int, int> key(const PanelRect& r) { return {r.x, r.y, r.w, r.h}; }

// What every tick shows even when nothing was asked for.
RectSet everyTick() {
    return {key(kClipLed), key(kPanelControls[kStereoLinkRow].image),
            key(kPanelControls[kLinkQualityRow].image), key(kBarStrip), key(kMarkerUpper),
            key(kMarkerLower)};
}

constexpr int kSegmentY = 139;
int segmentX(int s) { return kBarStrip.x + kSegmentPitch * s; }

} // namespace

class PanelRender : public PanelHarness {
protected:
    int ledFrame() const {
        const Origin o = at(kClipLed.x, kClipLed.y);
        return o.bitmap == kClipBitmap ? o.x / kLedSize : -1;
    }
    // x of the level marker's upper half, or -1.
    int markerX() const {
        for (int x = kMarkerUpper.x; x < kMarkerUpper.x + kMarkerUpper.w; ++x)
            if (at(x, kMarkerUpper.y) == Origin{kSwitchBitmap, kMarkerStripX, 0}) return x;
        return -1;
    }
};

TEST_F(PanelRender, FirstFullRedrawShowsEveryControlFromItsValue) {
    const int expected[] = {41, 9, 68, 75, 1};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(knobStripFrame(k), expected[k]) << k;
    EXPECT_EQ(switchSource(kLimitRow), 378);      // Soft, lever down
    EXPECT_EQ(switchSource(kLowPunchRow), 0);     // Off
    EXPECT_EQ(switchSource(kStereoLinkRow), 175); // On
    EXPECT_EQ(switchSource(kLinkQualityRow), 175);
    EXPECT_EQ(ledFrame(), 0);
    // The background shows everywhere else, also around each knob's disc.
    EXPECT_EQ(at(0, 0), (Origin{kPanelBitmap, 0, 0}));
    EXPECT_EQ(at(67, 49), (Origin{kPanelBitmap, 67, 49}));
    EXPECT_EQ(at(449, 199), (Origin{kPanelBitmap, 449, 199}));
}

TEST_F(PanelRender, KnobsShowTheLawsFramesForAGridOfHostValues) {
    const float grid[] = {0.0f, 0.25f, 0.4f, 0.5f, 0.7f, 0.75f, 1.0f};
    const int gain[] = {41, 58, 68, 75, 9, 12, 30};
    const int output[] = {51, 66, 75, 1, 12, 16, 31};
    for (int i = 0; i < 7; ++i) {
        for (int k = 0; k < 5; ++k) hostSets(k, grid[i]);
        tick();
        for (int k = 0; k < 4; ++k) EXPECT_EQ(knobStripFrame(k), gain[i]) << grid[i];
        EXPECT_EQ(knobStripFrame(4), output[i]) << grid[i];
    }
}

TEST_F(PanelRender, OddHostValuesDrawAsTheNearestEnd) {
    hostSets(kInput, 7.0f);
    hostSets(kOutput, -3.0f);
    hostSets(kPressure, std::nanf(""));
    hostSets(kLimit, -2.0f);
    hostSets(kLowPunch, 2.0f);
    hostSets(kStereoLink, 5.0f);
    meters().singleChannel.store(1);
    meters().clipHold.store(-4);
    tick();
    EXPECT_EQ(ledFrame(), 0);
    EXPECT_EQ(knobStripFrame(0), 30);
    EXPECT_EQ(knobStripFrame(4), 51);
    EXPECT_EQ(knobStripFrame(1), 41);
    EXPECT_EQ(switchSource(kLimitRow), 363);
    EXPECT_EQ(switchSource(kLowPunchRow), 35);
    EXPECT_EQ(switchSource(kStereoLinkRow), 328);
    // The stored values themselves are the host's, untouched.
    EXPECT_EQ(param(kInput), 7.0f);
}

TEST_F(PanelRender, QuietTickShowsOnlyTheMetersLedAndLinkLevers) {
    tick();
    EXPECT_EQ(asSet(platform.takeShown(window())), everyTick());
}

TEST_F(PanelRender, HostChangesShowOnTheNextTickWithOnlyTheirRectangles) {
    hostSets(kInput, 1.0f);
    hostSets(kLowPunch, 1.0f);
    hostSets(kStereoLink, 0.0f); // no redraw bit: the lever is drawn every tick anyway
    tick();
    RectSet want = everyTick();
    want.insert(key(kPanelControls[kInputRow].image));
    want.insert(key(kPanelControls[kLowPunchRow].image));
    EXPECT_EQ(asSet(platform.takeShown(window())), want);
    EXPECT_EQ(knobStripFrame(0), 30);
    EXPECT_EQ(switchSource(kLowPunchRow), 35);
    EXPECT_EQ(switchSource(kStereoLinkRow), 140);
    EXPECT_EQ(panel->dirtyMask.load(), 0u);
}

TEST_F(PanelRender, UncoveringTheWindowRecomposesOnTheNextTickInOneCopy) {
    platform.invalidate(window());
    EXPECT_TRUE(platform.takeShown(window()).empty());
    tick();
    const auto shown = platform.takeShown(window());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(key(shown[0]), key(kWholePanel));
}

TEST_F(PanelRender, ForeignTimerAndIdleDrawNothing) {
    PanelEvent e{PanelEvent::Timer};
    e.timer = 99;
    platform.post(window(), e);
    panel->idle();
    EXPECT_TRUE(platform.takeShown(window()).empty());
}

TEST_F(PanelRender, SingleChannelDimsTheLinkLeversWithoutARedrawBit) {
    meters().singleChannel.store(1);
    tick();
    EXPECT_EQ(switchSource(kStereoLinkRow), 328);
    EXPECT_EQ(switchSource(kLinkQualityRow), 328);
    meters().singleChannel.store(0);
    tick();
    EXPECT_EQ(switchSource(kStereoLinkRow), 175);
    EXPECT_EQ(switchSource(kLinkQualityRow), 175);
}

TEST_F(PanelRender, SilenceLeavesTheBarUnlitAndTheMarkerAtTheLeftEnd) {
    tick();
    EXPECT_EQ(at(segmentX(27), kSegmentY), (Origin{kBarBitmap, 0, 0}));
    EXPECT_EQ(at(segmentX(26), kSegmentY), (Origin{kPanelBitmap, segmentX(26), kSegmentY}));
    EXPECT_EQ(markerX(), 44);
    EXPECT_EQ(at(44, kMarkerLower.y), (Origin{kSwitchBitmap, kMarkerStripX, kMarkerHeight}));
}

TEST_F(PanelRender, HalfGainLightsEightSegmentsAndTheNinthWithFrameFive) {
    meters().minGain.store(0.5f);
    tick();
    for (int s = 20; s <= 27; ++s) EXPECT_EQ(at(segmentX(s), kSegmentY), (Origin{kBarBitmap, 120, 0})) << s;
    EXPECT_EQ(at(segmentX(19), kSegmentY), (Origin{kBarBitmap, 60, 0}));
    EXPECT_EQ(at(segmentX(18), kSegmentY), (Origin{kPanelBitmap, segmentX(18), kSegmentY}));
    EXPECT_EQ(meters().minGain.load(), 1.0f);
    // Once the reduction stops, the shown reduction falls by 6 units a tick.
    EXPECT_EQ(panel->heldGainReduction(), 93);
    tick();
    EXPECT_EQ(panel->heldGainReduction(), 87);
    tick();
    EXPECT_EQ(at(segmentX(19), kSegmentY), (Origin{kPanelBitmap, segmentX(19), kSegmentY}));
    EXPECT_EQ(at(segmentX(20), kSegmentY), (Origin{kBarBitmap, 120, 0}));
    EXPECT_EQ(panel->heldGainReduction(), 81);
}

TEST_F(PanelRender, FullScalePeakSendsTheMarkerRightThenItCreepsLeft) {
    meters().peakOut.store(1.0f);
    tick();
    EXPECT_EQ(markerX(), 395);
    EXPECT_EQ(meters().peakOut.load(), 0.0f);
    // Then one segment left every 5 or 6 ticks.
    int last = 395, sinceMove = 0;
    std::vector<int> gaps;
    for (int i = 0; i < 40; ++i) {
        tick();
        ++sinceMove;
        const int x = markerX();
        if (x != last) {
            EXPECT_EQ(x, last - kSegmentPitch);
            gaps.push_back(sinceMove);
            sinceMove = 0;
            last = x;
        }
    }
    ASSERT_GE(gaps.size(), 6u);
    for (size_t i = 1; i < gaps.size(); ++i) EXPECT_TRUE(gaps[i] == 5 || gaps[i] == 6) << gaps[i];
}

TEST_F(PanelRender, ClipLedIsBrightestForFourTicksAndDarkFromTheTwentySixth) {
    meters().clipHold.store(27);
    std::vector<int> frames;
    for (int i = 0; i < 30; ++i) {
        tick();
        frames.push_back(ledFrame());
    }
    EXPECT_EQ(std::count(frames.begin(), frames.begin() + 4, 8), 4);
    EXPECT_EQ(frames[4], 7);
    EXPECT_EQ(frames[24], 1);
    for (int i = 25; i < 30; ++i) EXPECT_EQ(frames[i], 0) << i;
    EXPECT_EQ(meters().clipHold.load(), 0);
}

TEST_F(PanelRender, AboutImageCoversThePanelAndHoldsTheMeters) {
    leftClick(30, 70);
    tick();
    EXPECT_EQ(at(0, 14), (Origin{kAboutBitmap, 0, 0}));
    EXPECT_EQ(at(449, 188), (Origin{kAboutBitmap, 449, 174}));
    EXPECT_EQ(at(0, 0), (Origin{kPanelBitmap, 0, 0}));
    platform.takeShown(window());
    // Neither host changes nor meters draw while the credits are up; the meters wait.
    hostSets(kInput, 1.0f);
    meters().minGain.store(0.5f);
    meters().clipHold.store(27);
    tick(3);
    EXPECT_TRUE(platform.takeShown(window()).empty());
    EXPECT_EQ(meters().minGain.load(), 0.5f);
    EXPECT_EQ(meters().clipHold.load(), 27);
    // Leaving shows everything as it is now.
    leftClick(200, 20);
    tick();
    EXPECT_EQ(knobStripFrame(0), 30);
    EXPECT_EQ(at(segmentX(20), kSegmentY), (Origin{kBarBitmap, 120, 0}));
    EXPECT_EQ(ledFrame(), 8);
}

TEST_F(PanelRender, WithoutADeviceContextTheTickDropsItsWorkButKeepsTheMeters) {
    hostSets(kInput, 1.0f);
    meters().minGain.store(0.5f);
    platform.setShowFails(window(), true);
    tick();
    EXPECT_TRUE(platform.takeShown(window()).empty());
    EXPECT_EQ(panel->dirtyMask.load(), 0u);
    EXPECT_EQ(panel->fullRedraw.load(), 0);
    EXPECT_EQ(meters().minGain.load(), 0.5f);
    platform.setShowFails(window(), false);
    tick();
    EXPECT_EQ(knobStripFrame(0), 41); // the request went with the failed tick
    EXPECT_EQ(panel->heldGainReduction(), 93);
}
