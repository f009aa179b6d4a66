#pragma once
// Private requests our own tools send through effVendorSpecific (the index selects the request).
// Hosts never send these indices; any other index is answered with 0.

#include "plugin/AEffect.h"

#include <cstdint>

namespace qx {

// Reads the meter fields and resets minGain and peakOut as a panel tick does; ptr points to a
// MeterReadout. Answers 1. Lets a windowless host report gain reduction.
constexpr int32_t kMeterReadoutRequest = fourCC("QxMt");

struct MeterReadout {
    float minGain;
    float peakOut;
    int32_t clipHold;
    int32_t singleChannel;
};

} // namespace qx
