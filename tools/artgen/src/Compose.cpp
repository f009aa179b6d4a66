#include "Compose.h"
#include "EditorLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace artgen {

using namespace layout;

namespace {

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

// The segment where a reading of `units` starts, the ones right of it lit.
int leadingSegment(int units) { return std::max(0, kSegments - 1 - units / MeterScale::kUnitsPerSegment); }

bool samePixels(const Image& a, int ax, int ay, const Image& b, int bx, int by, int w, int h, int* badX, int* badY) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (a.at(ax + x, ay + y) != b.at(bx + x, by + y)) {
                *badX = ax + x;
                *badY = ay + y;
                return false;
            }
    return true;
}

// Every copy the editor makes reads inside its bitmap and writes inside the panel.
void checkEditorCopies(const Artwork& a, std::vector<std::string>& problems) {
    const PanelRect panel{0, 0, kPanelW, kPanelH};
    auto inside = [](const PanelRect& r, int w, int h) {
        return r.x >= 0 && r.y >= 0 && r.w >= 0 && r.h >= 0 && r.x + r.w <= w && r.y + r.h <= h;
    };
    auto reads = [&](const char* name, const Image& from, int x, int y, int w, int h) {
        if (!inside({x, y, w, h}, from.width(), from.height()))
            problems.push_back(where((std::string(name) + ": the editor reads past the strip").c_str(), x, y));
    };
    auto writes = [&](const char* name, const PanelRect& r) {
        if (!inside(r, panel.w, panel.h))
            problems.push_back(where((std::string(name) + ": drawn outside the panel").c_str(), r.x, r.y));
    };
    for (const qx::PanelControl& c : qx::kPanelControls) {
        const char* name = c.param >= 0 ? qx::kParamTable[c.param].name : "about spot";
        writes(name, c.image);
        if (c.kind == qx::ControlKind::Switch) {
            for (int single = 0; single < 2; ++single)
                for (int state = 0; state < 2; ++state)
                    reads(name, a.switches, switchFrameX(c.param, state, single != 0), 0, c.image.w, c.image.h);
        } else if (c.kind == qx::ControlKind::Knob) {
            if (c.image.w != kKnobSize || c.image.h != kKnobSize)
                problems.push_back(std::string(name) + ": knob rectangle is not one knob frame");
            // Values past both ends and NaN included: the editor draws whatever a host sends.
            for (float v : {-1.0f, 0.0f, 0.25f, 0.5f, 0.75f, 0.999f, 1.0f, 2.0f, std::nanf("")})
                reads(name, a.knob, kKnobSize * (qx::knobFrame(&c - qx::kPanelControls, v) + 1), 0, kKnobSize,
                      kKnobSize);
        }
    }
    writes("clip LED", kClipLed);
    for (int f = 0; f < kLedFrames; ++f)
        reads("clip LED", a.clip, kLedSize * f, 0, kClipLed.w, kClipLed.h);
    writes("about image", kAboutImage);
    reads("about image", a.about, 0, 0, kAboutImage.w, kAboutImage.h);
    writes("bar", kBarStrip);
    writes("bar", {kBarStrip.x + kSegmentPitch * (kSegments - 1), kBarStrip.y, kSegmentWidth, kSegmentHeight});
    for (int f = 0; f < MeterScale::kUnitsPerSegment; ++f)
        reads("bar", a.bar, kSegmentWidth * f, 0, kSegmentWidth, kSegmentHeight);
    for (const PanelRect& r : {kMarkerUpper, kMarkerLower}) {
        writes("level marker", r);
        writes("level marker", {r.x + kSegmentPitch * (kSegments - 1), r.y, kMarkerWidth, kMarkerHeight});
    }
    reads("level marker", a.switches, kMarkerStripX, 0, kMarkerWidth, 2 * kMarkerHeight);
}

} // namespace

PanelState::PanelState() {
    for (int p = 0; p < qx::kNumParams; ++p)
        params[p] = qx::kParamTable[p].defaultValue;
}

