// The name, value text and unit label the host shows beside each parameter.
#include "effect/LimiterEffect.h"
#include "effect/ParamTable.h"

#include <cmath>
#include <cstring>

namespace qx {

namespace {

// Truncated switch position, or -1 when the value selects no state (the caller's text is then
// left as it was).
int switchState(double scaled, int states) {
    if (!(scaled > -1.0 && scaled < static_cast<double>(states))) return -1;
    return static_cast<int>(scaled);
}

} // namespace

void LimiterEffect::getParamName(int32_t index, char* text) {
    if (index < 0 || index >= kNumParams) {
        text[0] = '\0';
        return;
    }
    std::strcpy(text, paramNames[index]);
}

void LimiterEffect::getParamLabel(int32_t index, char* text) {
    const bool percent = index >= 0 && index < kNumParams &&
                         (kParamTable[index].kind == ParamKind::Percent ||
                          kParamTable[index].kind == ParamKind::Centred);
    std::strcpy(text, percent ? "%" : " ");
}

void LimiterEffect::getParamDisplay(int32_t index, char* text) {
    if (index < 0 || index >= kNumParams) {
        std::strcpy(text, "error");
        return;
    }
    const float value = params[index].load(std::memory_order_relaxed);
    const ParamInfo& info = kParamTable[index];
    switch (info.kind) {
    case ParamKind::Percent:
        // Exactly 1.0 reads "100", without the trailing point the formatter would add.
        if (value == 1.0f)
            std::strcpy(text, "100");
        else
            formatFloat(static_cast<float>(static_cast<double>(value) * 100.0), text, 4);
        return;
    case ParamKind::Centred: {
        const double v = value;
        const char* sign = " ";
        double magnitude = 0.0;
        if (v < 0.5) {
            sign = "-";
            magnitude = 1.0 - 2.0 * v;
        } else if (v > 0.5) {
            sign = "+";
            magnitude = 2.0 * v - 1.0;
        } else if (std::isnan(v)) {
            formatFloat(value, text, 4);
            return;
        }
        char number[16];
        if (magnitude == 1.0)
            std::strcpy(number, "100");
        else
            formatFloat(static_cast<float>(magnitude * 100.0), number, 4);
        // An overflow text already fills the field; a sign would make it nine characters.
        if (std::strlen(number) > 7) {
            std::strcpy(text, number);
            return;
        }
        std::strcpy(text, sign);
        std::strcat(text, number);
        return;
    }
    case ParamKind::TwoState:
    case ParamKind::ThreeState: {
        const int states = info.kind == ParamKind::TwoState ? 2 : 3;
        const double scaled = info.kind == ParamKind::TwoState ? value : 2.0 * value;
        const int s = switchState(scaled, states);
        if (s >= 0) std::strcpy(text, info.states[s]);
        return;
    }
    }
}

} // namespace qx
