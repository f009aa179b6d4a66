#pragma once
// Where everything sits on the 450 x 200 panel, which strip frame shows which state, and where
// the mouse reaches each control. The renderer and the hit-tester read the same rows, so a
// control is clicked exactly where it is drawn. The artwork is drawn to these numbers.

#include "editor/platform/Platform.h"

#include <cstdint>

namespace qx {

enum BitmapId : int {
    kPanelBitmap = 107,  // 450 x 200 background
    kBarBitmap = 108,    // 11 gain-reduction segment frames of 12 x 9, dark to lit
    kSwitchBitmap = 109, // levers and the level marker halves
    kClipBitmap = 110,   // 9 LED frames of 14 x 14, dark to brightest
    kKnobBitmap = 111,   // mask frame, then 80 pointer frames of 48 x 48
    kAboutBitmap = 112,  // 450 x 175 credits
};
constexpr int kFirstBitmap = kPanelBitmap;
constexpr int kBitmapCount = 6;

enum class ControlKind : uint8_t { Knob, Switch, AboutSpot };

struct PanelControl {
    ControlKind kind;
    int param;        // parameter shown and changed; -1 for the about spot
    PanelRect image;  // where it is drawn; its hit area reaches one pixel further right and down
    int redrawBit;    // its dirtyMask bit; -1 for the controls redrawn on every tick
};

// In hit-testing order. The first five are the knobs in drawing order, Input to Output.
inline constexpr PanelControl kPanelControls[] = {
    {ControlKind::Knob, 0, {67, 49, 48, 48}, 0},
    {ControlKind::Knob, 1, {139, 49, 48, 48}, 1},
    {ControlKind::Knob, 2, {211, 49, 48, 48}, 2},
    {ControlKind::Knob, 3, {283, 49, 48, 48}, 3},
    {ControlKind::Knob, 4, {355, 49, 48, 48}, 4},
    {ControlKind::Switch, 5, {15, 97, 15, 28}, 5},    // Limit, a vertical lever
    {ControlKind::Switch, 6, {55, 165, 35, 18}, 6},   // Low Punch
    {ControlKind::Switch, 8, {367, 165, 35, 18}, -1}, // Link Quality
    {ControlKind::Switch, 7, {205, 165, 35, 18}, -1}, // Stereo Link
    // The emblem left of the knobs: not drawn by itself, it opens the about image.
    {ControlKind::AboutSpot, -1, {26, 60, 26, 23}, 7},
};
constexpr int kKnobCount = 5;
constexpr int kAboutBit = 7;

constexpr PanelRect kWholePanel{0, 0, 450, 200};
constexpr PanelRect kClipLed{421, 62, 14, 14};
constexpr PanelRect kAboutImage{0, 14, 450, 175};

// Gain-reduction bar: 28 segments of 12 x 8 on a 13-pixel pitch; the background under the strip
// is the unlit bar. The level marker runs in the 3-pixel strips above and below it.
constexpr PanelRect kBarStrip{44, 139, 363, 9};
constexpr int kSegments = 28;
constexpr int kSegmentPitch = 13;
constexpr int kSegmentWidth = 12;
constexpr int kSegmentHeight = 8;
constexpr PanelRect kMarkerUpper{44, 136, 365, 3};
constexpr PanelRect kMarkerLower{44, 149, 365, 3};
constexpr int kMarkerWidth = 13;
constexpr int kMarkerHeight = 3;
constexpr int kMarkerStripX = 210; // upper half at y 0, lower half at y 3 of the switch strip

// Source x in the switch strip for each state. The link switches add 2 for their dimmed
// levers, shown while only one channel is processed.
constexpr int kLimitFrames[2] = {363, 378};
constexpr int kLowPunchFrames[2] = {0, 35};
constexpr int kLinkFrames[4] = {140, 175, 293, 328};

constexpr int kKnobSize = 48;
constexpr int kLedSize = 14;
constexpr int kLedFrames = 9;

// The control under (x, y), bounds inclusive, or null. Right clicks leave out the about spot.
const PanelControl* hitTest(int x, int y, bool withAboutSpot);

// Pointer frame 0 to 79 for knob `knob` at `value`: 4.5 degrees per frame clockwise from 12
// o'clock; the strip frame drawn is this plus one. Values outside 0..1 (and NaN) are drawn as
// the nearest end, so a host's odd value cannot reach past the strip.
int knobFrame(int knob, float value);

// The switch state a value shows: 0 below 1.0, 1 from 1.0 on (truncation, kept inside the
// tables for any value).
int switchState(float value);

} // namespace qx
