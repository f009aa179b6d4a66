#pragma once
// Parameter numbers as the host sees them. Shared by the engine (which decodes the switches and
// computes its coefficients from the values) and the effect model (names, texts, programs).

#include <array>
#include <atomic>

namespace qx {

enum ParamIndex : int {
    kInput = 0,
    kPressure = 1,
    kRelease1 = 2,
    kRelease2 = 3,
    kOutput = 4,
    kLimit = 5,
    kLowPunch = 6,
    kStereoLink = 7,
    kLinkQuality = 8,
    kAutoChannel = 9,
    kForceChannel = 10,
};

constexpr int kNumParams = 11;

// The current parameter values. Written by the host's threads and the panel, read by the audio
// thread; each is one aligned 32-bit word, exchanged with relaxed order.
using ParamArray = std::array<std::atomic<float>, kNumParams>;
static_assert(sizeof(std::atomic<float>) == 4, "parameter values must stay single 32-bit words");

} // namespace qx
