// Knob drags, lever clicks, right-button defaults, the about spot, and every mode change.
#include "PanelHarness.h"

using namespace qx;
using namespace qxtest;

namespace {
using K = PanelEvent::Kind;
constexpr int kPressureX = 160, kKnobY = 70;
} // namespace

class PanelMouse : public PanelHarness {
protected:
    std::vector<AutomationCall> takeAutomation() {
        return qxhost::RecordingHost::shared().takeAutomation();
    }
};

TEST_F(PanelMouse, DragFortyPixelsUpRaisesPressureByATenthWithOneReport) {
    mouse(K::LeftDown, kPressureX, kKnobY);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeDrag);
    EXPECT_EQ(param(kPressure), 0.7f); // the press alone changes nothing
    // Several moves between two ticks: the knob follows once, on the tick.
    mouse(K::MouseMove, kPressureX + 30, kKnobY - 10);
    mouse(K::MouseMove, kPressureX - 5, kKnobY - 40);
    EXPECT_TRUE(takeAutomation().empty());
    tick();
    EXPECT_NEAR(param(kPressure), 0.8f, 1e-6f);
    auto a = takeAutomation();
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].index, kPressure);
    EXPECT_EQ(a[0].value, param(kPressure));
    EXPECT_EQ(knobStripFrame(kPressureRow), knobFrame(1, param(kPressure)) + 1);
    // Held still: nothing more is reported.
    tick(5);
    EXPECT_TRUE(takeAutomation().empty());
}

TEST_F(PanelMouse, DragStopsAtTheEndsAndMovesAgainOnlyBackInsideTheRange) {
    mouse(K::LeftDown, 90, 60); // Input, at 0
    mouse(K::MouseMove, 90, 160);
    tick();
    EXPECT_TRUE(takeAutomation().empty()); // already at the bottom
    // Dragged above the window (captured, so negative y arrives): clamped to 1.
    EXPECT_TRUE(mouse(K::MouseMove, 500, 60 - 500));
    tick();
    EXPECT_EQ(param(kInput), 1.0f);
    EXPECT_EQ(takeAutomation().size(), 1u);
    mouse(K::MouseMove, 90, 60 - 450);
    tick();
    EXPECT_TRUE(takeAutomation().empty());
    mouse(K::MouseMove, 90, 60 - 360);
    tick();
    EXPECT_NEAR(param(kInput), 0.9f, 1e-6f);
    EXPECT_EQ(takeAutomation().size(), 1u);
}

TEST_F(PanelMouse, EitherReleaseEndsTheDragAndPressesDuringItDoNothing) {
    mouse(K::LeftDown, kPressureX, kKnobY);
    mouse(K::RightDown, 72, 174); // Low Punch: ignored while dragging
    EXPECT_EQ(param(kLowPunch), 0.0f);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeDrag);
    mouse(K::RightUp, 72, 174);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeIdle);
    mouse(K::MouseMove, kPressureX, kKnobY - 100);
    tick();
    EXPECT_EQ(param(kPressure), 0.7f);
    EXPECT_TRUE(takeAutomation().empty());
}

TEST_F(PanelMouse, CaptureLastsFromPressToRelease) {
    EXPECT_FALSE(mouse(K::LeftDown, 500, 10)); // outside, not captured: never arrives
    mouse(K::LeftDown, 10, 10);
    EXPECT_TRUE(platform.captured(window()));
    EXPECT_TRUE(mouse(K::LeftUp, -20, 300));
    EXPECT_FALSE(platform.captured(window()));
}

TEST_F(PanelMouse, InputKnobAreaEndsAtColumn115AndRow97) {
    mouse(K::LeftDown, 115, 97);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeDrag);
    mouse(K::LeftUp, 115, 97);
    mouse(K::LeftDown, 116, 60);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeIdle);
}

TEST_F(PanelMouse, LeverClicksFlipWhatTheLeverShows) {
    leftClick(72, 174);
    EXPECT_EQ(param(kLowPunch), 1.0f);
    tick();
    EXPECT_EQ(switchSource(kLowPunchRow), 35);
    leftClick(72, 174);
    EXPECT_EQ(param(kLowPunch), 0.0f);
    hostSets(kLowPunch, 0.7f); // shown Off, so the next click turns it On
    leftClick(72, 174);
    EXPECT_EQ(param(kLowPunch), 1.0f);
    leftClick(20, 110); // Limit, Soft to Hard
    EXPECT_EQ(param(kLimit), 0.0f);
    leftClick(220, 170); // Stereo Link: no redraw bit, shown on the next tick all the same
    EXPECT_EQ(panel->dirtyMask.load() & ~((1u << 5) | (1u << 6)), 0u);
    tick();
    EXPECT_EQ(switchSource(kStereoLinkRow), 140);
    const auto a = takeAutomation();
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[3].index, kLimit);
    EXPECT_EQ(a[4].index, kStereoLink);
    EXPECT_EQ(a[4].value, 0.0f);
}

TEST_F(PanelMouse, RightClickPutsAControlBackToItsDefault) {
    hostSets(kRelease1, 0.9f);
    hostSets(kLinkQuality, 0.0f);
    rightClick(230, 70);
    rightClick(380, 170);
    EXPECT_EQ(param(kRelease1), 0.4f);
    EXPECT_EQ(param(kLinkQuality), 1.0f);
    rightClick(30, 70);  // the about spot does not answer the right button
    rightClick(440, 5);  // nor does the bare panel
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeIdle);
    const auto a = takeAutomation();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].index, kRelease1);
    EXPECT_EQ(a[0].value, 0.4f);
    tick();
    EXPECT_EQ(knobStripFrame(kRelease1Row), 68);
}

TEST_F(PanelMouse, AnyLeftClickOnlyClosesTheAboutImage) {
    leftClick(30, 70);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeAbout); // the release keeps it
    mouse(K::LeftDown, kPressureX, kKnobY);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeIdle);
    EXPECT_EQ(panel->fullRedraw.load(), 1);
    mouse(K::MouseMove, kPressureX, kKnobY - 40);
    tick();
    EXPECT_EQ(param(kPressure), 0.7f); // that press started no drag
    EXPECT_TRUE(takeAutomation().empty());
}

TEST_F(PanelMouse, RightClickOnAKnobClosesTheAboutImageAndResetsTheKnob) {
    hostSets(kPressure, 0.2f);
    leftClick(30, 70);
    rightClick(kPressureX, kKnobY);
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeIdle);
    EXPECT_EQ(param(kPressure), 0.7f);
    EXPECT_EQ(takeAutomation().size(), 1u);
    tick();
    EXPECT_EQ(knobStripFrame(kPressureRow), 9);
}

TEST_F(PanelMouse, ModeAndMetersSurviveClosingAndReopening) {
    leftClick(30, 70);
    panel->close();
    EXPECT_EQ(panel->currentMode(), PanelEditor::ModeAbout);
    ASSERT_EQ(panel->openOn(platform, nullptr), 1);
    tick();
    EXPECT_EQ(at(0, 14), (Origin{kAboutBitmap, 0, 0}));
}
