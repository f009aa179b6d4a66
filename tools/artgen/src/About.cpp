// The credits card shown over the panel when the badge is clicked.
#include "Artwork.h"
#include "editor/PanelLayout.h"

namespace artgen {

Image renderAbout() {
    const int w = qx::kAboutImage.w, h = qx::kAboutImage.h;
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        Col row = mix(Col{38, 39, 43}, Col{20, 21, 24}, double(y) / (h - 1));
        for (int x = 0; x < w; ++x)
            img.at(x, y) = toRgb(row + grey(1.4 * (hash01(x, y, 31) - 0.5)));
    }

    Canvas c(img);
    cairo_t* cr = c.cr();
    // Card edge, so the overlay reads as a separate sheet over the panel.
    c.setColour(grey(8));
    cairo_rectangle(cr, 0, 0, w, 1);
    cairo_rectangle(cr, 0, h - 1, w, 1);
    cairo_fill(cr);
    c.roundedRect(5.5, 5.5, w - 11, h - 11, 5);
    c.setColour(grey(84));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    drawLogo(c, 82, 80, 38);

    const double left = 152;
    c.font(FontStyle::CondensedBold, 30);
    c.setColour(palette::kPrint);
    c.text(left, 50, "Orv4417-QX");
    c.font(FontStyle::Regular, 11);
    c.setColour(palette::kPrintDim);
    c.text(left, 68, "Stereo limiting compressor");

    c.setColour(grey(70));
    cairo_rectangle(cr, left, 78, w - left - 24, 1);
    cairo_fill(cr);

    struct Credit {
        const char* role;
        const char* who;
    };
    const Credit credits[] = {{"Design", "the Qem team"}, {"DSP", "the Qem team"}, {"Artwork", "the Qem team"}};
    double y = 96;
    for (const Credit& cr2 : credits) {
        c.font(FontStyle::Regular, 10);
        c.setColour(palette::kPrintDim);
        c.text(left, y, cr2.role);
        c.font(FontStyle::Bold, 10);
        c.setColour(palette::kPrint);
        c.text(left + 62, y, cr2.who);
        y += 15;
    }

    c.font(FontStyle::Bold, 12);
    c.setColour(palette::kAccent);
    c.text(w - 24, 96, "Qem v1.0", Align::Right);
    c.font(FontStyle::Regular, 10);
    c.setColour(palette::kPrint);
    c.text(w - 24, 111, "Version 1.0", Align::Right);
    c.text(w - 24, 126, "\xC2\xA9 2026 Qem", Align::Right);

    c.font(FontStyle::Regular, 8);
    c.setColour(palette::kPrintDim);
    c.text(w / 2.0, h - 14, "Click anywhere to return to the panel", Align::Centre);
    return c.finish();
}

} // namespace artgen
