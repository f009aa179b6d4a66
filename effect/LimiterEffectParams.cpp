// Parameters and programs: every write goes to the model, which keeps the current values, the
// current program and the coefficients in step and marks the panel.
#include "effect/LimiterEffect.h"

#include <cstring>

namespace qx {

void LimiterEffect::setParameter(int32_t index, float value) { model.setParameter(index, value); }

float LimiterEffect::getParameter(int32_t index) { return model.parameter(index); }

void LimiterEffect::setParameterFromEditor(int32_t index) {
    if (!LimiterModel::validParam(index)) return;
    automateParameter(index, model.parameter(index));
}

// The program's values become the current ones, each reported to the host as automation.
void LimiterEffect::setProgram(int32_t program) {
    if (!model.selectProgram(program)) return;
    currentProgram.store(program, std::memory_order_relaxed);
    for (int32_t i = 0; i < kNumParams; ++i) setParameterFromEditor(i);
}

int32_t LimiterEffect::getProgram() { return model.currentProgram(); }

void LimiterEffect::setProgramName(char* text) {
    model.setProgramName(model.currentProgram(), text);
}

void LimiterEffect::getProgramName(char* text) {
    std::strcpy(text, model.programName(model.currentProgram()));
}

bool LimiterEffect::getProgramNameIndexed(int32_t, int32_t index, char* text) {
    if (!ProgramBank::valid(index)) return false;
    std::strcpy(text, model.programName(index));
    return true;
}

bool LimiterEffect::copyProgram(int32_t destination) {
    return model.copyCurrentProgramTo(destination);
}

} // namespace qx
