// Drawing the level plot with cairo. The picture is built once as a list of drawing segments:
// one per bin where bins are wider than a pixel (steps), else one per pixel column (the column's
// loudest peak, its RMS and its deepest reduction).
#include "host/LevelPlot.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qxhost {

namespace {

constexpr double kLevelTop = 6.0;     // dBFS at the top of the level pane: room for overs
constexpr double kLevelFloor = -60.0; // and at its bottom
constexpr double kMarginLeft = 62, kMarginRight = 18, kMarginTop = 54, kMarginBottom = 40;
constexpr double kPaneGap = 30;

struct Rgb {
    double r, g, b;
};
constexpr Rgb kBackground{1.0, 1.0, 1.0};
constexpr Rgb kPaneBackground{0.97, 0.975, 0.98};
constexpr Rgb kGrid{0.85, 0.87, 0.89};
constexpr Rgb kText{0.15, 0.16, 0.18};
constexpr Rgb kOutPeak{0.20, 0.45, 0.78};
constexpr Rgb kOutRms{0.62, 0.77, 0.93};
constexpr Rgb kInPeak{0.85, 0.45, 0.10};
constexpr Rgb kInRms{0.96, 0.76, 0.55};
constexpr Rgb kClip{0.85, 0.12, 0.12};
constexpr Rgb kReduction{0.80, 0.25, 0.22};

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

double decibels(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -1000.0; }

struct Segment {
    double x0, x1; // pixels from the plot's left edge
    double inPeak, inRms, outPeak, outRms, reduction; // dB
};

struct Frame {
    double left, right, levelTop, levelBottom, gainTop, gainBottom;
    double width() const { return right - left; }
};

std::vector<Segment> segments(const LevelPlot& plot, double width) {
    std::vector<Segment> out;
    const auto& bins = plot.bins();
    const double total = static_cast<double>(plot.frames());
    if (bins.empty() || total <= 0) return out;
    auto toSegment = [](double x0, double x1, const LevelPlot::Bin& b) {
        const double n = b.frames > 0 ? static_cast<double>(b.frames) : 1.0;
        return Segment{x0, x1, decibels(b.inPeak), decibels(std::sqrt(b.inSquares / n)) ,
                       decibels(b.outPeak), decibels(std::sqrt(b.outSquares / n)), -decibels(b.gain)};
    };
    if (static_cast<double>(bins.size()) <= width) {
        double pos = 0;
        for (const auto& b : bins) {
            const double x0 = pos / total * width;
            pos += static_cast<double>(b.frames);
            out.push_back(toSegment(x0, pos / total * width, b));
        }
        return out;
    }
    const int columns = static_cast<int>(width);
    std::vector<LevelPlot::Bin> merged(columns);
    double pos = 0;
    for (const auto& b : bins) {
        const int c = std::min(columns - 1, static_cast<int>(pos / total * width));
        merged[c].absorb(b);
        pos += static_cast<double>(b.frames);
    }
    // RMS over about 50 ms around each column: per-column RMS of a few hundred frames is noise.
    const double columnSeconds = total / plot.sampleRate() / width;
    const int reach = static_cast<int>(std::ceil(0.025 / columnSeconds));
    std::vector<double> inSum(columns + 1, 0.0), outSum(columns + 1, 0.0), count(columns + 1, 0.0);
    for (int c = 0; c < columns; ++c) {
        inSum[c + 1] = inSum[c] + merged[c].inSquares;
        outSum[c + 1] = outSum[c] + merged[c].outSquares;
        count[c + 1] = count[c] + static_cast<double>(merged[c].frames);
    }
    for (int c = 0; c < columns; ++c) {
        if (merged[c].frames == 0) continue;
        Segment seg = toSegment(c, c + 1, merged[c]);
        const int lo = std::max(0, c - reach), hi = std::min(columns, c + reach + 1);
        const double n = count[hi] - count[lo];
        if (n > 0) {
            seg.inRms = decibels(std::sqrt((inSum[hi] - inSum[lo]) / n));
            seg.outRms = decibels(std::sqrt((outSum[hi] - outSum[lo]) / n));
        }
        out.push_back(seg);
    }
    return out;
}

// A round step giving at most `most` intervals over `span`.
double niceStep(double span, double most, const std::vector<double>& steps) {
    for (double s : steps)
        if (span / s <= most) return s;
    return steps.back();
}

std::string timeLabel(double t, double step, bool minutes) {
    char buf[32];
    if (minutes) {
        const long s = std::lround(t);
        std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
    } else {
        const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
        std::snprintf(buf, sizeof buf, "%.*f", decimals, t);
    }
    return buf;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignX = 0.0, double alignY = 0.0) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, x - alignX * e.x_advance, y + alignY * e.height);
    cairo_show_text(cr, s.c_str());
}

