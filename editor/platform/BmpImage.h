#pragma once
// The panel bitmaps as pixels: decodes the 24-bit uncompressed images the module carries, either
// as whole BMP files (embedded bytes) or as bare device-independent bitmaps (the form a Windows
// bitmap resource takes). Used by the backends that keep their surfaces in memory.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qx {

class BmpImage {
public:
    // Decodes `size` bytes; false (and an empty image) for anything but an uncompressed 24- or
    // 32-bit image of sane size, or when the bytes end early.
    bool decode(const unsigned char* bytes, std::size_t size);

    int width() const { return width_; }
    int height() const { return height_; }
    // Row by row from the top, each pixel 0x00RRGGBB.
    const std::vector<uint32_t>& pixels() const { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

} // namespace qx
