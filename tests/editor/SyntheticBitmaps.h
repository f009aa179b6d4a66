#pragma once
// Test bitmaps in which every pixel names where it came from, so a pixel read back from the
// window tells which bitmap, strip frame and offset was drawn there. The knob strip keeps the
// roles the compositing relies on: frame 0 a black disc on white, the other frames black
// outside the same disc.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qxtest {

struct Origin {
    int bitmap; // 107 to 112, 0 for black (knob frame outside the disc)
    int x, y;   // position inside that bitmap
    bool operator==(const Origin& o) const { return bitmap == o.bitmap && x == o.x && y == o.y; }
};

uint32_t syntheticPixel(int id, int x, int y);
Origin originOf(uint32_t pixel);
bool insideKnobDisc(int x, int y);

// BMP file bytes for ids 107 to 112, as the module would carry them.
const unsigned char* syntheticBitmap(int id, std::size_t* size);
// Makes the headless backend load these instead of the module's artwork.
void useSyntheticBitmaps();
// Makes it find no bitmaps at all.
void useNoBitmaps();

// The size of bitmap `id`.
void bitmapSize(int id, int& width, int& height);
// A BMP file of `width` x `height` holding `pixels` (0x00RRGGBB, rows from the top).
std::vector<unsigned char> encodeBmp(int width, int height, const std::vector<uint32_t>& pixels);

} // namespace qxtest
