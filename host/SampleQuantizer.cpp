#include "host/SampleQuantizer.h"

#include <cmath>

namespace qxhost {

SampleQuantizer::SampleQuantizer(int bits, bool dither, uint32_t seed)
    : bits_(bits < 8 ? 8 : bits > 32 ? 32 : bits), dither_(dither), state_(seed != 0 ? seed : 1u) {
    scale_ = std::ldexp(1.0, bits_ - 1);
    lowest_ = -scale_;
    highest_ = scale_ - 1.0;
}

double SampleQuantizer::nextUniform() {
    // xorshift32: the same sequence from the same seed on every compiler.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ >> 8) * (1.0 / 16777216.0);
}

int32_t SampleQuantizer::convert(float sample) {
    if (std::isnan(sample)) return 0;
    if (sample > 1.0f || sample < -1.0f) ++clipped_;
    double v = static_cast<double>(sample) * scale_;
    if (dither_) v += nextUniform() - nextUniform();
    v = std::floor(v + 0.5);
    if (v > highest_) v = highest_;
    if (v < lowest_) v = lowest_;
    return static_cast<int32_t>(v);
}

void SampleQuantizer::convert(const float* in, int32_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) out[i] = convert(in[i]);
}

} // namespace qxhost
