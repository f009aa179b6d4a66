#include "Paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>

namespace artgen {

Rgb toRgb(const Col& c) {
    auto q = [](double v) {
        long i = std::lround(v);
        return static_cast<std::uint8_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
    };
    return {q(c.r), q(c.g), q(c.b)};
}

double hash01(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= x * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= y * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return (h >> 8) * (1.0 / 16777216.0);
}

void shade(Image& img, int x0, int y0, int w, int h, int n,
           const std::function<Sample(double, double)>& fn) {
    const double inv = 1.0 / (n * n);
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            Col acc;
            double cover = 0;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    Sample s = fn(x + (i + 0.5) / n, y + (j + 0.5) / n);
                    acc += s.c * s.a;
                    cover += s.a;
                }
            }
            if (cover <= 0)
                continue;
            Col below = fromRgb(img.at(x, y));
            img.at(x, y) = toRgb(acc * inv + below * (1.0 - cover * inv));
        }
    }
}

namespace {

// DejaVu is loaded straight from its files rather than through fontconfig,
// so a missing font is an error instead of a silent substitute.
const char* fontPath(FontStyle s) {
    switch (s) {
    case FontStyle::Regular:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case FontStyle::Bold:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case FontStyle::CondensedBold:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
    }
    return "";
}

cairo_font_face_t* fontFace(FontStyle s) {
    static FT_Library lib = nullptr;
    static cairo_font_face_t* faces[3] = {};
    const int i = static_cast<int>(s);
    if (faces[i])
        return faces[i];
    if (!lib && FT_Init_FreeType(&lib) != 0) {
        std::fprintf(stderr, "artgen: cannot initialise FreeType\n");
        std::exit(1);
    }
    FT_Face face = nullptr;
    if (FT_New_Face(lib, fontPath(s), 0, &face) != 0) {
        std::fprintf(stderr, "artgen: missing font %s (install the DejaVu fonts)\n", fontPath(s));
        std::exit(1);
    }
    faces[i] = cairo_ft_font_face_create_for_ft_face(face, 0);
    return faces[i];
}

} // namespace

Canvas::Canvas(const Image& from) : w(from.width()), h(from.height()) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const Rgb& c = from.at(x, y);
            row[x] = 0xff000000u | (c.r << 16) | (c.g << 8) | c.b;
        }
    }
    cairo_surface_mark_dirty(surface);
    ctx = cairo_create(surface);

    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(ctx, fo);
    cairo_font_options_destroy(fo);
    cairo_set_antialias(ctx, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
    cairo_destroy(ctx);
    cairo_surface_destroy(surface);
}

Image Canvas::finish() {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Image out(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = row[x];
            out.at(x, y) = Rgb{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                               static_cast<std::uint8_t>(p)};
        }
    }
    return out;
}

void Canvas::setColour(const Col& c, double alpha) {
    cairo_set_source_rgba(ctx, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

void Canvas::font(FontStyle style, double pixelSize) {
    cairo_set_font_face(ctx, fontFace(style));
    cairo_set_font_size(ctx, pixelSize);
}

double Canvas::textWidth(const std::string& t) {
    cairo_text_extents_t e;
    cairo_text_extents(ctx, t.c_str(), &e);
    return e.x_advance;
}

void Canvas::text(double x, double y, const std::string& t, Align align) {
    double width = textWidth(t);
    double start = x;
    if (align == Align::Centre)
        start = x - width / 2;
    else if (align == Align::Right)
        start = x - width;
    cairo_move_to(ctx, std::round(start), std::round(y));
    cairo_show_text(ctx, t.c_str());
}

void Canvas::roundedRect(double x, double y, double rw, double rh, double r) {
    cairo_new_sub_path(ctx);
    cairo_arc(ctx, x + rw - r, y + r, r, -kPi / 2, 0);
    cairo_arc(ctx, x + rw - r, y + rh - r, r, 0, kPi / 2);
    cairo_arc(ctx, x + r, y + rh - r, r, kPi / 2, kPi);
    cairo_arc(ctx, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(ctx);
}

} // namespace artgen
