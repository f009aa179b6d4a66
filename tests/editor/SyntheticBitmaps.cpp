#include "SyntheticBitmaps.h"

#include "editor/platform/HeadlessPlatform.h"

#include <map>

namespace qxtest {

namespace {

// Bitmap number in the top 4 bits, x in the next 12, y in the low 8: every bitmap fits.
constexpr uint32_t pack(int id, int x, int y) {
    return uint32_t(id - 106) << 20 | uint32_t(x) << 8 | uint32_t(y);
}

void put16(std::vector<unsigned char>& b, uint32_t v) {
    b.push_back(v & 0xff);
    b.push_back(v >> 8 & 0xff);
}
void put32(std::vector<unsigned char>& b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

} // namespace

bool insideKnobDisc(int x, int y) {
    const double dx = x - 23.5, dy = y - 23.5;
    return dx * dx + dy * dy < 20.0 * 20.0;
}

uint32_t syntheticPixel(int id, int x, int y) {
    if (id == 111) {
        const bool disc = insideKnobDisc(x % 48, y);
        if (x < 48) return disc ? 0x000000 : 0xffffff;
        return disc ? pack(id, x, y) : 0x000000;
    }
    return pack(id, x, y);
}

Origin originOf(uint32_t p) {
    if (p == 0) return {0, 0, 0};
    return {int(p >> 20) + 106, int(p >> 8 & 0xfff), int(p & 0xff)};
}

void bitmapSize(int id, int& w, int& h) {
    static const int sizes[6][2] = {{450, 200}, {132, 9}, {393, 28}, {126, 14}, {3888, 48}, {450, 175}};
    w = sizes[id - 107][0];
    h = sizes[id - 107][1];
}

std::vector<unsigned char> encodeBmp(int w, int h, const std::vector<uint32_t>& pixels) {
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    std::vector<unsigned char> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + stride * h);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, w);
    put32(b, h);
    put16(b, 1);
    put16(b, 24);
    for (int i = 0; i < 6; ++i) put32(b, 0);
    for (int row = h - 1; row >= 0; --row) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[size_t(row) * w + x];
            b.push_back(p & 0xff);
            b.push_back(p >> 8 & 0xff);
            b.push_back(p >> 16 & 0xff);
        }
        for (uint32_t pad = uint32_t(w) * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

const unsigned char* syntheticBitmap(int id, std::size_t* size) {
    static std::map<int, std::vector<unsigned char>> files;
    *size = 0;
    if (id < 107 || id > 112) return nullptr;
    auto& f = files[id];
    if (f.empty()) {
        int w = 0, h = 0;
        bitmapSize(id, w, h);
        std::vector<uint32_t> px(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = syntheticPixel(id, x, y);
        f = encodeBmp(w, h, px);
    }
    *size = f.size();
    return f.data();
}

void useSyntheticBitmaps() { qx::HeadlessPlatform::instance().setBitmapSource(syntheticBitmap); }

void useNoBitmaps() {
    qx::HeadlessPlatform::instance().setBitmapSource([](int, std::size_t* size) -> const unsigned char* {
        *size = 0;
        return nullptr;
    });
}

} // namespace qxtest
