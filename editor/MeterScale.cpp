#include "editor/MeterScale.h"

#include <cmath>

namespace qx {

namespace {

using Breakpoint = MeterScale::Breakpoint;
constexpr const auto& kBreakpoints = MeterScale::kBreakpoints;

struct Table {
    int32_t units[MeterScale::kTableSize];
    Table() {
        for (std::size_t i = 0; i + 1 < sizeof kBreakpoints / sizeof kBreakpoints[0]; ++i) {
            const Breakpoint lo = kBreakpoints[i];
            const Breakpoint hi = kBreakpoints[i + 1];
            // The slope is kept in single precision, which leaves a few entries one below the
            // exact line (entry 150 is 21, not 22); the panel's scale is drawn to these values.
            const float slope = float(double(hi.units - lo.units) / double(hi.hundredths - lo.hundredths));
            for (int d = lo.hundredths; d < hi.hundredths; ++d)
                units[d] = int32_t(double(lo.units) + double(d - lo.hundredths) * double(slope));
        }
    }
};

const Table& table() {
    static const Table t;
    return t;
}

} // namespace

void MeterScale::build() { (void)table(); }

int32_t MeterScale::entry(int hundredths) {
    if (hundredths < 0) hundredths = 0;
    if (hundredths >= kTableSize) hundredths = kTableSize - 1;
    return table().units[hundredths];
}

int32_t MeterScale::units(float x) {
    float v = std::fabs(x);
    if (!(v <= 1.0f)) return table().units[0];
    // The floor and the offset keep the logarithm finite for silence: 0 reads as about -90 dB,
    // past the end of the table.
    if (v < 0.00002f) v = 0.00002f;
    const double below = -(20.0 * std::log10(double(v) + double(0.00001f))) * 100.0;
    int d = int(below);
    if (d > kTableSize - 1) d = kTableSize - 1;
    if (d < 0) d = 0;
    return table().units[d];
}

} // namespace qx
