// The panel background: brushed graphite face with screws, the printed
// legend, the knob recesses and scales, and the empty meter window. Every
// rectangle that the editor later overwrites gets either the frame that it
// will receive (switches, bar segments) or stays plain (marker strips).
#include "Artwork.h"
#include "PanelGeometry.h"

#include <cmath>
#include <string>
#include <vector>

namespace artgen {

namespace {

using namespace geo;

// Horizontal running average with clamped ends.
std::vector<double> boxBlur(const std::vector<double>& in, int radius) {
    const int n = static_cast<int>(in.size());
    std::vector<double> out(in.size());
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int k = -radius; k <= radius; ++k)
            sum += in[std::min(n - 1, std::max(0, i + k))];
        out[i] = sum / (2 * radius + 1);
    }
    return out;
}

// Brushed metal: long and short streaks along x, a little per-row and
// per-pixel grain, lit slightly brighter at the top.
Image brushedFace() {
    Image img(kPanelW, kPanelH);
    for (int y = 0; y < kPanelH; ++y) {
        std::vector<double> noise(kPanelW);
        for (int x = 0; x < kPanelW; ++x)
            noise[x] = hash01(x, y, 11) - 0.5;
        std::vector<double> longStreak = boxBlur(boxBlur(noise, 28), 28);
        std::vector<double> shortStreak = boxBlur(noise, 4);
        const double row = hash01(0, y, 12) - 0.5;
        for (int x = 0; x < kPanelW; ++x) {
            double v = 34.0 * longStreak[x] + 7.0 * shortStreak[x] + 2.0 * row + 1.6 * (hash01(x, y, 13) - 0.5);
            double u = 2.0 * x / (kPanelW - 1) - 1.0;
            v += 5.0 * (0.5 - double(y) / kPanelH) - 3.0 * u * u;
            img.at(x, y) = toRgb(palette::kPanel + Col{v, v, v * 1.05});
        }
    }
    // Folded edge: lit along the top and left, shaded along the bottom and right.
    for (int x = 0; x < kPanelW; ++x) {
        img.at(x, 0) = toRgb(fromRgb(img.at(x, 0)) + grey(30));
        img.at(x, 1) = toRgb(fromRgb(img.at(x, 1)) + grey(9));
        img.at(x, kPanelH - 1) = toRgb(fromRgb(img.at(x, kPanelH - 1)) * 0.45);
        img.at(x, kPanelH - 2) = toRgb(fromRgb(img.at(x, kPanelH - 2)) * 0.8);
    }
    for (int y = 1; y < kPanelH - 1; ++y) {
        img.at(0, y) = toRgb(fromRgb(img.at(0, y)) + grey(22));
        img.at(1, y) = toRgb(fromRgb(img.at(1, y)) + grey(6));
        img.at(kPanelW - 1, y) = toRgb(fromRgb(img.at(kPanelW - 1, y)) * 0.5);
        img.at(kPanelW - 2, y) = toRgb(fromRgb(img.at(kPanelW - 2, y)) * 0.82);
    }
    return img;
}

// Cross-head screw in a countersink, turned by `angle`.
void drawScrew(Image& img, double cx, double cy, double angle) {
    const double sinkR = 4.4, headR = 3.6;
    const double ca = std::cos(angle), sa = std::sin(angle);
    shade(img, int(cx - 6), int(cy - 6), 12, 12, 8, [&](double x, double y) {
        double dx = x - cx, dy = y - cy;
        double r = std::sqrt(dx * dx + dy * dy);
        if (r > sinkR)
            return Sample{{}, 0.0};
        if (r > headR)
            return Sample{grey(24 + 22 * (dy / r)), 1.0};
        double v = 150 - 70 * ((dy - dx * 0.5) / headR + 1) / 2;
        double u = dx * ca + dy * sa, w = -dx * sa + dy * ca;
        bool slot = (std::fabs(u) < 0.55 && std::fabs(w) < 2.7) || (std::fabs(w) < 0.55 && std::fabs(u) < 2.7);
        return Sample{slot ? grey(28) : Col{v, v, v * 1.03}, 1.0};
    });
}

void drawKnobSeats(Image& img) {
    const double pad = knob::kSeatR + 1;
    for (int k = 0; k < kKnobCount; ++k) {
        const double cx = kKnobX[k] + kKnobSize / 2.0, cy = kKnobY + kKnobSize / 2.0;
        const int x0 = int(cx - pad), y0 = int(cy - pad), size = int(2 * pad) + 1;
        shade(img, x0, y0, size, size, knob::kSamples, [&](double x, double y) {
            double dx = x - cx, dy = y - cy;
            bool inside = dx * dx + dy * dy < knob::kSeatR * knob::kSeatR;
            return Sample{knobSeat(dx, dy), inside ? 1.0 : 0.0};
        });
    }
}

