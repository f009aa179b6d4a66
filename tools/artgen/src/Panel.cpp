// The panel background: brushed graphite face with screws, the printed
// legend, the knob recesses and scales, and the empty meter window. Every
// rectangle that the editor later overwrites gets either the frame that it
// will receive (switches, bar segments) or stays plain (marker strips).
#include "Artwork.h"
#include "EditorLayout.h"

#include <cmath>
#include <string>
#include <vector>

namespace artgen {

namespace {

using namespace layout;

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
        const double cx = knobRect(k).x + kKnobSize / 2.0, cy = knobRect(k).y + kKnobSize / 2.0;
        const int x0 = int(cx - pad), y0 = int(cy - pad), size = int(2 * pad) + 1;
        shade(img, x0, y0, size, size, knob::kSamples, [&](double x, double y) {
            double dx = x - cx, dy = y - cy;
            bool inside = dx * dx + dy * dy < knob::kSeatR * knob::kSeatR;
            return Sample{knobSeat(dx, dy), inside ? 1.0 : 0.0};
        });
    }
}

void drawKnobScales(Canvas& c) {
    cairo_t* cr = c.cr();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int k = 0; k < kKnobCount; ++k) {
        const double cx = knobRect(k).x + kKnobSize / 2.0, cy = knobRect(k).y + kKnobSize / 2.0;
        const Travel travel = knobTravel(k);
        const int ticks = 11;
        for (int i = 0; i < ticks; ++i) {
            // Ends of travel, and Output's centre (no gain change), are long ticks.
            const bool centred = travel.startDeg + travel.spanDeg / 2 == 360;
            const bool major = i == 0 || i == ticks - 1 || (centred && i == ticks / 2);
            const double a = (travel.startDeg + travel.spanDeg * i / (ticks - 1)) * kPi / 180.0;
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
        c.text(cx, 114, qx::kParamTable[qx::kPanelControls[k].param].name, Align::Centre);
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
    const PanelRect& r = emblemRect();
    const double x = r.x + 0.5, y = r.y + 0.5, w = r.w, h = r.h;
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
    for (const MeterScale::Breakpoint& m : MeterScale::kBreakpoints) {
        if (m.units == 0)
            continue; // the bar's right end needs no figure
        const int boundary = scaleBoundary(m.units);
        const double x = kBarStrip.x + kSegmentPitch * boundary - (boundary > 0 ? 0.5 : 0.0);
        c.text(x, 127, std::to_string(m.hundredths / 100), Align::Centre);
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
        int x = kBarStrip.x + kSegmentPitch * b - (b > 0 ? 1 : 0);
        const bool marked = isScaleMark(b);
        img.at(x, meter::kTickY) = toRgb(marked ? meter::kTickMarked : meter::kTickPlain);
        if (marked)
            img.at(x, meter::kTickY - 1) = toRgb(grey(88));
    }
    for (int s = 0; s < kSegments; ++s)
        img.copyFrom(barStrip, 0, 0, kSegmentWidth, kSegmentHeight, kBarStrip.x + kSegmentPitch * s, kBarStrip.y);
}

// The horizontal switches, left to right.
constexpr int kLevers[] = {qx::kLowPunch, qx::kStereoLink, qx::kLinkQuality};

void drawSwitchLegends(Canvas& c) {
    c.font(FontStyle::Regular, 8);
    c.setColour(palette::kPrintDim);
    // A lever's left (or upper) position is state 0.
    for (int param : kLevers) {
        const PanelRect& r = controlRect(param);
        const double mid = r.y + r.h / 2.0 + 3;
        c.text(r.x - 4, mid, qx::kParamTable[param].states[0], Align::Right);
        c.text(r.x + r.w + 4, mid, qx::kParamTable[param].states[1]);
    }

    c.setColour(palette::kPrint);
    const char* const* limitStates = qx::kParamTable[qx::kLimit].states;
    c.text(kLimit.x + kLimit.w / 2.0, kLimit.y - 3, limitStates[0], Align::Centre);
    c.text(kLimit.x + kLimit.w / 2.0, kLimit.y + kLimit.h + 9, limitStates[1], Align::Centre);

    // "Limit" runs up beside its switch, clear of the knob labels' row.
    c.font(FontStyle::Bold, 8.5);
    c.setColour(palette::kPrint);
    cairo_save(c.cr());
    cairo_translate(c.cr(), kLimit.x + kLimit.w + 10, kLimit.y + kLimit.h / 2.0);
    cairo_rotate(c.cr(), -kPi / 2);
    c.text(4, 0, qx::kParamTable[qx::kLimit].name, Align::Centre);
    cairo_restore(c.cr());
    const double caption = 197;
    for (int param : kLevers) {
        const PanelRect& r = controlRect(param);
        c.text(r.x + r.w / 2.0, caption, qx::kParamTable[param].name, Align::Centre);
    }
    c.text(kClipLed.x + kClipLed.w / 2.0, kClipLed.y + kClipLed.h + 10, "Clip", Align::Centre);
}

// Soft shadow under a switch plate, outside its rectangle.
void dropShadow(Image& img, const PanelRect& r) {
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
    for (const PanelRect& r : {kLimit, kLowPunch, kStereoLink, kLinkQuality})
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

    // The switches as the panel opens, at their parameters' defaults.
    for (const qx::PanelControl& sw : qx::kPanelControls)
        if (sw.kind == qx::ControlKind::Switch)
            img.copyFrom(switchStrip, defaultSwitchFrameX(sw.param), 0, sw.image.w, sw.image.h, sw.image.x,
                         sw.image.y);
    return img;
}

} // namespace artgen
