#include "Image.h"

#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace artgen {

Image::Image(int width, int height, Rgb fillColour)
    : w(width), h(height), px(static_cast<size_t>(width) * height, fillColour) {}

void Image::copyFrom(const Image& src, int sx, int sy, int sw, int sh, int dx, int dy) {
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            at(dx + x, dy + y) = src.at(sx + x, sy + y);
}

Image Image::crop(int x, int y, int cw, int ch) const {
    Image out(cw, ch);
    out.copyFrom(*this, x, y, cw, ch, 0, 0);
    return out;
}

void Image::fill(int x, int y, int fw, int fh, Rgb c) {
    for (int j = y; j < y + fh; ++j)
        for (int i = x; i < x + fw; ++i)
            at(i, j) = c;
}

namespace {

void put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xff);
}
std::uint32_t get32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
unsigned get16(const std::vector<std::uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

constexpr std::uint32_t kFileHeader = 14, kInfoHeader = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835; // 72 dpi

size_t rowStride(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t(3); }

} // namespace

bool writeBmp(const Image& img, const std::string& path) {
    const size_t stride = rowStride(img.width());
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(stride * img.height());
    std::vector<std::uint8_t> b;
    b.reserve(kFileHeader + kInfoHeader + imageBytes);
    b.push_back('B');
    b.push_back('M');
    put32(b, kFileHeader + kInfoHeader + imageBytes);
    put32(b, 0);
    put32(b, kFileHeader + kInfoHeader);
    put32(b, kInfoHeader);
    put32(b, static_cast<std::uint32_t>(img.width()));
    put32(b, static_cast<std::uint32_t>(img.height())); // positive: bottom-up
    put16(b, 1);
    put16(b, 24);
    put32(b, 0); // BI_RGB
    put32(b, imageBytes);
    put32(b, kPixelsPerMetre);
    put32(b, kPixelsPerMetre);
    put32(b, 0);
    put32(b, 0);
    for (int y = img.height() - 1; y >= 0; --y) {
        size_t rowStart = b.size();
        for (int x = 0; x < img.width(); ++x) {
            const Rgb& c = img.at(x, y);
            b.push_back(c.b);
            b.push_back(c.g);
            b.push_back(c.r);
        }
        while (b.size() - rowStart < stride)
            b.push_back(0);
    }
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(f);
}

bool readBmp(const std::string& path, Image& img, std::string* error) {
    auto fail = [&](const char* why) {
        if (error)
            *error = path + ": " + why;
        return false;
    };
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return fail("cannot open");
    std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
        return fail("not a BMP file");
    if (get32(b, 2) != b.size())
        return fail("file size field does not match the file");
    const std::uint32_t offset = get32(b, 10);
    if (get32(b, 14) != kInfoHeader)
        return fail("not a BITMAPINFOHEADER");
    const auto width = static_cast<std::int32_t>(get32(b, 18));
    const auto height = static_cast<std::int32_t>(get32(b, 22));
    if (width <= 0 || height <= 0)
        return fail("not a bottom-up bitmap of positive size");
    if (get16(b, 26) != 1 || get16(b, 28) != 24)
        return fail("not 24 bits per pixel");
    if (get32(b, 30) != 0)
        return fail("compressed (not BI_RGB)");
    const size_t stride = rowStride(width);
    if (offset + stride * height != b.size())
        return fail("pixel data size does not match the dimensions");
    img = Image(width, height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x)
            img.at(x, y) = Rgb{b[row + 3 * x + 2], b[row + 3 * x + 1], b[row + 3 * x]};
    }
    return true;
}

bool writePng(const Image& img, const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, img.width(), img.height());
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < img.width(); ++x) {
            const Rgb& c = img.at(x, y);
            row[x] = 0xff000000u | (c.r << 16) | (c.g << 8) | c.b;
        }
    }
    cairo_surface_mark_dirty(s);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

} // namespace artgen
