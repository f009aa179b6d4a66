// The name, value text and unit label the host shows beside each parameter.
#include "core/ParamText.h"
#include "effect/LimiterEffect.h"

#include <cstring>

namespace qx {

void LimiterEffect::getParamName(int32_t index, char* text) {
    if (index < 0 || index >= kNumParams) {
        text[0] = '\0';
        return;
    }
    std::strcpy(text, paramNames[index]);
}

void LimiterEffect::getParamLabel(int32_t index, char* text) { std::strcpy(text, paramLabel(index)); }

void LimiterEffect::getParamDisplay(int32_t index, char* text) {
    paramDisplay(index, model.parameter(index), text);
}

} // namespace qx
