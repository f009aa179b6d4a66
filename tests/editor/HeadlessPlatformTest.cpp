// The headless backend against the common window-layer suite, plus its BMP decoding.
#include "PlatformConformance.h"
#include "SyntheticBitmaps.h"

#include "editor/platform/BmpImage.h"
#include "editor/platform/HeadlessPlatform.h"

using namespace qx;
using namespace qxtest;

namespace {

struct HeadlessTraits {
    static Platform& platform() { return HeadlessPlatform::instance(); }
    static void prepare() { useSyntheticBitmaps(); }
    static void* parent() { return nullptr; }
    static void pump(PlatformWindow* w, int ticks) { HeadlessPlatform::instance().tick(w, ticks); }
    static bool mouse(PlatformWindow* w, PanelEvent::Kind k, int x, int y) {
        return HeadlessPlatform::instance().mouse(w, k, x, y);
    }
    static void readWindow(PlatformWindow* w, uint32_t* out) { HeadlessPlatform::instance().readPixels(w, out); }
    static std::vector<uint32_t> bitmap(int id, int& width, int& height) {
        bitmapSize(id, width, height);
        std::vector<uint32_t> px(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) px[size_t(y) * width + x] = syntheticPixel(id, x, y);
        return px;
    }
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, PlatformConformance, HeadlessTraits);

TEST(BmpImage, ReadsBottomUpRowsWithPaddingAndRejectsOtherFormats) {
    // 3 x 2: rows are padded to 12 bytes, and the file keeps the bottom row first.
    const std::vector<uint32_t> px = {0x112233, 0x445566, 0x778899, 0xaabbcc, 0xddeeff, 0x010203};
    std::vector<unsigned char> file = encodeBmp(3, 2, px);
    BmpImage image;
    ASSERT_TRUE(image.decode(file.data(), file.size()));
    EXPECT_EQ(image.width(), 3);
    EXPECT_EQ(image.height(), 2);
    EXPECT_EQ(image.pixels(), px);
    // The bare form of a bitmap resource: the same image without its 14-byte file header.
    ASSERT_TRUE(image.decode(file.data() + 14, file.size() - 14));
    EXPECT_EQ(image.pixels(), px);

    EXPECT_FALSE(image.decode(file.data(), file.size() - 1)); // cut short
    std::vector<unsigned char> eightBit = file;
    eightBit[28] = 8;
    EXPECT_FALSE(image.decode(eightBit.data(), eightBit.size()));
    std::vector<unsigned char> compressed = file;
    compressed[30] = 1;
    EXPECT_FALSE(image.decode(compressed.data(), compressed.size()));
    EXPECT_FALSE(image.decode(nullptr, 0));
    EXPECT_TRUE(image.pixels().empty());
}
