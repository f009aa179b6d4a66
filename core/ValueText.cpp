#include "core/ValueText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace qx {

// Fixed-point text of 8 - reserve characters, every digit truncated. The integer part is built
// right to left by repeated multiplication with 0.1 (not re-floored), which is why a digit can
// come out one lower for values that are not exact in binary: that is the intended reading.
void formatFixed(float value, char* text, int8_t reserve) {
    if (reserve < 0) reserve = 0;
    if (std::isnan(value)) {
        std::strcpy(text, kNotANumberText);
        return;
    }
    double v = value;
    bool negative = false;
    int count = reserve;
    if (v < 0.0) {
        negative = true;
        v = -v;
        count += 1;
        if (v > 9999999.0) {
            std::strcpy(text, kHugeText);
            return;
        }
    } else if (v > 99999999.0) {
        std::strcpy(text, kHugeText);
        return;
    }

    char scratch[32];
    scratch[31] = '\0';
    scratch[30] = '.';
    int pos = 29;
    double i = std::floor(v);
    scratch[pos--] = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
    i *= 0.1;
    count += 2;
    while (i >= 1.0 && count < 8) {
        scratch[pos--] = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
        i *= 0.1;
        count += 1;
    }
    // An integer part wider than the field would lose its leading digits: say so instead.
    if (i >= 1.0) {
        std::strcpy(text, kHugeText);
        return;
    }
    if (negative) scratch[pos--] = '-';
    std::strcpy(text, &scratch[pos + 1]);
    if (count >= 8) return;

    const int n = 8 - count;
    double m = std::fmod(v, 1.0) * std::pow(10.0, n);
    char fraction[16];
    fraction[n] = '\0';
    for (int k = n - 1; k >= 0; --k) {
        if (m <= 0.0) {
            fraction[k] = '0';
        } else {
            fraction[k] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
            m *= 0.1;
        }
    }
    std::strcat(text, fraction);
}

void formatWhole(int32_t value, char* text) {
    // Below -9999999 the 8-character field would lose trailing digits: treat like overflow.
    if (value >= 100000000 || value < -9999999) {
        std::strcpy(text, kHugeText);
        return;
    }
    char scratch[32];
    std::snprintf(scratch, sizeof scratch, "%7d", static_cast<int>(value));
    scratch[8] = '\0';
    std::strcpy(text, scratch);
}

} // namespace qx
