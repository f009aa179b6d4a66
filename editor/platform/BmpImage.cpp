#include "editor/platform/BmpImage.h"

namespace qx {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0; // BI_RGB
constexpr int kLargestSide = 16384;   // far beyond any panel strip; guards the arithmetic below

uint32_t le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

} // namespace

bool BmpImage::decode(const unsigned char* bytes, std::size_t size) {
    width_ = height_ = 0;
    pixels_.clear();
    if (bytes == nullptr) return false;

    // A file starts with "BM" and says where its pixels are; a bare image has them right after
    // the header (and after a colour table, which 24- and 32-bit images do not have).
    std::size_t header = 0;
    std::size_t dataOffset = 0;
    if (size >= kFileHeaderSize && bytes[0] == 'B' && bytes[1] == 'M') {
        header = kFileHeaderSize;
        dataOffset = le32(bytes + 10);
    }
    if (size < header + kInfoHeaderSize) return false;
    const unsigned char* info = bytes + header;
    const uint32_t infoSize = le32(info);
    if (infoSize < kInfoHeaderSize || header + infoSize > size) return false;
    if (header == 0) dataOffset = infoSize;

    const int32_t w = int32_t(le32(info + 4));
    const int32_t rawH = int32_t(le32(info + 8));
    const uint16_t bits = le16(info + 14);
    const uint32_t compression = le32(info + 16);
    if (compression != kUncompressed || (bits != 24 && bits != 32)) return false;
    // A negative height marks rows stored from the top; the usual positive one from the bottom.
    const bool bottomUp = rawH > 0;
    const int32_t h = bottomUp ? rawH : -int64_t(rawH);
    if (w <= 0 || h <= 0 || w > kLargestSide || h > kLargestSide) return false;

    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t stride = (std::size_t(w) * bytesPerPixel + 3) & ~std::size_t(3);
    if (dataOffset > size || size - dataOffset < stride * std::size_t(h)) return false;

    pixels_.resize(std::size_t(w) * std::size_t(h));
    for (int32_t row = 0; row < h; ++row) {
        const unsigned char* src = bytes + dataOffset + stride * std::size_t(bottomUp ? h - 1 - row : row);
        uint32_t* dst = pixels_.data() + std::size_t(row) * std::size_t(w);
        for (int32_t x = 0; x < w; ++x, src += bytesPerPixel)
            dst[x] = uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | uint32_t(src[0]);
    }
    width_ = w;
    height_ = h;
    return true;
}

} // namespace qx
