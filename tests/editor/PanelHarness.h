#pragma once
// An effect with its panel open on the headless backend, the synthetic bitmaps loaded, and a
// host callback that records automation. Each test starts from a freshly constructed effect
// whose first full redraw has been drawn.

#include "SyntheticBitmaps.h"

#include "editor/PanelEditor.h"
#include "editor/PanelLayout.h"
#include "editor/platform/HeadlessPlatform.h"
#include "host/RecordingHost.h"
#include "plugin/EditableLimiter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace qxtest {

using qxhost::AutomationCall;
constexpr auto recordingHost = qxhost::RecordingHost::callback;

class PanelHarness : public ::testing::Test {
protected:
    void SetUp() override {
        useSyntheticBitmaps();
        effect = std::make_unique<qx::EditableLimiter>(recordingHost);
        panel = effect->panelEditor();
        ASSERT_NE(panel, nullptr);
        ASSERT_EQ(panel->openOn(platform, nullptr), 1);
        tick();
        platform.takeShown(window());
        qxhost::RecordingHost::shared().reset();
    }
    void TearDown() override { effect.reset(); }

    qx::PlatformWindow* window() const { return panel->panelWindow(); }
    int tick(int n = 1) { return platform.tick(window(), n); }
    bool mouse(qx::PanelEvent::Kind kind, int x, int y) { return platform.mouse(window(), kind, x, y); }
    void leftClick(int x, int y) {
        mouse(qx::PanelEvent::LeftDown, x, y);
        mouse(qx::PanelEvent::LeftUp, x, y);
    }
    void rightClick(int x, int y) {
        mouse(qx::PanelEvent::RightDown, x, y);
        mouse(qx::PanelEvent::RightUp, x, y);
    }

    float param(int i) const { return effect->values()[i].load(); }
    // A host write, as through the record's setParameter entry.
    void hostSets(int i, float v) { effect->setParameter(i, v); }
    qx::MeterShared& meters() { return effect->meters(); }

    std::vector<uint32_t> screen() const {
        std::vector<uint32_t> px(qx::PanelEditor::kWidth * qx::PanelEditor::kHeight);
        platform.readPixels(window(), px.data());
        return px;
    }
    Origin at(int x, int y) const { return originOf(screen()[size_t(y) * qx::PanelEditor::kWidth + x]); }

    // The strip frame a knob shows, read at the centre of its disc; -1 when no frame is there.
    int knobStripFrame(int knob) const {
        const qx::PanelRect& r = qx::kPanelControls[knob].image;
        const Origin o = at(r.x + 24, r.y + 24);
        return o.bitmap == qx::kKnobBitmap && o.y == 24 && o.x % 48 == 24 ? o.x / 48 : -1;
    }
    // Source x in the switch strip of what a lever shows (its top-left pixel).
    int switchSource(int control) const {
        const qx::PanelRect& r = qx::kPanelControls[control].image;
        const Origin o = at(r.x, r.y);
        return o.bitmap == qx::kSwitchBitmap && o.y == 0 ? o.x : -1;
    }

    qx::HeadlessPlatform& platform = qx::HeadlessPlatform::instance();
    std::unique_ptr<qx::EditableLimiter> effect;
    qx::PanelEditor* panel = nullptr;
};

// Indices into kPanelControls.
enum ControlRow { kInputRow, kPressureRow, kRelease1Row, kRelease2Row, kOutputRow, kLimitRow,
                  kLowPunchRow, kLinkQualityRow, kStereoLinkRow, kAboutRow };

} // namespace qxtest
