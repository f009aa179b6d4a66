#include "core/ParamText.h"

#include "core/ValueText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace qx {

namespace {

bool validIndex(int32_t index) { return index >= 0 && index < kNumParams; }

void percentText(double magnitude, char* text) {
    // Exactly 100 % reads "100", without the trailing point the formatter would add.
    if (magnitude == 1.0)
        std::strcpy(text, "100");
    else
        formatFixed(static_cast<float>(magnitude * 100.0), text, 4);
}

} // namespace

void paddedParamName(int32_t index, char* text) {
    if (!validIndex(index)) {
        text[0] = '\0';
        return;
    }
    std::memset(text, ' ', kParamNameWidth);
    std::memcpy(text, kParamTable[index].name, std::strlen(kParamTable[index].name));
    text[kParamNameWidth] = '\0';
}

const char* paramLabel(int32_t index) {
    const bool percent = validIndex(index) && (kParamTable[index].kind == ParamKind::Percent ||
                                               kParamTable[index].kind == ParamKind::Centred);
    return percent ? "%" : " ";
}

int switchPosition(int32_t index, float value) {
    if (!validIndex(index)) return -1;
    const ParamKind kind = kParamTable[index].kind;
    if (kind != ParamKind::TwoState && kind != ParamKind::ThreeState) return -1;
    const int states = kind == ParamKind::TwoState ? 2 : 3;
    const double scaled = kind == ParamKind::TwoState ? value : 2.0 * value;
    if (!(scaled > -1.0 && scaled < static_cast<double>(states))) return -1;
    return static_cast<int>(scaled);
}

void paramDisplay(int32_t index, float value, char* text) {
    if (!validIndex(index)) {
        std::strcpy(text, "error");
        return;
    }
    const ParamInfo& info = kParamTable[index];
    switch (info.kind) {
    case ParamKind::Percent:
        percentText(value, text);
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
            formatFixed(value, text, 4);
            return;
        }
        char number[16];
        percentText(magnitude, number);
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
        const int s = switchPosition(index, value);
        if (s >= 0) std::strcpy(text, info.states[s]);
        return;
    }
    }
}

bool parseParamText(int32_t index, const char* text, float* value) {
    if (!validIndex(index) || text == nullptr || value == nullptr) return false;
    std::string t(text);
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!t.empty() && blank(t.back())) t.pop_back();
    if (!t.empty() && t.back() == '%') t.pop_back();
    while (!t.empty() && blank(t.back())) t.pop_back();
    std::size_t start = 0;
    while (start < t.size() && blank(t[start])) ++start;
    t = t.substr(start);
    if (t.empty()) return false;

    const ParamInfo& info = kParamTable[index];
    const int steps = paramSteps(index);
    if (steps > 0) {
        for (int s = 0; s <= steps; ++s) {
            const char* word = info.states[s];
            if (t.size() == std::strlen(word) &&
                std::equal(t.begin(), t.end(), word, [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) ==
                           std::tolower(static_cast<unsigned char>(b));
                })) {
                *value = switchStateValue(index, s);
                return true;
            }
        }
    }
    char* end = nullptr;
    const double number = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(number)) return false;
    if (steps > 0) {
        *value = switchStateValue(index, int(std::lround(std::clamp(number, 0.0, double(steps)))));
        return true;
    }
    const bool centred = info.kind == ParamKind::Centred;
    const double typed = centred ? std::clamp(number, -100.0, 100.0) : std::clamp(number, 0.0, 100.0);
    float v = static_cast<float>(centred ? (1.0 + typed / 100.0) / 2.0 : typed / 100.0);
    // The display truncates its digits, so a value that rounded to the float just below the
    // typed one would read one digit lower: step it outward until it reads at least as typed.
    const float outward = centred && typed < 0.0 ? 0.0f : 1.0f;
    for (int step = 0; step < 4; ++step) {
        char shown[32];
        paramDisplay(index, v, shown);
        const double read = std::strtod(shown, nullptr);
        if (std::fabs(read) >= std::fabs(typed) - 1e-9 || v == outward) break;
        v = std::nextafter(v, outward);
    }
    *value = v;
    return true;
}

} // namespace qx
