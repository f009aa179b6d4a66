#pragma once
// The scale shared by the gain-reduction bar and the output-level marker: 308 units over the 28
// bar segments (11 a segment), piecewise linear in decibels between the marks printed over the
// bar (1, 2, 3, 5, 7, 10, 20, 24, 32, 48 and 72 dB).

#include <cstdint>

namespace qx {

class MeterScale {
public:
    static constexpr int kTableSize = 7200; // hundredths of a decibel, 0 to 71.99 dB
    static constexpr int kUnitsPerSegment = 11;
    static constexpr int kFullScale = 308;

    // The printed marks: `hundredths` of a decibel read as `units`, straight lines in between.
    // The panel artwork prints a label and a tick at each mark after the first.
    struct Breakpoint {
        int hundredths;
        int units;
    };
    static constexpr Breakpoint kBreakpoints[] = {
        {0, 0},      {100, 11},   {200, 33},   {300, 55},   {500, 77},   {700, 110},
        {1000, 143}, {2000, 176}, {2400, 209}, {3200, 242}, {4800, 275}, {7200, 308}};

    // Builds the table; cheap to call again. The first effect instance calls it so that no panel
    // tick pays for it.
    static void build();
    // Meter units of table entry `hundredths` (0 to 7199).
    static int32_t entry(int hundredths);
    // Units for a gain factor or sample value, 0 (at or above full scale) to 307 (about -72 dB
    // and below). NaN reads as full scale.
    static int32_t units(float x);
};

} // namespace qx
