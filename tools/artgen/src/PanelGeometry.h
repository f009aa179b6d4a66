// Where the editor puts each control on the 450 x 200 panel and how the
// control strips are laid out. The editor code holds the same numbers; the
// artwork has to agree with it pixel for pixel, because the editor copies
// frames into these rectangles without any scaling or blending.
#pragma once

namespace artgen::geo {

struct Rect {
    int x, y, w, h;
};

constexpr int kPanelW = 450, kPanelH = 200;

// Knobs: 48 x 48, composited as (panel AND mask) OR frame.
constexpr int kKnobSize = 48;
constexpr int kKnobCount = 5;
constexpr int kKnobX[kKnobCount] = {67, 139, 211, 283, 355};
constexpr int kKnobY = 49;
constexpr int kKnobFrames = 81;          // frame 0 is the mask
constexpr double kKnobStepDeg = 4.5;     // pointer angle per frame, clockwise from 12 o'clock

// Where each knob's travel starts and how far it turns (degrees clockwise
// from 12 o'clock). The gain knobs start pointing down; Output is centred.
struct Travel {
    double startDeg, spanDeg;
};
constexpr Travel kTravel[kKnobCount] = {{180, 310.5}, {180, 310.5}, {180, 310.5}, {180, 310.5}, {225, 270}};

constexpr Rect kLimit{15, 97, 15, 28};
constexpr Rect kLowPunch{55, 165, 35, 18};
constexpr Rect kStereoLink{205, 165, 35, 18};
constexpr Rect kLinkQuality{367, 165, 35, 18};
constexpr Rect kClip{421, 62, 14, 14};
constexpr Rect kAbout{0, 14, 450, 175};
constexpr Rect kEmblem{26, 60, 27, 24}; // the click spot that opens the about image

// Gain-reduction bar: 28 segments of 12 x 8 on a 13 pixel pitch, and the two
// 3-pixel strips above and below it in which the level marker moves.
constexpr Rect kBar{44, 139, 363, 9};
constexpr int kSegments = 28, kSegmentPitch = 13, kSegmentW = 12, kSegmentH = 8;
constexpr Rect kMarkerUpper{44, 136, 365, 3};
constexpr Rect kMarkerLower{44, 149, 365, 3};
constexpr int kUnitsPerSegment = 11; // the meters count 308 units over 28 segments

// Bar scale: decibels of gain reduction and their meter units. A mark sits
// on the segment boundary x = 44 + 13 * (28 - units / 11).
struct ScaleMark {
    const char* label;
    int units;
};
constexpr ScaleMark kScale[] = {{"72", 308}, {"48", 275}, {"32", 242}, {"24", 209}, {"20", 176}, {"10", 143},
                                {"7", 110},  {"5", 77},   {"3", 55},   {"2", 33},   {"1", 11}};

// Strips.
constexpr int kBarStripW = 132, kBarStripH = 9, kBarFrames = 11;
constexpr int kClipStripW = 126, kClipFrames = 9, kClipSize = 14;
constexpr int kSwitchStripW = 393, kSwitchStripH = 28;
constexpr int kHSwitchW = 35, kHSwitchH = 18, kVSwitchW = 15, kVSwitchH = 28;
constexpr int kMarkerW = 13, kMarkerH = 3, kMarkerStripX = 210;
constexpr int kLeverLeft = 0, kLeverRight = 35, kSpareLeft = 70, kSpareRight = 105;
constexpr int kLinkLeft = 140, kLinkRight = 175;
constexpr int kDimSpareLeft = 223, kDimSpareRight = 258, kDimLeft = 293, kDimRight = 328;
constexpr int kLimitUp = 363, kLimitDown = 378;

} // namespace artgen::geo