Image composePanel(const Artwork& a, const PanelState& s) {
    Image out = a.panel;
    if (s.about) {
        out.copyFrom(a.about, 0, 0, kAboutImage.w, kAboutImage.h, kAboutImage.x, kAboutImage.y);
        return out;
    }
    const int led = std::min(kLedFrames - 1, s.clipHold / 3);
    out.copyFrom(a.clip, kLedSize * led, 0, kLedSize, kLedSize, kClipLed.x, kClipLed.y);

    for (const qx::PanelControl& c : qx::kPanelControls) {
        const PanelRect& r = c.image;
        if (c.kind == qx::ControlKind::Switch)
            out.copyFrom(a.switches, switchFrameX(c.param, qx::switchState(s.params[c.param]), s.singleChannel != 0),
                         0, r.w, r.h, r.x, r.y);
        else if (c.kind == qx::ControlKind::Knob)
            andOr(out, a.knob, qx::knobFrame(&c - qx::kPanelControls, s.params[c.param]) + 1, r.x, r.y);
    }

    const int units = s.grUnits;
    const int first = leadingSegment(units);
    out.copyFrom(a.bar, kSegmentWidth * (units % MeterScale::kUnitsPerSegment), 0, kSegmentWidth, kSegmentHeight,
                 kBarStrip.x + kSegmentPitch * first, kBarStrip.y);
    for (int seg = first + 1; seg < kSegments; ++seg)
        out.copyFrom(a.bar, kSegmentWidth * (kBarFrames - 1), 0, kSegmentWidth, kSegmentHeight,
                     kBarStrip.x + kSegmentPitch * seg, kBarStrip.y);

    const int mx = kMarkerUpper.x + kSegmentPitch * leadingSegment(s.levelUnits);
    out.copyFrom(a.switches, kMarkerStripX, 0, kMarkerWidth, kMarkerHeight, mx, kMarkerUpper.y);
    out.copyFrom(a.switches, kMarkerStripX, kMarkerHeight, kMarkerWidth, kMarkerHeight, mx, kMarkerLower.y);
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
                          {"clip", a.clip, kClipStripW, kLedSize},
                          {"knob", a.knob, kKnobSize * kKnobFrames, kKnobSize},
                          {"about", a.about, kAboutImage.w, kAboutImage.h}};
    for (const Size& s : sizes)
        if (s.img.width() != s.w || s.img.height() != s.h)
            problems.push_back(std::string(s.name) + ": wrong size");
    if (!problems.empty())
        return;
    checkEditorCopies(a, problems);
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
                    const PanelRect& r = knobRect(k);
                    if (edge && a.knob.at(kKnobSize * f + x, y) != a.panel.at(r.x + x, r.y + y)) {
                        problems.push_back(where("knob edge differs from the panel", r.x + x, r.y + y));
                        return;
                    }
                }

    // What the panel shows before the editor's first tick is what that tick draws: unlit bar
    // segments, the dark LED and each switch at its default.
    int bx = 0, by = 0;
    for (int seg = 0; seg < kSegments; ++seg)
        if (!samePixels(a.panel, kBarStrip.x + kSegmentPitch * seg, kBarStrip.y, a.bar, 0, 0, kSegmentWidth,
                        kSegmentHeight, &bx, &by)) {
            problems.push_back(where("unlit segment differs from bar frame 0", bx, by));
            return;
        }
    if (!samePixels(a.panel, kClipLed.x, kClipLed.y, a.clip, 0, 0, kClipLed.w, kClipLed.h, &bx, &by))
        problems.push_back(where("clip LED differs from LED frame 0", bx, by));
    for (const qx::PanelControl& c : qx::kPanelControls)
        if (c.kind == qx::ControlKind::Switch &&
            !samePixels(a.panel, c.image.x, c.image.y, a.switches, defaultSwitchFrameX(c.param), 0, c.image.w,
                        c.image.h, &bx, &by))
            problems.push_back(where((std::string(qx::kParamTable[c.param].name) + " not at its default").c_str(),
                                     bx, by));

    // The scale printed over the bar is the meter's: a bright tick on exactly the boundaries
    // where a mark of the meter scale falls.
    for (int b = 0; b <= kSegments; ++b) {
        const int x = kBarStrip.x + kSegmentPitch * b - (b > 0 ? 1 : 0);
        if (a.panel.at(x, meter::kTickY) != toRgb(isScaleMark(b) ? meter::kTickMarked : meter::kTickPlain))
            problems.push_back(where(isScaleMark(b) ? "scale mark missing" : "scale mark where the meter has none",
                                     x, meter::kTickY));
    }

    // Marker strips are one plain colour, the one around the marker halves.
    const Rgb glass = a.switches.at(kMarkerStripX, 0);
    for (const PanelRect& r : {kMarkerUpper, kMarkerLower})
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                if (a.panel.at(x, y) != glass) {
                    problems.push_back(where("marker strip not plain", x, y));
                    return;
                }
    for (int y = 0; y < 2 * kMarkerHeight; ++y)
        for (int x : {kMarkerStripX, kMarkerStripX + kMarkerWidth - 1})
            if (a.switches.at(x, y) != glass)
                problems.push_back(where("marker half edge differs from the strip colour", x, y));
}

} // namespace artgen
