// Strips for the small controls: bar segments, switches with the level
// marker, and the clip LED.
#include "Artwork.h"
#include "EditorLayout.h"

#include <cmath>

namespace artgen {

namespace {

// Segment colours; frame f of the bar strip sits f/10 of the way from unlit
// to lit. Unlit is a dark amber, so the empty bar still reads as a scale.
const Col kSegUnlitTop{58, 42, 24}, kSegUnlitBottom{40, 29, 18};
const Col kSegLitTop{255, 214, 120}, kSegLitBottom{240, 146, 36};

Col segmentPixel(int x, int y, double t) {
    using namespace layout;
    double v = (y + 0.5) / kSegmentHeight;
    Col c = mix(mix(kSegUnlitTop, kSegUnlitBottom, v), mix(kSegLitTop, kSegLitBottom, v), t);
    // A lit segment glows hotter in the middle.
    double cx = std::fabs(x + 0.5 - kSegmentWidth / 2.0) / (kSegmentWidth / 2.0);
    double cy = std::fabs(y + 0.5 - kSegmentHeight / 2.0) / (kSegmentHeight / 2.0);
    c = c + grey(18.0 * t * (1.0 - cx * cx) * (1.0 - cy * cy));
    // One-pixel rim, darker, so neighbouring segments separate cleanly.
    bool rim = x == 0 || x == kSegmentWidth - 1 || y == 0 || y == kSegmentHeight - 1;
    if (rim)
        c = mix(c, palette::kWindow, 0.38);
    if (y == 1 && x > 0 && x < kSegmentWidth - 1)
        c = c + grey(10.0 * (0.4 + 0.6 * t)); // glass catching the light
    return c;
}

} // namespace

Image renderBarStrip() {
    using namespace layout;
    Image strip(kBarStripW, kBarStripH, toRgb(palette::kWindow));
    for (int f = 0; f < kBarFrames; ++f) {
        double t = f / double(kBarFrames - 1);
        for (int y = 0; y < kSegmentHeight; ++y)
            for (int x = 0; x < kSegmentWidth; ++x)
                strip.at(kSegmentWidth * f + x, y) = toRgb(segmentPixel(x, y, t));
    }
    return strip;
}

namespace {

struct SwitchLook {
    Col thumbTop, thumbBottom, grip;
};
const SwitchLook kNormal{{196, 198, 202}, {112, 114, 120}, {64, 65, 70}};
const SwitchLook kDimmed{{92, 93, 97}, {62, 63, 67}, {44, 45, 48}};

// Bezel plate filling the whole frame: the frame replaces the panel there,
// so it must look like a part in its own right.
void drawPlate(Canvas& c, double w, double h) {
    cairo_t* cr = c.cr();
    c.setColour(grey(12));
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 1, 0, h - 1);
    cairo_pattern_add_color_stop_rgb(face, 0, 62 / 255.0, 64 / 255.0, 69 / 255.0);
    cairo_pattern_add_color_stop_rgb(face, 1, 34 / 255.0, 35 / 255.0, 38 / 255.0);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    c.setColour(grey(88));
    cairo_rectangle(cr, 1, 1, w - 2, 1);
    cairo_fill(cr);
    c.setColour(grey(22));
    cairo_rectangle(cr, 1, h - 2, w - 2, 1);
    cairo_fill(cr);
}

void drawSlot(Canvas& c, double x, double y, double w, double h) {
    c.roundedRect(x, y, w, h, 2.0);
    c.setColour(grey(8));
    cairo_fill(c.cr());
    // Lower lip of the slot catches the light.
    c.setColour(grey(70), 0.8);
    cairo_rectangle(c.cr(), x + 2, y + h - 0.8, w - 4, 0.8);
    cairo_fill(c.cr());
}

// The sliding thumb with its grip ridges, across (vertical ridges) or along.
void drawThumb(Canvas& c, double x, double y, double w, double h, const SwitchLook& look, bool ridgesVertical) {
    cairo_t* cr = c.cr();
    // Drop shadow into the slot.
    c.roundedRect(x + 0.5, y + 1.2, w, h, 2.2);
    c.setColour(grey(0), 0.55);
    cairo_fill(cr);
    c.roundedRect(x, y, w, h, 2.2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(g, 0, look.thumbTop.r / 255, look.thumbTop.g / 255, look.thumbTop.b / 255);
    cairo_pattern_add_color_stop_rgb(g, 1, look.thumbBottom.r / 255, look.thumbBottom.g / 255,
                                     look.thumbBottom.b / 255);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    c.setColour(grey(10), 0.7);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.0);
    const int ridges = 3;
    for (int i = 0; i < ridges; ++i) {
        if (ridgesVertical) {
            double rx = std::round(x + w / 2 + (i - 1) * 3.0);
            c.setColour(look.grip);
            cairo_rectangle(cr, rx - 1, y + 2.5, 1, h - 5);
            cairo_fill(cr);
            c.setColour(look.thumbTop, 0.7);
            cairo_rectangle(cr, rx, y + 2.5, 1, h - 5);
            cairo_fill(cr);
        } else {
            double ry = std::round(y + h / 2 + (i - 1) * 3.0);
            c.setColour(look.grip);
            cairo_rectangle(cr, x + 2.5, ry - 1, w - 5, 1);
            cairo_fill(cr);
            c.setColour(look.thumbTop, 0.7);
            cairo_rectangle(cr, x + 2.5, ry, w - 5, 1);
            cairo_fill(cr);
        }
    }
}

Image horizontalSwitch(bool right, const SwitchLook& look) {
    using namespace layout;
    Canvas c(Image(kHSwitchW, kHSwitchH));
    drawPlate(c, kHSwitchW, kHSwitchH);
    drawSlot(c, 5, 6, kHSwitchW - 10, kHSwitchH - 12);
    const double tw = 14, th = 12;
    drawThumb(c, right ? kHSwitchW - 4 - tw : 4, 3, tw, th, look, true);
    return c.finish();
}

Image verticalSwitch(bool down) {
    using namespace layout;
    Canvas c(Image(kVSwitchW, kVSwitchH));
    drawPlate(c, kVSwitchW, kVSwitchH);
    drawSlot(c, 5, 5, kVSwitchW - 10, kVSwitchH - 10);
    const double tw = 11, th = 12;
    drawThumb(c, 2, down ? kVSwitchH - 3 - th : 3, tw, th, kNormal, false);
    return c.finish();
}

// Level marker: a small arrowhead pointing at the bar, in two halves that
// are drawn above and below it. Centred on the segment the marker names.
Image markerHalf(bool upper) {
    using namespace layout;
    Image img(kMarkerWidth, kMarkerHeight, toRgb(palette::kWindow));
    const Col kMarker{236, 236, 228};
    const double centre = kSegmentWidth / 2.0;
    shade(img, 0, 0, kMarkerWidth, kMarkerHeight, 8, [&](double x, double y) {
        double depth = upper ? y : kMarkerHeight - y;       // 0 at the far edge, 3 at the bar
        double halfWidth = 4.6 * (1.0 - depth / kMarkerHeight);
        return Sample{kMarker, std::fabs(x - centre) <= halfWidth ? 1.0 : 0.0};
    });
    return img;
}

} // namespace

