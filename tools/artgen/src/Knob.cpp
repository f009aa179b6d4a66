// The knob strip: a mask and 80 pointer positions of one knob, lit from the
// upper left. Only the pointer and the knurling turn with the knob; light,
// shadow and the sheen of the cap stay where the light puts them, as on a
// real knob.
#include "Artwork.h"
#include "EditorLayout.h"

#include <cmath>

namespace artgen {

namespace {

struct Vec3 {
    double x, y, z;
};
Vec3 normalise(Vec3 v) {
    double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Light from the upper left, fairly high; y grows downwards.
const Vec3 kLight = normalise({-0.45, -0.75, 0.9});
const Vec3 kEye{0, 0, 1};

double lit(Vec3 n, double diffuse, double gloss, double shininess) {
    Vec3 h = normalise({kLight.x + kEye.x, kLight.y + kEye.y, kLight.z + kEye.z});
    double d = std::max(0.0, dot(n, kLight));
    double s = std::pow(std::max(0.0, dot(n, h)), shininess);
    return d * diffuse + s * gloss;
}

// Smooth 1-D value noise over r, for the fine rings of the spun cap.
double ringNoise(double r) {
    double t = r * 3.0;
    int i = static_cast<int>(std::floor(t));
    double f = t - i;
    double a = hash01(static_cast<std::uint32_t>(i), 7, 41);
    double b = hash01(static_cast<std::uint32_t>(i + 1), 7, 41);
    return a + (b - a) * f * f * (3 - 2 * f) - 0.5;
}

constexpr double kPointerInner = 4.5;
constexpr double kPointerHalfWidth = 0.95;
const Col kPointer{242, 238, 226};

// One sample of the knob at (dx, dy) from its centre, pointer at `pointer`
// radians clockwise from 12 o'clock.
Col knobSample(double dx, double dy, double pointer) {
    using namespace knob;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r > kBodyR)
        return knobSeat(dx, dy);

    // Pointer line: painted over cap and skirt.
    const double px = std::sin(pointer), py = -std::cos(pointer);
    const double along = dx * px + dy * py;
    const double across = std::fabs(dx * py - dy * px);
    const bool onPointer = along >= kPointerInner && along <= kBodyR - 1.0 && across <= kPointerHalfWidth;

    const double ux = r > 1e-9 ? dx / r : 0, uy = r > 1e-9 ? dy / r : 0;
    Col c;
    if (r > kCapR + 1.0) {
        // Knurled skirt: a cone falling away outwards with ridges that turn
        // with the knob.
        const double phi = std::atan2(dx, -dy);
        const double ridge = std::sin(36.0 * (phi - pointer));
        const double fall = 0.55 + 0.9 * smoothstep(kBodyR - 2.0, kBodyR, r);
        Vec3 n = normalise({ux * fall - uy * 0.5 * ridge, uy * fall + ux * 0.5 * ridge, 1.0});
        double v = 16 + lit(n, 52, 70, 18);
        v *= 0.86 + 0.14 * (0.5 + 0.5 * std::cos(36.0 * (phi - pointer)));
        c = {v, v, v * 1.04};
    } else if (r > kCapR) {
        // Chamfer between skirt and cap catches the light.
        Vec3 n = normalise({ux * 1.3, uy * 1.3, 1.0});
        double v = 30 + lit(n, 80, 120, 14);
        c = {v, v, v * 1.03};
    } else {
        // Spun cap: flat, with the two-lobed sheen of circular brushing.
        const double phi = std::atan2(dx, -dy);
        const double lightPhi = std::atan2(kLight.x, -kLight.y);
        double v = 66 + 24 * std::cos(2 * (phi - lightPhi)) * smoothstep(0.5, 4.0, r) + 7 * ringNoise(r);
        v += 10 * (-dy / kCapR); // slightly brighter towards the light
        c = {v, v, v * 1.04};
    }
    if (onPointer) {
        // Soft rim on the line keeps it smooth at every angle.
        double edge = smoothstep(kPointerHalfWidth, kPointerHalfWidth - 0.5, across);
        c = mix(c, kPointer, 0.35 + 0.65 * edge);
    }
    return c;
}

bool inMask(int x, int y) {
    double dx = x + 0.5 - layout::kKnobSize / 2.0, dy = y + 0.5 - layout::kKnobSize / 2.0;
    return dx * dx + dy * dy < knob::kMaskR * knob::kMaskR;
}

} // namespace

Col knobSeat(double dx, double dy) {
    using namespace knob;
    const double r = std::sqrt(dx * dx + dy * dy);
    Col c = palette::kSeat;
    // Recess wall: the lower rim faces the light, the upper one is shaded.
    if (r > 1e-9) {
        double wall = smoothstep(kSeatR - 2.0, kSeatR, r);
        c = c + grey(14.0 * wall * (dy / r));
    }
    // The knob's own shadow, cast slightly downwards.
    double sd = std::sqrt(dx * dx + (dy - 1.8) * (dy - 1.8)) - kBodyR;
    double shadow = 0.7 * (1.0 - smoothstep(-0.5, 3.5, sd));
    return c * (1.0 - shadow);
}

Image renderKnobStrip() {
    const int s = layout::kKnobSize;
    Image strip(s * layout::kKnobFrames, s, Rgb{0, 0, 0});

    // Frame 0: black where the frame is shown, white where the panel is.
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x)
            strip.at(x, y) = inMask(x, y) ? Rgb{0, 0, 0} : Rgb{255, 255, 255};

    for (int k = 1; k < layout::kKnobFrames; ++k) {
        const double pointer = (k - 1) * layout::kKnobStepDeg * kPi / 180.0;
        Image frame(s, s, Rgb{0, 0, 0});
        shade(frame, 0, 0, s, s, knob::kSamples, [&](double x, double y) {
            return Sample{knobSample(x - s / 2.0, y - s / 2.0, pointer), 1.0};
        });
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x)
                strip.at(s * k + x, y) = inMask(x, y) ? frame.at(x, y) : Rgb{0, 0, 0};
    }
    return strip;
}

} // namespace artgen
