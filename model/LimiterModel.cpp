#include "model/LimiterModel.h"

#include "core/ParamTable.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace qx {

LimiterModel::LimiterModel() : engine_(params_), meterReader_(engine_.meters()) {
    for (int32_t i = 0; i < kNumParams; ++i)
        params_[i].store(kParamTable[i].defaultValue, std::memory_order_relaxed);
    engine_.recalculate();
}

float LimiterModel::parameter(int32_t index) const {
    return validParam(index) ? params_[index].load(std::memory_order_relaxed) : 0.0f;
}

void LimiterModel::storeValue(int32_t index, float value) {
    params_[index].store(value, std::memory_order_relaxed);
    programs_[currentProgram()].values[index].store(value, std::memory_order_relaxed);
}

void LimiterModel::setParameter(int32_t index, float value) {
    if (!validParam(index)) return;
    changed_.fetch_or(1u << index, std::memory_order_relaxed);
    storeValue(index, value);
    engine_.recalculate();
}

void LimiterModel::storeCurrentValue(int32_t index, float value) {
    if (!validParam(index)) return;
    params_[index].store(value, std::memory_order_relaxed);
    engine_.recalculate();
}

void LimiterModel::beginEdit(int32_t index) {
    if (validParam(index) && listener_ != nullptr) listener_->editBegun(index);
}

void LimiterModel::editParameter(int32_t index, float value) {
    if (!validParam(index)) return;
    storeValue(index, value);
    engine_.recalculate();
    if (listener_ != nullptr) listener_->editValue(index, value);
}

void LimiterModel::endEdit(int32_t index) {
    if (validParam(index) && listener_ != nullptr) listener_->editEnded(index);
}

bool LimiterModel::selectProgram(int32_t program) {
    if (!ProgramBank::valid(program)) return false;
    currentProgram_.store(program, std::memory_order_relaxed);
    for (int32_t i = 0; i < kNumParams; ++i)
        params_[i].store(programs_[program].values[i].load(std::memory_order_relaxed),
                         std::memory_order_relaxed);
    engine_.recalculate();
    markAllChanged();
    return true;
}

bool LimiterModel::setProgramName(int32_t program, const char* name) {
    if (!ProgramBank::valid(program) || name == nullptr) return false;
    programs_[program].setName(name);
    return true;
}

const char* LimiterModel::programName(int32_t program) const {
    return ProgramBank::valid(program) ? programs_[program].getName() : "";
}

bool LimiterModel::copyCurrentProgramTo(int32_t destination) {
    if (!ProgramBank::valid(destination)) return false;
    programs_[destination].copyFrom(programs_[currentProgram()]);
    return true;
}

namespace {
// A double beyond float's range becomes NaN, which the engine refuses as it refuses 0.
float engineRate(double rate) {
    return std::isfinite(rate) && std::fabs(rate) < 1e30 ? static_cast<float>(rate)
                                                         : std::numeric_limits<float>::quiet_NaN();
}
} // namespace

void LimiterModel::setSampleRate(double rate) { engine_.setSampleRate(engineRate(rate)); }

void LimiterModel::setMaxBlockSize(int32_t frames) { engine_.setBlockSize(frames); }

void LimiterModel::setMaxBlockSizeAndSampleRate(int32_t frames, double rate) {
    engine_.setBlockSizeAndSampleRate(frames, engineRate(rate));
}

void LimiterModel::activate() {
    engine_.resume();
    markAllChanged();
}

void LimiterModel::deactivate() { engine_.suspend(); }

void LimiterModel::applyChanges(const ParamChange* changes, int32_t count) {
    if (changes == nullptr || count <= 0) return;
    uint32_t marks = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!validParam(changes[i].index)) continue;
        storeValue(changes[i].index, changes[i].value);
        marks |= 1u << changes[i].index;
    }
    if (marks == 0) return;
    changed_.fetch_or(marks, std::memory_order_relaxed);
    engine_.recalculate();
}

std::size_t LimiterModel::saveState(void* out, std::size_t capacity) const {
    if (out == nullptr || capacity < StateBlob::kSize) return StateBlob::kSize;
    StateBlob::Contents c;
    c.program = currentProgram();
    for (int32_t i = 0; i < kNumParams; ++i) c.values[i] = params_[i].load(std::memory_order_relaxed);
    for (int32_t p = 0; p < kNumPrograms; ++p) {
        for (int32_t i = 0; i < kNumParams; ++i)
            c.programValues[p][i] = programs_[p].values[i].load(std::memory_order_relaxed);
        std::strncpy(c.names[p], programs_[p].getName(), StateBlob::kNameBytes - 1);
    }
    StateBlob::write(c, static_cast<uint8_t*>(out));
    return StateBlob::kSize;
}

StateBlob::Result LimiterModel::loadState(const void* data, std::size_t size) {
    StateBlob::Contents c;
    const StateBlob::Result result = StateBlob::read(data, size, c);
    if (result != StateBlob::Result::Ok) return result;
    for (int32_t p = 0; p < kNumPrograms; ++p) {
        for (int32_t i = 0; i < kNumParams; ++i)
            programs_[p].values[i].store(c.programValues[p][i], std::memory_order_relaxed);
        programs_[p].setName(c.names[p]);
    }
    currentProgram_.store(c.program, std::memory_order_relaxed);
    for (int32_t i = 0; i < kNumParams; ++i) params_[i].store(c.values[i], std::memory_order_relaxed);
    engine_.recalculate();
    markAllChanged();
    return result;
}

} // namespace qx
