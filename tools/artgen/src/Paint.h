// Drawing helpers shared by all artwork pieces: a cairo canvas bound to an
// Image, the fonts, floating-point colours, a supersampling shader for the
// analytic parts (knob, seats, brushed metal) and a deterministic noise
// source. Everything is a pure function of its inputs, so a run always
// produces the same bytes.
#pragma once

#include "Image.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

namespace artgen {

constexpr double kPi = 3.14159265358979323846;

struct Col {
    double r = 0, g = 0, b = 0; // 0..255, not clamped until stored

    Col operator+(const Col& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Col operator-(const Col& o) const { return {r - o.r, g - o.g, b - o.b}; }
    Col operator*(double k) const { return {r * k, g * k, b * k}; }
    Col& operator+=(const Col& o) {
        r += o.r;
        g += o.g;
        b += o.b;
        return *this;
    }
};

inline Col grey(double v) { return {v, v, v}; }
inline Col mix(const Col& a, const Col& b, double t) { return a + (b - a) * t; }
inline Col fromRgb(Rgb c) { return {double(c.r), double(c.g), double(c.b)}; }
Rgb toRgb(const Col& c);

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double smoothstep(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Integer hash -> [0, 1). Stable across platforms, unlike std distributions.
double hash01(std::uint32_t x, std::uint32_t y, std::uint32_t seed);

// A colour with coverage, as returned by a per-sample shading function.
struct Sample {
    Col c;
    double a = 1.0; // 0 leaves the pixel below untouched
};

// Shades the rectangle (x0, y0, w, h) of img: each pixel is the average of
// n x n stratified samples of fn(x, y), in continuous image coordinates
// (pixel i covers [i, i + 1)), composited over the pixel's present colour.
void shade(Image& img, int x0, int y0, int w, int h, int n,
           const std::function<Sample(double, double)>& fn);

enum class FontStyle { Regular, Bold, CondensedBold };
enum class Align { Left, Centre, Right };

// A cairo ARGB surface initialised from an Image; finish() writes the result
// back. Only opaque drawing is done on it, so premultiplication never shows.
class Canvas {
public:
    explicit Canvas(const Image& from);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() { return ctx; }
    Image finish();

    void setColour(const Col& c, double alpha = 1.0);
    void font(FontStyle style, double pixelSize);
    double textWidth(const std::string& text);
    // Draws text with its baseline at y; x is the left edge, centre or right
    // edge per align. The start is snapped to whole pixels so that small
    // lettering stays crisp.
    void text(double x, double y, const std::string& text, Align align = Align::Left);
    void roundedRect(double x, double y, double w, double h, double r);

private:
    cairo_surface_t* surface = nullptr;
    cairo_t* ctx = nullptr;
    int w = 0, h = 0;
};

} // namespace artgen