Image renderSwitchStrip() {
    using namespace layout;
    Image strip(kSwitchStripW, kSwitchStripH, toRgb(palette::kPanel));
    const Image left = horizontalSwitch(false, kNormal), right = horizontalSwitch(true, kNormal);
    const Image dimLeft = horizontalSwitch(false, kDimmed), dimRight = horizontalSwitch(true, kDimmed);
    for (int x : {kLeverLeft, kSpareLeft, kLinkLeft})
        strip.copyFrom(left, 0, 0, kHSwitchW, kHSwitchH, x, 0);
    for (int x : {kLeverRight, kSpareRight, kLinkRight})
        strip.copyFrom(right, 0, 0, kHSwitchW, kHSwitchH, x, 0);
    for (int x : {kDimSpareLeft, kDimLeft})
        strip.copyFrom(dimLeft, 0, 0, kHSwitchW, kHSwitchH, x, 0);
    for (int x : {kDimSpareRight, kDimRight})
        strip.copyFrom(dimRight, 0, 0, kHSwitchW, kHSwitchH, x, 0);
    strip.copyFrom(markerHalf(true), 0, 0, kMarkerWidth, kMarkerHeight, kMarkerStripX, 0);
    strip.copyFrom(markerHalf(false), 0, 0, kMarkerWidth, kMarkerHeight, kMarkerStripX, kMarkerHeight);
    strip.copyFrom(verticalSwitch(false), 0, 0, kVSwitchW, kVSwitchH, kLimitUp, 0);
    strip.copyFrom(verticalSwitch(true), 0, 0, kVSwitchW, kVSwitchH, kLimitDown, 0);
    return strip;
}

Image renderClipStrip(const Image& under) {
    using namespace layout;
    Image strip(kClipStripW, kLedSize);
    const double c = kLedSize / 2.0;
    const double lensR = 4.3, bezelR = 6.6;
    for (int f = 0; f < kLedFrames; ++f) {
        const double t = f / double(kLedFrames - 1);
        Image frame = under;
        shade(frame, 0, 0, kLedSize, kLedSize, 8, [&](double x, double y) {
            double dx = x - c, dy = y - c;
            double r = std::sqrt(dx * dx + dy * dy);
            if (r > bezelR)
                return Sample{{}, 0.0};
            if (r > lensR + 0.6) {
                // Chrome bezel, lit from above, with a dark outer edge.
                double v = 118 - 62 * (dy / r);
                v *= 0.35 + 0.65 * smoothstep(bezelR, bezelR - 0.8, r);
                return Sample{grey(v) + Col{40.0 * t, 4.0 * t, 2.0 * t}, 1.0};
            }
            if (r > lensR)
                return Sample{grey(14), 1.0}; // seam between bezel and lens
            // Lens: dark ruby when off, hot in the centre when on.
            Col off = mix(Col{88, 16, 14}, Col{36, 6, 6}, (dy / lensR + 1) / 2);
            Col on = mix(Col{255, 72, 48}, Col{255, 214, 190}, std::pow(1.0 - r / lensR, 2.0));
            Col l = mix(off, on, t);
            // Glint of the light source, upper left.
            double hx = dx + 1.6, hy = dy + 1.7;
            double glint = 1.0 - smoothstep(0.4, 1.6, std::sqrt(hx * hx + hy * hy));
            l = mix(l, grey(255), 0.55 * glint);
            return Sample{l, 1.0};
        });
        strip.copyFrom(frame, 0, 0, kLedSize, kLedSize, kLedSize * f, 0);
    }
    return strip;
}

} // namespace artgen
