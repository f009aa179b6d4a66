// The controller's side of Vst3Effect: parameter descriptions, texts, values, the controller's
// view of the state, and the panel's edits passed on to the host.
#include "vst3/Vst3Effect.h"

#include "core/ParamTable.h"
#include "core/ParamText.h"
#include "module/PrivateChannel.h"
#include "vst3/ParamMapping.h"
#include "vst3/Utf16.h"
#include "vst3/Vst3View.h"

#include <cstdlib>
#include <cstring>

namespace qx::vst3 {

namespace {

bool isParam(ParamID id) {
    return id < static_cast<ParamID>(kNumParams);
}

// A program's number from its name as listed, or from its number typed as digits; -1 if neither.
int32 programFromText(const LimiterModel& model, const char* text) {
    char name[32];
    for (int32 p = 0; p < LimiterModel::kNumPrograms; ++p) {
        copyTrimmed(model.programName(p), name, sizeof name);
        if (std::strcmp(name, text) == 0) return p;
    }
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < 0 || number >= LimiterModel::kNumPrograms)
        return -1;
    return static_cast<int32>(number);
}

} // namespace

tresult Vst3Effect::setComponentState(IBStream* state) {
    return loadRecord(state);
}

int32 Vst3Effect::getParameterCount() {
    return kParameterCount;
}

tresult Vst3Effect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    if (paramIndex < 0 || paramIndex >= kParameterCount) return kInvalidArgument;
    const auto id = static_cast<ParamID>(paramIndex);
    std::memset(&info, 0, sizeof info);
    info.id = id;
    info.stepCount = stepCount(id);
    info.unitId = kRootUnitId;
    if (isParam(id)) {
        toUtf16(kParamTable[paramIndex].name, info.title, 128);
        toUtf16(kParamTable[paramIndex].name, info.shortTitle, 128);
        toUtf16(paramLabel(paramIndex), info.units, 128);
        info.defaultNormalizedValue =
            normalizedOf(paramIndex, kParamTable[paramIndex].defaultValue);
        info.flags =
            ParameterInfo::kCanAutomate | (info.stepCount > 0 ? ParameterInfo::kIsList : 0);
    } else {
        toUtf16("Program", info.title, 128);
        toUtf16("Program", info.shortTitle, 128);
        info.defaultNormalizedValue = 0.0;
        info.flags = ParameterInfo::kIsProgramChange | ParameterInfo::kIsList;
    }
    return kResultOk;
}

tresult Vst3Effect::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                          String128 string) {
    if (string == nullptr || stepCount(id) < 0) return kInvalidArgument;
    if (id == kProgramParamId) {
        toUtf16(model_.programName(stateOf(kProgramSteps, valueNormalized)), string, 128);
        return kResultOk;
    }
    const auto index = static_cast<int32>(id);
    char text[32] = "";
    paramDisplay(index, storedValue(index, valueNormalized), text);
    toUtf16(text, string, 128);
    return kResultOk;
}

tresult Vst3Effect::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) {
    if (string == nullptr || stepCount(id) < 0) return kInvalidArgument;
    char text[128];
    fromUtf16(string, text, sizeof text);
    if (id == kProgramParamId) {
        char trimmed[128];
        copyTrimmed(text, trimmed, sizeof trimmed);
        const int32 program = programFromText(model_, trimmed);
        if (program < 0) return kResultFalse;
        valueNormalized = static_cast<ParamValue>(program) / kProgramSteps;
        return kResultOk;
    }
    const auto index = static_cast<int32>(id);
    float value = 0.0f;
    if (!parseParamText(index, text, &value)) return kResultFalse;
    valueNormalized = normalizedOf(index, value);
    return kResultOk;
}

ParamValue Vst3Effect::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
    return normalizedToPlain(id, valueNormalized);
}

ParamValue Vst3Effect::plainParamToNormalized(ParamID id, ParamValue plainValue) {
    return plainToNormalized(id, plainValue);
}

ParamValue Vst3Effect::getParamNormalized(ParamID id) {
    if (isParam(id)) {
        const auto index = static_cast<int32>(id);
        return normalizedOf(index, model_.parameter(index));
    }
    if (id == kProgramParamId)
        return static_cast<ParamValue>(model_.currentProgram()) / kProgramSteps;
    return 0.0;
}

// Hosts echo values back here that they received from the processor or the panel: a value
// that reads as the current one leaves the parameter untouched, so a stored value outside the
// host's range (a VST 2 value above 1, say) is not replaced by its clamped reading.
tresult Vst3Effect::setParamNormalized(ParamID id, ParamValue value) {
    if (id == kProgramParamId) {
        changeProgram(stateOf(kProgramSteps, value));
        return kResultOk;
    }
    if (!isParam(id)) return kInvalidArgument;
    const auto index = static_cast<int32>(id);
    if (normalizedOf(index, model_.parameter(index)) != value)
        model_.setParameter(index, storedValue(index, value));
    return kResultOk;
}

tresult Vst3Effect::setComponentHandler(IComponentHandler* handler) {
    if (handler == handler_) return kResultOk;
    if (handler != nullptr) handler->addRef();
    if (handler_ != nullptr) handler_->release();
    handler_ = handler;
    return kResultOk;
}

IPlugView* Vst3Effect::createView(FIDString name) {
    if (name == nullptr || std::strcmp(name, kEditorViewType) != 0 || view_ != nullptr)
        return nullptr;
    view_ = Vst3View::create(*this);
    return view_;
}

intptr_t Vst3Effect::request(int32 index, intptr_t command, void* ptr) {
    return PrivateChannel::answer(model_, &panel_, index, command, ptr);
}

// ---------------------------------------------------------------- the panel's edits

void Vst3Effect::editBegun(int32_t index) {
    if (handler_ != nullptr) handler_->beginEdit(static_cast<ParamID>(index));
}

void Vst3Effect::editValue(int32_t index, float value) {
    if (handler_ != nullptr)
        handler_->performEdit(static_cast<ParamID>(index), normalizedOf(index, value));
}

void Vst3Effect::editEnded(int32_t index) {
    if (handler_ != nullptr) handler_->endEdit(static_cast<ParamID>(index));
}

} // namespace qx::vst3
