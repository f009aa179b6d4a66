// The plot draws from a hundredth of a second to two hours, in bounded memory, at the size asked.
#include "host/LevelPlot.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

void feed(qxhost::LevelPlot& plot, double seconds, int rate) {
    const int block = 4096;
    std::vector<float> in(2 * block), out(2 * block);
    const auto frames = static_cast<int64_t>(seconds * rate);
    for (int64_t pos = 0; pos < frames; pos += block) {
        const int n = static_cast<int>(std::min<int64_t>(block, frames - pos));
        for (int i = 0; i < n; ++i) {
            const float x = static_cast<float>(std::sin(0.05 * static_cast<double>(pos + i)) *
                                               (0.1 + 0.9 * ((pos + i) % 44100) / 44100.0));
            in[2 * i] = in[2 * i + 1] = x;
            out[2 * i] = out[2 * i + 1] = 0.5f * x;
        }
        plot.add(in.data(), out.data(), n, 0.5 + 0.5 * std::cos(pos * 1e-5));
    }
}

} // namespace

TEST(LevelPlot, DrawsShortMediumAndLongFilesAtTheAskedSize) {
    if (!qxhost::LevelPlot::available()) GTEST_SKIP() << "no plots in this build";
    struct Case {
        double seconds;
        int rate, width, height;
    };
    for (const Case c : {Case{0.01, 44100, 1200, 500}, Case{6.0, 44100, 1200, 500}, Case{7200.0, 4000, 800, 300}}) {
        qxhost::LevelPlot plot(c.rate, 2);
        ASSERT_TRUE(plot.setSize(c.width, c.height));
        plot.setTitle("test.wav");
        feed(plot, c.seconds, c.rate);
        EXPECT_LE(plot.bins().size(), static_cast<size_t>(qxhost::LevelPlot::kMaxBins));
        EXPECT_EQ(plot.frames(), static_cast<int64_t>(c.seconds * c.rate));
        const std::string png = ::testing::TempDir() + "qx-plot.png";
        std::string error;
        ASSERT_TRUE(plot.write(png, "png", error)) << error;
        cairo_surface_t* back = cairo_image_surface_create_from_png(png.c_str());
        ASSERT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_width(back), c.width);
        EXPECT_EQ(cairo_image_surface_get_height(back), c.height);
        cairo_surface_destroy(back);
        std::FILE* f = std::fopen(png.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        EXPECT_LT(std::ftell(f), 200 * 1024) << c.seconds;
        std::fclose(f);
        std::remove(png.c_str());
    }
    qxhost::LevelPlot plot(48000, 1);
    EXPECT_FALSE(plot.setSize(10, 10));
    const std::string svg = ::testing::TempDir() + "qx-plot.svg";
    std::string error;
    ASSERT_TRUE(plot.write(svg, "svg", error)) << error; // empty: axes only
    std::FILE* f = std::fopen(svg.c_str(), "rb");
    char head[6] = {};
    ASSERT_EQ(std::fread(head, 1, 5, f), 5u);
    std::fclose(f);
    EXPECT_STREQ(head, "<?xml");
    std::remove(svg.c_str());
}
