#pragma once
// The one float-to-integer rule of the host, used by every writer so that every build writes the
// same bits: scale by 2^(bits-1), add dither if asked, round to nearest (halves up), clip to the
// integer range. A sample outside -1..+1 counts as clipped. NaN is written as 0 (the plug-in never
// sends one; a corrupt input file might).
//
// TPDF dither is the sum of two uniform values of one LSB each (a triangle spanning -1..+1 LSB)
// drawn from a seeded 32-bit generator in integer arithmetic, so dithered files are also the same
// on every build and every run.

#include <cstddef>
#include <cstdint>

namespace qxhost {

class SampleQuantizer {
public:
    static constexpr uint32_t kDefaultSeed = 0x51584854u;

    // `bits` from 8 to 32.
    explicit SampleQuantizer(int bits, bool dither = false, uint32_t seed = kDefaultSeed);

    // The integer value of one sample, from -2^(bits-1) to 2^(bits-1)-1.
    int32_t convert(float sample);
    // Converts `count` samples.
    void convert(const float* in, int32_t* out, size_t count);

    int bits() const { return bits_; }
    bool dither() const { return dither_; }
    int64_t clipped() const { return clipped_; }

private:
    double nextUniform(); // [0, 1)

    int bits_;
    bool dither_;
    uint32_t state_;
    double scale_, lowest_, highest_;
    int64_t clipped_ = 0;
};

} // namespace qxhost
