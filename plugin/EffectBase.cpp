#include "plugin/EffectBase.h"

#include "core/ValueText.h"
#include "editor/EditorBase.h"
#include "plugin/PluginEntry.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace qx {

namespace {

constexpr char kMinusInfinityText[] = "  -oo   ";

int32_t clampToInt32(intptr_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

} // namespace

EffectBase::EffectBase(HostCallback master, int32_t programs, int32_t params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
    std::memset(&effectRecord, 0, sizeof(effectRecord));
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = dispatcherEntry;
    effectRecord.process = processEntry;
    effectRecord.setParameter = setParameterEntry;
    effectRecord.getParameter = getParameterEntry;
    effectRecord.numPrograms = programs;
    effectRecord.numParams = params;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.flags = 0;
    effectRecord.initialDelay = 0;
    effectRecord.ioRatio = 2.0f;
    effectRecord.object = this;
    effectRecord.uniqueID = fourCC("NoEf");
    effectRecord.version = 2;
    effectRecord.processReplacing = processReplacingEntry;
}

EffectBase::~EffectBase() {
    EditorBase* e = editor;
    editor = nullptr;
    delete e;
    // A host that calls through a stale record after effClose then finds no object.
    effectRecord.object = nullptr;
    effectRecord.magic = 0;
}

EffectBase* EffectBase::fromRecord(AEffect* e) {
    if (e == nullptr || e->magic != kEffectMagic) return nullptr;
    return static_cast<EffectBase*>(e->object);
}

void EffectBase::setEditor(EditorBase* e) {
    editor = e;
    setFlag(effFlagsHasEditor, e != nullptr);
}

void EffectBase::setFlag(int32_t mask, bool state) {
    if (state)
        effectRecord.flags |= mask;
    else
        effectRecord.flags &= ~mask;
}

intptr_t EffectBase::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt,
                              intptr_t fallback) {
    if (audioMaster == nullptr) return fallback;
    return audioMaster(&effectRecord, opcode, index, value, ptr, opt);
}

void EffectBase::setParameter(int32_t, float) {}
float EffectBase::getParameter(int32_t) { return 0.0f; }

void EffectBase::automateParameter(int32_t index, float value) {
    setParameter(index, value);
    if (audioMaster != nullptr) audioMaster(&effectRecord, audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, int32_t) {}

intptr_t EffectBase::dispatcher(int32_t opCode, int32_t index, intptr_t value, void* ptr,
                                float opt) {
    switch (opCode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram(static_cast<int32_t>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    // Text opcodes write into the caller's buffer; without one there is nowhere to write.
    case effSetProgramName:
        if (ptr != nullptr) setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr != nullptr) getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        if (ptr != nullptr) getParamLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        if (ptr != nullptr) getParamDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        if (ptr != nullptr) getParamName(index, static_cast<char*>(ptr));
        return 0;
    case effGetVu: {
        const double vu = static_cast<double>(getVu()) * 32767.0;
        if (!(vu > INT32_MIN && vu < INT32_MAX)) return 0;
        return static_cast<int32_t>(vu);
    }
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(clampToInt32(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        return editor != nullptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
        return editor != nullptr ? editor->open(ptr) : 0;
    case effEditClose:
        if (editor != nullptr) editor->close();
        return 0;
    case effEditIdle:
        if (editor != nullptr) editor->idle();
        return 0;
    case effIdentify:
        return fourCC("NvEf");
    case effGetChunk:
        return ptr != nullptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, clampToInt32(value), index != 0);
    default:
        return 0;
    }
}

void EffectBase::open() {}
void EffectBase::close() {}
int32_t EffectBase::getProgram() { return currentProgram.load(std::memory_order_relaxed); }
void EffectBase::setProgram(int32_t program) {
    currentProgram.store(program, std::memory_order_relaxed);
}
void EffectBase::setProgramName(char* text) { text[0] = '\0'; }
void EffectBase::getProgramName(char* text) { text[0] = '\0'; }
void EffectBase::getParamLabel(int32_t, char* text) { text[0] = '\0'; }
void EffectBase::getParamDisplay(int32_t, char* text) { text[0] = '\0'; }
void EffectBase::getParamName(int32_t, char* text) { text[0] = '\0'; }
float EffectBase::getVu() { return 0.0f; }
int32_t EffectBase::getChunk(void**, bool) { return 0; }
int32_t EffectBase::setChunk(void*, int32_t, bool) { return 0; }
void EffectBase::setSampleRate(float rate) { sampleRate = rate; }
void EffectBase::setBlockSize(int32_t size) { blockSize = size; }
void EffectBase::suspend() {}
void EffectBase::resume() {}
void EffectBase::setUniqueId(int32_t id) { effectRecord.uniqueID = id; }
void EffectBase::setNumInputs(int32_t count) { effectRecord.numInputs = count; }
void EffectBase::setNumOutputs(int32_t count) { effectRecord.numOutputs = count; }
void EffectBase::setHasVu(bool state) { setFlag(effFlagsHasVu, state); }
void EffectBase::setHasClip(bool state) { setFlag(effFlagsHasClip, state); }
void EffectBase::setCanMono(bool state) { setFlag(effFlagsCanMono, state); }
void EffectBase::setCanReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
void EffectBase::setProgramChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
void EffectBase::setRealQualities(int32_t count) { effectRecord.realQualities = count; }
void EffectBase::setOffQualities(int32_t count) { effectRecord.offQualities = count; }
void EffectBase::setInitialDelay(int32_t frames) { effectRecord.initialDelay = frames; }
float EffectBase::getSampleRate() { return sampleRate; }
int32_t EffectBase::getBlockSize() { return blockSize; }

int32_t EffectBase::getHostVersion() {
    const intptr_t v = callHost(audioMasterVersion);
    return v == 0 ? 1 : clampToInt32(v);
}

int32_t EffectBase::getHostCurrentId() { return clampToInt32(callHost(audioMasterCurrentId)); }

void EffectBase::hostIdle() { callHost(audioMasterIdle); }

// The host answers 0 for a connected pin; without a host every pin counts as connected.
bool EffectBase::isInputPinConnected(int32_t input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool EffectBase::isOutputPinConnected(int32_t output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

void EffectBase::formatDecibels(float value, char* text) {
    if (!(value > 0.0f)) {
        std::strcpy(text, kMinusInfinityText);
        return;
    }
    formatFloat(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, 0);
}

void EffectBase::formatHertz(float samples, char* text) {
    if (samples == 0.0f || std::isnan(samples)) {
        formatFloat(0.0f, text, 0);
        return;
    }
    formatFloat(static_cast<float>(static_cast<double>(getSampleRate()) / samples), text, 0);
}

void EffectBase::formatMilliseconds(float samples, char* text) {
    formatFloat(static_cast<float>(static_cast<double>(samples) * 1000.0 / getSampleRate()), text,
                0);
}

void EffectBase::formatFloat(float value, char* text, int8_t reserve) {
    formatFixed(value, text, reserve);
}

void EffectBase::formatInteger(int32_t value, char* text) { formatWhole(value, text); }

} // namespace qx