void drawLevelPane(cairo_t* cr, const Frame& f, const std::vector<Segment>& segs) {
    auto y = [&](double db) {
        const double d = std::clamp(db, kLevelFloor, kLevelTop);
        return f.levelTop + (kLevelTop - d) / (kLevelTop - kLevelFloor) * (f.levelBottom - f.levelTop);
    };
    auto fill = [&](double Segment::*field, Rgb colour) {
        if (segs.empty()) return;
        cairo_move_to(cr, f.left + segs.front().x0, f.levelBottom);
        for (const auto& s : segs) {
            cairo_line_to(cr, f.left + s.x0, y(s.*field));
            cairo_line_to(cr, f.left + s.x1, y(s.*field));
        }
        cairo_line_to(cr, f.left + segs.back().x1, f.levelBottom);
        cairo_close_path(cr);
        setColour(cr, colour);
        cairo_fill(cr);
    };
    auto line = [&](double Segment::*field, Rgb colour, double width) {
        if (segs.empty()) return;
        cairo_move_to(cr, f.left + segs.front().x0, y(segs.front().*field));
        for (const auto& s : segs) {
            cairo_line_to(cr, f.left + s.x0, y(s.*field));
            cairo_line_to(cr, f.left + s.x1, y(s.*field));
        }
        setColour(cr, colour);
        cairo_set_line_width(cr, width);
        cairo_stroke(cr);
    };
    fill(&Segment::outPeak, kOutPeak);
    fill(&Segment::outRms, kOutRms);
    line(&Segment::inRms, kInRms, 1.2);
    line(&Segment::inPeak, kInPeak, 1.4);

    // 0 dBFS is the clip line.
    cairo_set_font_size(cr, 11);
    const double dash[2] = {6, 4};
    cairo_set_dash(cr, dash, 2, 0);
    setColour(cr, kClip);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, f.left, y(0) + 0.5);
    cairo_line_to(cr, f.right, y(0) + 0.5);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    text(cr, f.right - 4, y(0) - 4, "0 dBFS clip", 1.0, 0.0);
}

void drawGainPane(cairo_t* cr, const Frame& f, const std::vector<Segment>& segs, double range) {
    auto y = [&](double db) {
        return f.gainTop + std::clamp(db, 0.0, range) / range * (f.gainBottom - f.gainTop);
    };
    if (!segs.empty()) {
        cairo_move_to(cr, f.left + segs.front().x0, f.gainTop);
        for (const auto& s : segs) {
            cairo_line_to(cr, f.left + s.x0, y(s.reduction));
            cairo_line_to(cr, f.left + s.x1, y(s.reduction));
        }
        cairo_line_to(cr, f.left + segs.back().x1, f.gainTop);
        cairo_close_path(cr);
        setColour(cr, kReduction, 0.85);
        cairo_fill(cr);
    }
    const double step = niceStep(range, 6, {1, 2, 3, 6, 12, 24});
    setColour(cr, kText);
    for (double db = 0; db <= range + 1e-9; db += step) {
        char buf[16];
        std::snprintf(buf, sizeof buf, db == 0 ? "0" : "-%.0f", db);
        text(cr, f.left - 6, y(db), buf, 1.0, 0.35);
    }
}

void grid(cairo_t* cr, const Frame& f, double seconds, double gainRange) {
    setColour(cr, kPaneBackground);
    cairo_rectangle(cr, f.left, f.levelTop, f.width(), f.levelBottom - f.levelTop);
    cairo_rectangle(cr, f.left, f.gainTop, f.width(), f.gainBottom - f.gainTop);
    cairo_fill(cr);
    setColour(cr, kGrid);
    cairo_set_line_width(cr, 1);
    for (double db = kLevelTop; db >= kLevelFloor - 1e-9; db -= 6.0) {
        const double yy = std::round(f.levelTop + (kLevelTop - db) / (kLevelTop - kLevelFloor) *
                                                      (f.levelBottom - f.levelTop)) + 0.5;
        cairo_move_to(cr, f.left, yy);
        cairo_line_to(cr, f.right, yy);
    }
    const double gstep = niceStep(gainRange, 6, {1, 2, 3, 6, 12, 24});
    for (double db = 0; db <= gainRange + 1e-9; db += gstep) {
        const double yy = std::round(f.gainTop + db / gainRange * (f.gainBottom - f.gainTop)) + 0.5;
        cairo_move_to(cr, f.left, yy);
        cairo_line_to(cr, f.right, yy);
    }
    // Time: round steps, m:ss past two minutes.
    const bool minutes = seconds > 120;
    const double step = niceStep(seconds, std::max(2.0, f.width() / 95),
                                 {0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2,
                                  5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600});
    std::vector<double> ticks;
    for (double t = 0; t <= seconds * (1 + 1e-9); t += step) ticks.push_back(t);
    for (double t : ticks) {
        const double x = std::round(f.left + t / seconds * f.width()) + 0.5;
        cairo_move_to(cr, x, f.levelTop);
        cairo_line_to(cr, x, f.levelBottom);
        cairo_move_to(cr, x, f.gainTop);
        cairo_line_to(cr, x, f.gainBottom);
    }
    cairo_stroke(cr);
    setColour(cr, kText);
    cairo_set_font_size(cr, 11);
    for (double t : ticks) text(cr, f.left + t / seconds * f.width(), f.gainBottom + 15, timeLabel(t, step, minutes), 0.5, 0.0);
    text(cr, f.right, f.gainBottom + 32, minutes ? "time (m:ss)" : "time (s)", 1.0, 0.0);
}

