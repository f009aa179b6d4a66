#include "clap/ClapParams.h"

#include "core/ParamTable.h"
#include "core/ParamText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace qx {

namespace {

constexpr uint32_t kFlags = CLAP_PARAM_IS_AUTOMATABLE;

// Copies `text` into `out` of `capacity` bytes; false when it had to be cut.
bool copyText(const char* text, char* out, uint32_t capacity) {
    if (out == nullptr || capacity == 0) return false;
    const std::size_t length = std::strlen(text);
    const std::size_t kept = length < capacity ? length : capacity - 1;
    std::memcpy(out, text, kept);
    out[kept] = '\0';
    return kept == length;
}

} // namespace

uint32_t ClapParams::count() {
    return kNumParams;
}

bool ClapParams::valid(clap_id id) {
    return id < static_cast<uint32_t>(kNumParams);
}

bool ClapParams::info(uint32_t index, clap_param_info* info) {
    if (info == nullptr || !valid(index)) return false;
    const auto i = static_cast<int32_t>(index);
    const int steps = paramSteps(i);
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = kFlags | (steps > 0 ? CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM : 0u);
    info->cookie = nullptr;
    copyText(kParamTable[i].name, info->name, sizeof info->name);
    info->min_value = 0.0;
    info->max_value = steps > 0 ? steps : 1.0;
    info->default_value = toClap(index, kParamTable[i].defaultValue);
    return true;
}

bool ClapParams::toModel(clap_id id, double value, float* modelValue) {
    if (!valid(id) || std::isnan(value) || modelValue == nullptr) return false;
    const auto i = static_cast<int32_t>(id);
    const int steps = paramSteps(i);
    const double top = steps > 0 ? steps : 1.0;
    const double v = value < 0.0 ? 0.0 : value > top ? top : value;
    *modelValue = steps > 0 ? switchStateValue(i, static_cast<int>(v)) : static_cast<float>(v);
    return true;
}

double ClapParams::toClap(clap_id id, float modelValue) {
    if (!valid(id)) return 0.0;
    const auto i = static_cast<int32_t>(id);
    if (paramSteps(i) > 0) {
        // What the engine makes of a value that selects no state: the first one.
        const int state = switchPosition(i, modelValue);
        return state < 0 ? 0.0 : state;
    }
    if (std::isnan(modelValue)) return 0.0;
    return modelValue < 0.0f ? 0.0 : modelValue > 1.0f ? 1.0 : static_cast<double>(modelValue);
}

bool ClapParams::toText(clap_id id, double value, char* text, uint32_t capacity) {
    float v = 0.0f;
    if (!toModel(id, value, &v)) return false;
    const auto i = static_cast<int32_t>(id);
    char display[32] = {};
    paramDisplay(i, v, display);
    // The VST 2 field's padding (the centred value's sign slot) means nothing in a host's box.
    const char* shown = display + std::strspn(display, " ");
    for (std::size_t n = std::strlen(shown); n > 0 && shown[n - 1] == ' '; --n)
        display[shown - display + n - 1] = '\0';
    char full[48];
    const char* label = paramLabel(i);
    if (label[0] != ' ' && label[0] != '\0')
        std::snprintf(full, sizeof full, "%s %s", shown, label);
    else
        std::snprintf(full, sizeof full, "%s", shown);
    return copyText(full, text, capacity);
}

bool ClapParams::fromText(clap_id id, const char* text, double* value) {
    if (!valid(id) || text == nullptr || value == nullptr) return false;
    const auto i = static_cast<int32_t>(id);
    float v = 0.0f;
    if (!parseParamText(i, text, &v)) return false;
    *value = toClap(id, v);
    return true;
}

} // namespace qx
