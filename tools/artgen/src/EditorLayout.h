// The editor's own layout tables, and what the artwork derives from them. The editor copies
// frames into its rectangles without scaling or blending, so the artwork is drawn to exactly
// these numbers; keeping no copy of them here means a layout change reaches the bitmaps the
// next time they are generated, and --check catches committed bitmaps that were not.
#pragma once

#include "editor/MeterScale.h"
#include "editor/PanelLayout.h"
#include "core/ParamTable.h"

#include <algorithm>

namespace artgen::layout {

// The editor's names, used as they are.
using qx::kAboutImage;
using qx::kBarStrip;
using qx::kClipLed;
using qx::kKnobCount;
using qx::kKnobSize;
using qx::kLedFrames;
using qx::kLedSize;
using qx::kMarkerHeight;
using qx::kMarkerLower;
using qx::kMarkerStripX;
using qx::kMarkerUpper;
using qx::kMarkerWidth;
using qx::kSegmentHeight;
using qx::kSegmentPitch;
using qx::kSegments;
using qx::kSegmentWidth;
using qx::kWholePanel;
using qx::MeterScale;
using qx::PanelRect;

// Where the editor draws parameter `param`'s control; the whole panel if it has none.
constexpr const PanelRect& controlRect(int param) {
    for (const qx::PanelControl& c : qx::kPanelControls)
        if (c.kind != qx::ControlKind::AboutSpot && c.param == param)
            return c.image;
    return kWholePanel;
}
// Knob `k` (0 to 4, Input to Output).
constexpr const PanelRect& knobRect(int k) { return qx::kPanelControls[k].image; }
// The badge that opens the about image is drawn exactly over its click spot.
constexpr const PanelRect& emblemRect() {
    for (const qx::PanelControl& c : qx::kPanelControls)
        if (c.kind == qx::ControlKind::AboutSpot)
            return c.image;
    return kWholePanel;
}

constexpr int kPanelW = kWholePanel.w, kPanelH = kWholePanel.h;
constexpr PanelRect kLimit = controlRect(qx::kLimit);
constexpr PanelRect kLowPunch = controlRect(qx::kLowPunch);
constexpr PanelRect kStereoLink = controlRect(qx::kStereoLink);
constexpr PanelRect kLinkQuality = controlRect(qx::kLinkQuality);

// Knob strip: the mask, then one frame for each pointer step knobFrame answers (0 to 79), a
// full turn in all.
constexpr int kKnobPointerFrames = 80;
constexpr int kKnobFrames = 1 + kKnobPointerFrames;
constexpr double kKnobStepDeg = 360.0 / kKnobPointerFrames; // clockwise from 12 o'clock

// Where a knob's travel starts and how far it turns (degrees clockwise from 12 o'clock), as
// knobFrame sweeps it from value 0 to value 1.
struct Travel {
    double startDeg, spanDeg;
};
inline Travel knobTravel(int k) {
    const int first = qx::knobFrame(k, 0.0f), last = qx::knobFrame(k, 1.0f);
    const int steps = (last - first + kKnobPointerFrames) % kKnobPointerFrames;
    return {first * kKnobStepDeg, steps * kKnobStepDeg};
}

// Bar strip: one frame for each remainder of a reading within its segment, the last one lit.
constexpr int kBarFrames = MeterScale::kUnitsPerSegment;
constexpr int kBarStripW = kSegmentWidth * kBarFrames, kBarStripH = kBarStrip.h;
constexpr int kClipStripW = kLedSize * kLedFrames;

// Switch strip: every lever frame the editor copies, at the size of the control it goes to.
constexpr int kHSwitchW = kLowPunch.w, kHSwitchH = kLowPunch.h;
constexpr int kVSwitchW = kLimit.w, kVSwitchH = kLimit.h;
constexpr int kLeverLeft = qx::kLowPunchFrames[0], kLeverRight = qx::kLowPunchFrames[1];
constexpr int kLinkLeft = qx::kLinkFrames[0], kLinkRight = qx::kLinkFrames[1];
constexpr int kDimLeft = qx::kLinkFrames[2], kDimRight = qx::kLinkFrames[3];
constexpr int kLimitUp = qx::kLimitFrames[0], kLimitDown = qx::kLimitFrames[1];
// The artwork's own: two more lever pairs, plain and dimmed, in slots the editor never reads.
constexpr int kSpareLeft = 70, kSpareRight = 105, kDimSpareLeft = 223, kDimSpareRight = 258;
constexpr int kSwitchStripW =
    std::max({kLimitUp + kVSwitchW, kLimitDown + kVSwitchW, kDimRight + kHSwitchW,
              kDimSpareRight + kHSwitchW, kMarkerStripX + kMarkerWidth});
constexpr int kSwitchStripH = std::max({kHSwitchH, kVSwitchH, 2 * kMarkerHeight});

// The strip x the editor copies for switch `param` in `state`; the link switches show their
// dimmed levers while only one channel is processed.
constexpr int switchFrameX(int param, int state, bool singleChannel) {
    if (param == qx::kLimit)
        return qx::kLimitFrames[state];
    if (param == qx::kLowPunch)
        return qx::kLowPunchFrames[state];
    return qx::kLinkFrames[state + (singleChannel ? 2 : 0)];
}
// What the panel shows before any parameter reaches it.
inline int defaultSwitchFrameX(int param) {
    return switchFrameX(param, qx::switchState(qx::kParamTable[param].defaultValue), false);
}

// The segment boundary (0 at the left of the bar, kSegments at its right) where a reading of
// `units` starts to light segments.
constexpr int scaleBoundary(int units) {
    return kSegments - units / MeterScale::kUnitsPerSegment;
}
// True where a printed mark of the meter scale sits on segment boundary `boundary`; the scale's
// zero is not printed.
constexpr bool isScaleMark(int boundary) {
    for (const MeterScale::Breakpoint& m : MeterScale::kBreakpoints)
        if (m.units > 0 && scaleBoundary(m.units) == boundary)
            return true;
    return false;
}

} // namespace artgen::layout