void legend(cairo_t* cr, double right, double y) {
    struct Item {
        const char* name;
        Rgb colour;
        bool line;
    };
    const Item items[] = {{"input peak", kInPeak, true},   {"input RMS", kInRms, true},
                          {"output peak", kOutPeak, false}, {"output RMS", kOutRms, false},
                          {"gain reduction", kReduction, false}};
    cairo_set_font_size(cr, 11);
    double width = 0;
    for (const auto& it : items) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, it.name, &e);
        width += 22 + e.x_advance + 14;
    }
    double x = right - width;
    for (const auto& it : items) {
        setColour(cr, it.colour);
        if (it.line) {
            cairo_set_line_width(cr, 2.5);
            cairo_move_to(cr, x, y - 4);
            cairo_line_to(cr, x + 16, y - 4);
            cairo_stroke(cr);
        } else {
            cairo_rectangle(cr, x, y - 9, 16, 10);
            cairo_fill(cr);
        }
        setColour(cr, kText);
        cairo_text_extents_t e;
        cairo_text_extents(cr, it.name, &e);
        text(cr, x + 22, y, it.name);
        x += 22 + e.x_advance + 14;
    }
}

void draw(cairo_t* cr, const LevelPlot& plot) {
    const double w = plot.width(), h = plot.height();
    setColour(cr, kBackground);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    Frame f;
    f.left = kMarginLeft;
    f.right = w - kMarginRight;
    const double area = h - kMarginTop - kMarginBottom - kPaneGap;
    f.levelTop = kMarginTop;
    f.levelBottom = kMarginTop + std::round(area * 0.64);
    f.gainTop = f.levelBottom + kPaneGap;
    f.gainBottom = h - kMarginBottom;

    const double seconds = std::max(1e-6, static_cast<double>(plot.frames()) / plot.sampleRate());
    const std::vector<Segment> segs = segments(plot, f.width());
    double deepest = 0;
    for (const auto& s : segs) deepest = std::max(deepest, s.reduction);
    double range = 3;
    for (double r : {3.0, 6.0, 12.0, 18.0, 24.0, 36.0, 48.0, 60.0, 96.0})
        if (range < deepest) range = r;

    grid(cr, f, seconds, range);
    cairo_save(cr);
    cairo_rectangle(cr, f.left, f.levelTop, f.width(), f.levelBottom - f.levelTop);
    cairo_clip(cr);
    drawLevelPane(cr, f, segs);
    cairo_restore(cr);
    // Labels of the level pane sit outside its clip.
    cairo_set_font_size(cr, 11);
    setColour(cr, kText);
    for (double db = kLevelTop; db >= kLevelFloor - 1e-9; db -= 6.0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, db == 0 ? "0" : "%+.0f", db);
        text(cr, f.left - 6, f.levelTop + (kLevelTop - db) / (kLevelTop - kLevelFloor) * (f.levelBottom - f.levelTop), buf, 1.0, 0.35);
    }
    drawGainPane(cr, f, segs, range);

    setColour(cr, kText);
    cairo_set_font_size(cr, 11);
    cairo_save(cr);
    cairo_translate(cr, 14, (f.levelTop + f.levelBottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, "level (dBFS)", 0.5, 0.0);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 14, (f.gainTop + f.gainBottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, "reduction (dB)", 0.5, 0.0);
    cairo_restore(cr);

    cairo_set_font_size(cr, 13);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    text(cr, f.left, 22, plot.title());
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    legend(cr, f.right, f.levelTop - 10);
    setColour(cr, kGrid);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, f.left + 0.5, f.levelTop + 0.5, f.width() - 1, f.levelBottom - f.levelTop - 1);
    cairo_rectangle(cr, f.left + 0.5, f.gainTop + 0.5, f.width() - 1, f.gainBottom - f.gainTop - 1);
    cairo_stroke(cr);
}

} // namespace

bool LevelPlot::available() { return true; }

std::vector<std::string> LevelPlot::extensions() { return {"png", "svg"}; }

bool LevelPlot::write(const std::string& path, const std::string& format, std::string& error) const {
    const bool svg = format == "svg";
    cairo_surface_t* surface = svg ? cairo_svg_surface_create(path.c_str(), width_, height_)
                                   : cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error = "cannot create " + path;
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    draw(cr, *this);
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_status_t status = svg ? (cairo_surface_finish(surface), cairo_surface_status(surface))
                                : cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (!drawn || status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + " (" + cairo_status_to_string(status) + ")";
        return false;
    }
    return true;
}

} // namespace qxhost
