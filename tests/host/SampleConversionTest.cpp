// The one float-to-integer rule both writers use, and the WAV writer that both builds share.
#include "host/AudioFile.h"
#include "host/SampleQuantizer.h"
#include "host/WavFileWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

using qxhost::SampleQuantizer;

TEST(SampleConversion, RoundsToNearestAndClipsAtFullScale) {
    SampleQuantizer q(16);
    const float lsb = 1.0f / 32768.0f;
    EXPECT_EQ(q.convert(1.0f), 32767);
    EXPECT_EQ(q.convert(-1.0f), -32768);
    EXPECT_EQ(q.convert(std::nextafter(1.0f, 0.0f)), 32767);
    EXPECT_EQ(q.convert(32766.5f * lsb), 32767); // halves go up
    EXPECT_EQ(q.convert(-0.5f * lsb), 0);
    EXPECT_EQ(q.convert(0.49f * lsb), 0);
    EXPECT_EQ(q.convert(-1.51f * lsb), -2);
    EXPECT_EQ(q.clipped(), 0); // full scale itself is not a clip
    EXPECT_EQ(q.convert(1.5f), 32767);
    EXPECT_EQ(q.convert(-3.0f), -32768);
    EXPECT_EQ(q.convert(std::numeric_limits<float>::infinity()), 32767);
    EXPECT_EQ(q.clipped(), 3);
    EXPECT_EQ(q.convert(std::numeric_limits<float>::quiet_NaN()), 0);

    SampleQuantizer q24(24), q32(32);
    EXPECT_EQ(q24.convert(1.0f), 8388607);
    EXPECT_EQ(q24.convert(-1.0f), -8388608);
    EXPECT_EQ(q32.convert(1.0f), 2147483647);
    EXPECT_EQ(q32.convert(-1.0f), std::numeric_limits<int32_t>::min());
}

TEST(SampleConversion, TpdfDitherIsReproducibleAndWithinOneLsb) {
    SampleQuantizer a(16, true), b(16, true), other(16, true, 7);
    std::vector<int32_t> first, second, third;
    double sum = 0.0;
    const float x = 1000.25f / 32768.0f;
    for (int i = 0; i < 20000; ++i) {
        first.push_back(a.convert(x));
        second.push_back(b.convert(x));
        third.push_back(other.convert(x));
        EXPECT_GE(first.back(), 999);
        EXPECT_LE(first.back(), 1002);
        sum += first.back();
    }
    EXPECT_EQ(first, second);
    EXPECT_NE(first, third);
    // Dither keeps the mean: the quarter LSB survives on average.
    EXPECT_NEAR(sum / first.size(), 1000.25, 0.02);
}

TEST(SampleConversion, WavWriterWritesTheRuleAndTheHeaderReadersExpect) {
    const std::string path = ::testing::TempDir() + "qx-conversion.wav";
    const float samples[4] = {1.0f, -1.0f, 0.5f, -2.0f};
    qxhost::WavFileWriter w;
    ASSERT_TRUE(w.open(path, 2, 48000, 16, false));
    ASSERT_TRUE(w.write(samples, 2));
    ASSERT_TRUE(w.close());
    EXPECT_EQ(w.clipped(), 1);
    std::vector<unsigned char> bytes(100);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    ASSERT_EQ(bytes.size(), 44u + 8u);
    const int16_t expected[4] = {32767, -32768, 16384, -32768};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(static_cast<int16_t>(bytes[44 + 2 * i] | (bytes[45 + 2 * i] << 8)), expected[i]);

    // Float: the fmt chunk carries its (empty) extension and a fact chunk follows.
    qxhost::WavFileWriter fw;
    ASSERT_TRUE(fw.open(path, 2, 48000, 0, false));
    ASSERT_TRUE(fw.write(samples, 2));
    ASSERT_TRUE(fw.close());
    qxhost::AudioReader r;
    ASSERT_TRUE(r.open(path)) << r.error();
    EXPECT_EQ(r.format().frames, 2);
    float back[4];
    ASSERT_EQ(r.read(back, 2), 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i], samples[i]);
    f = std::fopen(path.c_str(), "rb");
    unsigned char head[58];
    ASSERT_EQ(std::fread(head, 1, 58, f), 58u);
    std::fclose(f);
    EXPECT_EQ(head[16], 18);                                  // fmt size
    EXPECT_EQ(head[20], 3);                                   // IEEE float
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 38), 4), "fact");
    EXPECT_EQ(head[46], 2);                                   // frames
    std::remove(path.c_str());
}
