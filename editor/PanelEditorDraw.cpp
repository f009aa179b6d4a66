// The tick and the drawing. Every control is a copy of a strip frame into the back buffer; the
// knobs are punched out with the mask (AND) and filled with their frame (OR), so the panel's
// own background shows around them.
#include "core/ParamTable.h"
#include "editor/MeterScale.h"
#include "editor/PanelEditor.h"
#include "editor/PanelLayout.h"
#include "editor/PanelResources.h"

#include <algorithm>

namespace qx {

namespace {

constexpr int kLastSegment = kSegments - 1;
constexpr int kLitSegmentFrame = 10;
// A louder peak moves the marker at once; afterwards it creeps left 2 units a tick, about one
// segment in 5 or 6 ticks. Gain reduction falls back 6 units a tick, about half a segment.
constexpr int32_t kMarkerFall = 2;
constexpr int32_t kBarFall = 6;
// The clip LED starts at 27 and dims one frame every 3 ticks.
constexpr int32_t kTicksPerLedFrame = 3;

// The segment (0 at the left) where a reading of `units` starts, the ones right of it lit.
int leadingSegment(int32_t units) {
    return std::max(0, kLastSegment - int(units / MeterScale::kUnitsPerSegment));
}

} // namespace

float PanelEditor::paramValue(int param) const {
    return effect->readParameter(param);
}

void PanelEditor::onTimer() {
    if (isOpen != 1) return;
    if (mode == ModeDrag) dragStep();
    // Taken in one exchange each: a change the host makes while this tick draws stays for the next.
    const uint32_t changed = effect->takeChanged();
    if ((changed & PanelModel::kAllChanged) != 0) requestFullRedraw();
    markDirty(changed & ((1u << kParamsWithRedrawBit) - 1));
    const bool full = fullRedraw.exchange(0, std::memory_order_relaxed) != 0;
    drawPanel(full, dirtyMask.exchange(0, std::memory_order_relaxed));
}

void PanelEditor::paste(const PanelRect& to, int bitmapId, int fromX, int fromY, RasterOp op) {
    platform->transfer(backBuffer, to, PanelResources::bitmap(*platform, BitmapId(bitmapId)), fromX,
                       fromY, op);
}

void PanelEditor::showPart(bool full, const PanelRect& rect) {
    if (!full) platform->show(window, backBuffer, rect);
}

// Without a device context the tick draws nothing and leaves the meters for the next one; the
// redraw requests it took are dropped with it, as a paint would bring them back.
void PanelEditor::drawPanel(bool full, uint32_t dirty) {
    if (isOpen != 1 || !platform->beginShow(window)) return;
    if (full) paste(kWholePanel, kPanelBitmap, 0, 0);
    if (mode == ModeAbout) {
        // Nothing else is drawn, read or reset while the credits cover the panel.
        if (full || (dirty & (1u << kAboutBit)) != 0) {
            paste(kAboutImage, kAboutBitmap, 0, 0);
            showPart(full, kAboutImage);
        }
    } else {
        drawClipLed(full);
        drawSwitches(full, dirty);
        drawKnobs(full, dirty);
        drawBar(full);
        drawLevelMarker(full);
    }
    if (full) platform->show(window, backBuffer, kWholePanel);
    platform->endShow(window);
}

void PanelEditor::drawClipLed(bool full) {
    const int32_t h = effect->clipHold();
    const int frame = std::clamp(h / kTicksPerLedFrame, 0, kLedFrames - 1);
    paste(kClipLed, kClipBitmap, kLedSize * frame, 0);
    showPart(full, kClipLed);
    // Count down unless a new clip has set it again meanwhile; that one wins.
    if (h > 0) effect->countDownClipHold(h);
}

void PanelEditor::drawSwitches(bool full, uint32_t dirty) {
    // The link levers have no redraw bit: they follow singleChannel too, which changes without
    // any parameter write, so they are drawn on every tick.
    const int dimmed = effect->singleChannel() != 0 ? 2 : 0;
    for (const PanelControl& c : kPanelControls) {
        if (c.kind != ControlKind::Switch) continue;
        if (!full && c.redrawBit >= 0 && (dirty & (1u << c.redrawBit)) == 0) continue;
        const int state = switchState(paramValue(c.param));
        int fromX = 0;
        switch (c.param) {
        case kLimit:
            fromX = kLimitFrames[state];
            break;
        case kLowPunch:
            fromX = kLowPunchFrames[state];
            break;
        default:
            fromX = kLinkFrames[state + dimmed];
            break;
        }
        paste(c.image, kSwitchBitmap, fromX, 0);
        showPart(full, c.image);
    }
}

void PanelEditor::drawKnobs(bool full, uint32_t dirty) {
    for (int k = 0; k < kKnobCount; ++k) {
        const PanelControl& c = kPanelControls[k];
        if (!full && (dirty & (1u << c.redrawBit)) == 0) continue;
        const int frame = knobFrame(k, paramValue(c.param));
        paste(c.image, kKnobBitmap, 0, 0, RasterOp::And);
        paste(c.image, kKnobBitmap, kKnobSize * (frame + 1), 0, RasterOp::Or);
        showPart(full, c.image);
    }
}

void PanelEditor::drawBar(bool full) {
    // Read and reset in one step, so a lower gain the engine leaves meanwhile is not lost.
    const int32_t j = MeterScale::units(effect->takeMinGain());
    if (j > grHeld) grHeld = j;
    const int32_t k = grHeld;
    const int lead = leadingSegment(k);
    if (!full) paste(kBarStrip, kPanelBitmap, kBarStrip.x, kBarStrip.y);
    auto segment = [](int s) {
        return PanelRect{kBarStrip.x + kSegmentPitch * s, kBarStrip.y, kSegmentWidth,
                         kSegmentHeight};
    };
    paste(segment(lead), kBarBitmap, kSegmentWidth * int(k % MeterScale::kUnitsPerSegment), 0);
    for (int s = lead + 1; s < kSegments; ++s)
        paste(segment(s), kBarBitmap, kSegmentWidth * kLitSegmentFrame, 0);
    showPart(full, kBarStrip);
    if (j < grHeld) grHeld = std::max(0, grHeld - kBarFall);
}

void PanelEditor::drawLevelMarker(bool full) {
    const int32_t n = MeterScale::units(effect->takePeakOut());
    if (n < levelMarker) levelMarker = n;
    const int x = kMarkerUpper.x + kSegmentPitch * leadingSegment(levelMarker);
    if (!full) {
        paste(kMarkerUpper, kPanelBitmap, kMarkerUpper.x, kMarkerUpper.y);
        paste(kMarkerLower, kPanelBitmap, kMarkerLower.x, kMarkerLower.y);
    }
    paste({x, kMarkerUpper.y, kMarkerWidth, kMarkerHeight}, kSwitchBitmap, kMarkerStripX, 0);
    paste({x, kMarkerLower.y, kMarkerWidth, kMarkerHeight}, kSwitchBitmap, kMarkerStripX,
          kMarkerHeight);
    showPart(full, kMarkerUpper);
    showPart(full, kMarkerLower);
    if (levelMarker < n) levelMarker = std::min(MeterScale::kFullScale, levelMarker + kMarkerFall);
}

} // namespace qx