void drawKnobScales(Canvas& c) {
    static const char* const kNames[kKnobCount] = {"Input", "Pressure", "Release1", "Release2", "Output"};
    cairo_t* cr = c.cr();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int k = 0; k < kKnobCount; ++k) {
        const double cx = kKnobX[k] + kKnobSize / 2.0, cy = kKnobY + kKnobSize / 2.0;
        const int ticks = 11;
        for (int i = 0; i < ticks; ++i) {
            // Ends of travel, and Output's centre (no gain change), are long ticks.
            const bool centred = kTravel[k].startDeg + kTravel[k].spanDeg / 2 == 360;
            const bool major = i == 0 || i == ticks - 1 || (centred && i == ticks / 2);
            const double a = (kTravel[k].startDeg + kTravel[k].spanDeg * i / (ticks - 1)) * kPi / 180.0;
            const double sx = std::sin(a), sy = -std::cos(a);
            const double r0 = 24.3, r1 = major ? 29.0 : 27.2;
            cairo_move_to(cr, cx + sx * r0, cy + sy * r0);
            cairo_line_to(cr, cx + sx * r1, cy + sy * r1);
            cairo_set_line_width(cr, major ? 1.5 : 1.1);
            c.setColour(palette::kPrint, major ? 1.0 : 0.75);
            cairo_stroke(cr);
        }
        c.font(FontStyle::Bold, 9.5);
        c.setColour(palette::kPrint);
        c.text(cx, 114, kNames[k], Align::Centre);
    }
}

void drawTitle(Canvas& c) {
    c.font(FontStyle::CondensedBold, 21);
    c.setColour(palette::kPrint);
    c.text(26, 37, "Orv4417-QX");
    double after = 26 + c.textWidth("Orv4417-QX") + 10;
    c.font(FontStyle::Regular, 8);
    c.setColour(palette::kPrintDim);
    c.text(after, 37, "STEREO LIMITING COMPRESSOR");
    c.font(FontStyle::Bold, 11);
    c.setColour(palette::kPrint);
    c.text(435, 37, "Qem v1.0", Align::Right);
}

// The badge that opens the about image.
void drawEmblem(Canvas& c) {
    cairo_t* cr = c.cr();
    const double x = kEmblem.x + 0.5, y = kEmblem.y + 0.5, w = kEmblem.w - 1, h = kEmblem.h - 1;
    c.roundedRect(x, y + 0.8, w, h, 4);
    c.setColour(grey(0), 0.45);
    cairo_fill(cr);
    c.roundedRect(x, y, w, h, 4);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(g, 0, 40 / 255.0, 41 / 255.0, 45 / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 20 / 255.0, 21 / 255.0, 23 / 255.0);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1.0);
    c.setColour(grey(96));
    cairo_stroke(cr);
    drawLogo(c, x + w / 2, y + h / 2, 6.6);
}

void drawMeterWindow(Canvas& c) {
    cairo_t* cr = c.cr();
    // Sunk window: a dark bezel whose lower lip catches the light.
    c.roundedRect(39.5, 130.5, 373, 26, 3);
    c.setColour(grey(96), 0.55);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    c.roundedRect(40, 130, 372, 26, 3);
    c.setColour(grey(20));
    cairo_fill(cr);
    c.setColour(grey(6));
    cairo_rectangle(cr, 40, 130, 372, 1);
    cairo_fill(cr);

    c.font(FontStyle::Regular, 7.5);
    c.setColour(palette::kPrintDim);
    for (const ScaleMark& m : kScale) {
        int boundary = kSegments - m.units / kUnitsPerSegment;
        double x = kBar.x + kSegmentPitch * boundary - (boundary > 0 ? 0.5 : 0.0);
        c.text(x, 127, m.label, Align::Centre);
    }
    c.font(FontStyle::Bold, 9);
    c.setColour(palette::kPrint);
    c.text(417, 147, "GR");
}

// Window glass, boundary ticks and the unlit segments. The marker strips
// stay plain glass: the editor restores them from here to erase the marker.
void fillMeterWindow(Image& img, const Image& barStrip) {
    const Rgb glass = toRgb(palette::kWindow);
    img.fill(42, 132, 368, 23, glass);
    for (int b = 0; b <= kSegments; ++b) {
        int x = kBar.x + kSegmentPitch * b - (b > 0 ? 1 : 0);
        bool marked = false;
        for (const ScaleMark& m : kScale)
            marked |= kSegments - m.units / kUnitsPerSegment == b;
        img.at(x, 134) = toRgb(grey(marked ? 120 : 58));
        if (marked)
            img.at(x, 133) = toRgb(grey(88));
    }
    for (int s = 0; s < kSegments; ++s)
        img.copyFrom(barStrip, 0, 0, kSegmentW, kSegmentH, kBar.x + kSegmentPitch * s, kBar.y);
}

