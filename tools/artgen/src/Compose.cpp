#include "Compose.h"
#include "PanelGeometry.h"

#include <algorithm>
#include <cstdio>

namespace artgen {

using namespace geo;

namespace {

int knobFrame(int knob, float v) {
    // Gain knobs cover 69 of the 80 pointer steps from straight down,
    // Output 60 steps centred on 12 o'clock.
    int f = knob < 4 ? static_cast<int>(69.0f * v + 40.0f) : static_cast<int>(60.0f * v + 50.0f);
    if (f >= 80)
        f -= 80;
    return f + 1;
}

void andOr(Image& dst, const Image& strip, int frame, int dx, int dy) {
    for (int y = 0; y < kKnobSize; ++y) {
        for (int x = 0; x < kKnobSize; ++x) {
            const Rgb m = strip.at(x, y), f = strip.at(kKnobSize * frame + x, y);
            Rgb& d = dst.at(dx + x, dy + y);
            d = Rgb{static_cast<std::uint8_t>((d.r & m.r) | f.r), static_cast<std::uint8_t>((d.g & m.g) | f.g),
                    static_cast<std::uint8_t>((d.b & m.b) | f.b)};
        }
    }
}

std::string where(const char* what, int x, int y) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s at (%d, %d)", what, x, y);
    return buf;
}

} // namespace

Image composePanel(const Artwork& a, const PanelState& s) {
    Image out = a.panel;
    if (s.about) {
        out.copyFrom(a.about, 0, 0, kAbout.w, kAbout.h, kAbout.x, kAbout.y);
        return out;
    }
    const int led = std::min(8, s.clipHold / 3);
    out.copyFrom(a.clip, kClipSize * led, 0, kClipSize, kClipSize, kClip.x, kClip.y);

    const int link[4] = {kLinkLeft, kLinkRight, kDimLeft, kDimRight};
    out.copyFrom(a.switches, link[int(s.params[7]) + 2 * s.singleChannel], 0, kHSwitchW, kHSwitchH, kStereoLink.x,
                 kStereoLink.y);
    out.copyFrom(a.switches, link[int(s.params[8]) + 2 * s.singleChannel], 0, kHSwitchW, kHSwitchH,
                 kLinkQuality.x, kLinkQuality.y);
    out.copyFrom(a.switches, s.params[5] >= 1.0f ? kLimitDown : kLimitUp, 0, kVSwitchW, kVSwitchH, kLimit.x,
                 kLimit.y);
    out.copyFrom(a.switches, s.params[6] >= 1.0f ? kLeverRight : kLeverLeft, 0, kHSwitchW, kHSwitchH, kLowPunch.x,
                 kLowPunch.y);

    for (int k = 0; k < kKnobCount; ++k)
        andOr(out, a.knob, knobFrame(k, s.params[k]), kKnobX[k], kKnobY);

    const int units = s.grUnits;
    const int first = std::max(0, kSegments - 1 - units / kUnitsPerSegment);
    out.copyFrom(a.bar, kSegmentW * (units % kUnitsPerSegment), 0, kSegmentW, kSegmentH,
                 kBar.x + kSegmentPitch * first, kBar.y);
    for (int seg = first + 1; seg < kSegments; ++seg)
        out.copyFrom(a.bar, kSegmentW * (kBarFrames - 1), 0, kSegmentW, kSegmentH, kBar.x + kSegmentPitch * seg,
                     kBar.y);

    const int p = std::max(0, kSegments - 1 - s.levelUnits / kUnitsPerSegment);
    const int mx = kBar.x + kSegmentPitch * p;
    out.copyFrom(a.switches, kMarkerStripX, 0, kMarkerW, kMarkerH, mx, kMarkerUpper.y);
    out.copyFrom(a.switches, kMarkerStripX, kMarkerH, kMarkerW, kMarkerH, mx, kMarkerLower.y);
    return out;
}

void checkArtwork(const Artwork& a, std::vector<std::string>& problems) {
    struct Size {
        const char* name;
        const Image& img;
        int w, h;
    };
    const Size sizes[] = {{"panel", a.panel, kPanelW, kPanelH},
                          {"bar", a.bar, kBarStripW, kBarStripH},
                          {"switches", a.switches, kSwitchStripW, kSwitchStripH},
                          {"clip", a.clip, kClipStripW, kClipSize},
                          {"knob", a.knob, kKnobSize * kKnobFrames, kKnobSize},
                          {"about", a.about, kAbout.w, kAbout.h}};
    for (const Size& s : sizes)
        if (s.img.width() != s.w || s.img.height() != s.h)
            problems.push_back(std::string(s.name) + ": wrong size");
    if (!problems.empty())
        return;

    // Knob: the mask is strictly two-valued, and every frame is black
    // wherever the mask lets the panel through, or OR would tint the panel.
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    for (int y = 0; y < kKnobSize; ++y) {
        for (int x = 0; x < kKnobSize; ++x) {
            const Rgb m = a.knob.at(x, y);
            if (m != black && m != white) {
                problems.push_back(where("knob mask neither black nor white", x, y));
                return;
            }
            if (m == black)
                continue;
            for (int f = 1; f < kKnobFrames; ++f)
                if (a.knob.at(kKnobSize * f + x, y) != black) {
                    problems.push_back(where("knob frame not black outside the mask", kKnobSize * f + x, y));
                    return;
                }
        }
    }
    // Along the inner edge of the mask each frame must continue the panel's
    // knob recess exactly, so that no seam shows around the knob.
    for (int k = 0; k < kKnobCount; ++k)
        for (int f = 1; f < kKnobFrames; ++f)
            for (int y = 1; y < kKnobSize - 1; ++y)
                for (int x = 1; x < kKnobSize - 1; ++x) {
                    if (a.knob.at(x, y) != black)
                        continue;
                    bool edge = a.knob.at(x - 1, y) == white || a.knob.at(x + 1, y) == white ||
                                a.knob.at(x, y - 1) == white || a.knob.at(x, y + 1) == white;
                    if (edge && a.knob.at(kKnobSize * f + x, y) != a.panel.at(kKnobX[k] + x, kKnobY + y)) {
                        problems.push_back(where("knob edge differs from the panel", kKnobX[k] + x, kKnobY + y));
                        return;
                    }
                }

    // The panel's empty bar is made of unlit segments (bar frame 0).
    for (int s = 0; s < kSegments; ++s)
        for (int y = 0; y < kSegmentH; ++y)
            for (int x = 0; x < kSegmentW; ++x)
                if (a.panel.at(kBar.x + kSegmentPitch * s + x, kBar.y + y) != a.bar.at(x, y)) {
                    problems.push_back(where("unlit segment differs from bar frame 0", kBar.x + kSegmentPitch * s + x,
                                             kBar.y + y));
                    return;
                }

    // Marker strips are one plain colour, the one around the marker halves.
    const Rgb glass = a.switches.at(kMarkerStripX, 0);
    for (const Rect& r : {kMarkerUpper, kMarkerLower})
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                if (a.panel.at(x, y) != glass) {
                    problems.push_back(where("marker strip not plain", x, y));
                    return;
                }
    for (int y = 0; y < 2 * kMarkerH; ++y)
        for (int x : {kMarkerStripX, kMarkerStripX + kMarkerW - 1})
            if (a.switches.at(x, y) != glass)
                problems.push_back(where("marker half edge differs from the strip colour", x, y));
}

} // namespace artgen
