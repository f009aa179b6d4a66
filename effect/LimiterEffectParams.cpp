// Parameters and programs: every write lands in the current values and the current program, then
// the coefficients are recomputed and the panel is told what to redraw.
#include "editor/PanelEditor.h"
#include "effect/LimiterEffect.h"
#include "core/ParamTable.h"

#include <cstring>

namespace qx {

namespace {
bool validParam(int32_t index) {
    return index >= 0 && index < kNumParams;
}
bool validProgram(int32_t index) {
    return index >= 0 && index < LimiterEffect::kNumPrograms;
}
} // namespace

LimiterProgram& LimiterEffect::currentRecord() {
    return programs[currentProgram.load(std::memory_order_relaxed)];
}

void LimiterEffect::markPanel(int32_t index) {
    if (panel != nullptr && index < kParamsWithRedrawBit) panel->markDirty(1u << index);
}

void LimiterEffect::setParameter(int32_t index, float value) {
    if (!validParam(index)) return;
    if (!fromEditor.exchange(false, std::memory_order_relaxed)) markPanel(index);
    params[index].store(value, std::memory_order_relaxed);
    currentRecord().values[index].store(value, std::memory_order_relaxed);
    recalculate();
}

float LimiterEffect::getParameter(int32_t index) {
    return validParam(index) ? params[index].load(std::memory_order_relaxed) : 0.0f;
}

void LimiterEffect::setParameterFromEditor(int32_t index) {
    if (!validParam(index)) return;
    fromEditor.store(true, std::memory_order_relaxed);
    automateParameter(index, params[index].load(std::memory_order_relaxed));
}

float LimiterEffect::readParameter(int32_t index) {
    return params[index].load(std::memory_order_relaxed);
}

void LimiterEffect::storeParameter(int32_t index, float value) {
    params[index].store(value, std::memory_order_relaxed);
}

void LimiterEffect::writeParameter(int32_t index, float value) {
    params[index].store(value, std::memory_order_relaxed);
    setParameterFromEditor(index);
}

void LimiterEffect::setProgram(int32_t program) {
    if (!validProgram(program)) return;
    currentProgram.store(program, std::memory_order_relaxed);
    for (int32_t i = 0; i < kNumParams; ++i) {
        setParameter(i, programs[program].values[i].load(std::memory_order_relaxed));
        setParameterFromEditor(i);
    }
    recalculate();
    if (panel != nullptr) panel->requestFullRedraw();
}

void LimiterEffect::setProgramName(char* text) {
    currentRecord().setName(text);
}

void LimiterEffect::getProgramName(char* text) {
    std::strcpy(text, currentRecord().getName());
}

bool LimiterEffect::getProgramNameIndexed(int32_t, int32_t index, char* text) {
    if (!validProgram(index)) return false;
    std::strcpy(text, programs[index].getName());
    return true;
}

bool LimiterEffect::copyProgram(int32_t destination) {
    if (!validProgram(destination)) return false;
    programs[destination].copyFrom(currentRecord());
    return true;
}

} // namespace qx