void drawSwitchLegends(Canvas& c) {
    c.font(FontStyle::Regular, 8);
    c.setColour(palette::kPrintDim);
    const double mid = kLowPunch.y + kLowPunch.h / 2.0 + 3;
    c.text(kLowPunch.x - 4, mid, "Off", Align::Right);
    c.text(kLowPunch.x + kLowPunch.w + 4, mid, "On");
    c.text(kStereoLink.x - 4, mid, "Off", Align::Right);
    c.text(kStereoLink.x + kStereoLink.w + 4, mid, "On");
    c.text(kLinkQuality.x - 4, mid, "Normal", Align::Right);
    c.text(kLinkQuality.x + kLinkQuality.w + 4, mid, "HQ");

    c.setColour(palette::kPrint);
    c.text(kLimit.x + kLimit.w / 2.0, kLimit.y - 3, "Hard", Align::Centre);
    c.text(kLimit.x + kLimit.w / 2.0, kLimit.y + kLimit.h + 9, "Soft", Align::Centre);

    // "Limit" runs up beside its switch, clear of the knob labels' row.
    c.font(FontStyle::Bold, 8.5);
    c.setColour(palette::kPrint);
    cairo_save(c.cr());
    cairo_translate(c.cr(), kLimit.x + kLimit.w + 10, kLimit.y + kLimit.h / 2.0);
    cairo_rotate(c.cr(), -kPi / 2);
    c.text(4, 0, "Limit", Align::Centre);
    cairo_restore(c.cr());
    const double caption = 197;
    c.text(kLowPunch.x + kLowPunch.w / 2.0, caption, "Low Punch", Align::Centre);
    c.text(kStereoLink.x + kStereoLink.w / 2.0, caption, "Stereo Link", Align::Centre);
    c.text(kLinkQuality.x + kLinkQuality.w / 2.0, caption, "Link Quality", Align::Centre);
    c.text(kClip.x + kClip.w / 2.0, kClip.y + kClip.h + 10, "Clip", Align::Centre);
}

// Soft shadow under a switch plate, outside its rectangle.
void dropShadow(Image& img, const Rect& r) {
    shade(img, r.x - 3, r.y - 3, r.w + 6, r.h + 7, 4, [&](double x, double y) {
        double dx = std::max({r.x - x, 0.0, x - (r.x + r.w)});
        double dy = std::max({r.y + 1.0 - y, 0.0, y - (r.y + r.h + 1.0)});
        double d = std::sqrt(dx * dx + dy * dy);
        return Sample{grey(0), 0.55 * (1.0 - smoothstep(0.0, 2.6, d))};
    });
}

} // namespace

void drawLogo(Canvas& c, double cx, double cy, double radius) {
    cairo_t* cr = c.cr();
    const double stroke = radius * 0.34;
    c.setColour(palette::kAccent);
    cairo_set_line_width(cr, stroke);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, radius - stroke / 2, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx + radius * 0.28, cy + radius * 0.28);
    cairo_line_to(cr, cx + radius * 0.95, cy + radius * 0.95);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

Image renderPanel(const Image& barStrip, const Image& switchStrip) {
    Image img = brushedFace();
    drawScrew(img, 8.5, 7.5, 0.35);
    drawScrew(img, kPanelW - 8.5, 7.5, 1.1);
    drawScrew(img, 8.5, kPanelH - 7.5, 0.8);
    drawScrew(img, kPanelW - 8.5, kPanelH - 7.5, 0.1);
    drawKnobSeats(img);
    for (const Rect& r : {kLimit, kLowPunch, kStereoLink, kLinkQuality})
        dropShadow(img, r);
    {
        Canvas c(img);
        drawTitle(c);
        drawEmblem(c);
        drawKnobScales(c);
        drawMeterWindow(c);
        drawSwitchLegends(c);
        img = c.finish();
    }
    fillMeterWindow(img, barStrip);

    // The switches as the panel opens with its defaults: Low Punch off,
    // both link switches on, Limit soft.
    img.copyFrom(switchStrip, kLeverLeft, 0, kHSwitchW, kHSwitchH, kLowPunch.x, kLowPunch.y);
    img.copyFrom(switchStrip, kLinkRight, 0, kHSwitchW, kHSwitchH, kStereoLink.x, kStereoLink.y);
    img.copyFrom(switchStrip, kLinkRight, 0, kHSwitchW, kHSwitchH, kLinkQuality.x, kLinkQuality.y);
    img.copyFrom(switchStrip, kLimitDown, 0, kVSwitchW, kVSwitchH, kLimit.x, kLimit.y);
    return img;
}

} // namespace artgen
