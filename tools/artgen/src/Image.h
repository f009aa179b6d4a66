// Plain 8-bit RGB raster plus the 24-bit BMP and PNG file formats the
// artwork is stored in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgb fill = {});

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return w == 0 || h == 0; }

    Rgb& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const Rgb& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }

    // Copy a sw x sh rectangle of src at (sx, sy) to (dx, dy) of this image.
    void copyFrom(const Image& src, int sx, int sy, int sw, int sh, int dx, int dy);
    Image crop(int x, int y, int cw, int ch) const;
    void fill(int x, int y, int fw, int fh, Rgb c);

    bool operator==(const Image& o) const { return w == o.w && h == o.h && px == o.px; }

private:
    int w = 0, h = 0;
    std::vector<Rgb> px;
};

// 24-bit, BI_RGB, bottom-up, rows padded to 4 bytes: the form the editor's
// resource loader takes without conversion.
bool writeBmp(const Image& img, const std::string& path);
// Reads back only that same form; anything else is reported in *error.
bool readBmp(const std::string& path, Image& img, std::string* error);

bool writePng(const Image& img, const std::string& path);

} // namespace artgen
