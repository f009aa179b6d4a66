#include "vst3/ParamMapping.h"

#include "core/ParamTable.h"
#include "core/ParamText.h"

#include <cmath>

namespace qx::vst3 {

int32 stepCount(ParamID id) {
    if (id < static_cast<ParamID>(kNumParams)) return paramSteps(static_cast<int32>(id));
    return id == kProgramParamId ? kProgramSteps : -1;
}

int32 stateOf(int32 steps, ParamValue normalized) {
    if (!(normalized > 0.0)) return 0;
    if (normalized >= 1.0) return steps;
    const auto state = static_cast<int32>(std::floor(normalized * (steps + 1)));
    return state < steps ? state : steps;
}

float storedValue(int32 index, ParamValue normalized) {
    const int32 steps = paramSteps(index);
    if (steps == 0) return static_cast<float>(normalized);
    return switchStateValue(index, stateOf(steps, normalized));
}

ParamValue normalizedOf(int32 index, float value) {
    const int32 steps = paramSteps(index);
    if (steps == 0) {
        if (!(value > 0.0f)) return 0.0;
        return value < 1.0f ? static_cast<ParamValue>(value) : 1.0;
    }
    int position = switchPosition(index, value);
    if (position < 0) position = value > 0.0f ? steps : 0;
    return static_cast<ParamValue>(position) / steps;
}

ParamValue normalizedToPlain(ParamID id, ParamValue normalized) {
    const int32 steps = stepCount(id);
    return steps > 0 ? static_cast<ParamValue>(stateOf(steps, normalized)) : normalized;
}

ParamValue plainToNormalized(ParamID id, ParamValue plain) {
    const int32 steps = stepCount(id);
    if (steps <= 0) return plain;
    if (!(plain > 0.0)) return 0.0;
    return plain < steps ? plain / steps : 1.0;
}

} // namespace qx::vst3
