#include "plugin/ExtendedEffect.h"

namespace qx {

const char* const ExtendedEffect::hostCapabilityNames[13] = {
    "sendVstEvents",   "sendVstMidiEvent", "sendVstTimeInfo",         "receiveVstEvents",
    "receiveVstMidiEvent", "receiveVstTimeInfo", "reportConnectionChanges", "acceptIOChanges",
    "sizeWindow",      "asyncProcessing",  "offline",                 "supplyIdle",
    "supportShell"};

const char* const ExtendedEffect::plugCapabilityNames[23] = {
    "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
    "receiveVstMidiEvent", "receiveVstTimeInfo", "offline", "plugAsChannelInsert",
    "plugAsSend", "mixDryWet", "noRealTime", "multipass", "metapass", "1in1out", "1in2out",
    "2in1out", "2in2out", "2in4out", "4in2out", "4in4out", "4in8out", "8in4out", "8in8out"};

ExtendedEffect::ExtendedEffect(HostCallback master, int32_t programs, int32_t params)
    : EffectBase(master, programs, params) {}

ExtendedEffect::~ExtendedEffect() = default;

bool ExtendedEffect::askHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return callHost(opcode, index, value, ptr, opt) != 0;
}

// One forward per opcode. Opcodes whose operation writes through ptr answer 0 without one.
intptr_t ExtendedEffect::dispatcher(int32_t opCode, int32_t index, intptr_t value, void* ptr,
                                    float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opCode) {
    case effProcessEvents:
        return processEvents(ptr);
    case effCanBeAutomated:
        return canBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return text != nullptr && stringToParameter(index, text) ? 1 : 0;
    case effGetNumProgramCategories:
        return getNumProgramCategories();
    case effGetProgramNameIndexed:
        return text != nullptr && getProgramNameIndexed(static_cast<int32_t>(value), index, text)
                   ? 1
                   : 0;
    case effCopyProgram:
        return copyProgram(index) ? 1 : 0;
    case effConnectInput:
        connectInput(index, value != 0);
        return 1;
    case effConnectOutput:
        connectOutput(index, value != 0);
        return 1;
    case effGetInputProperties:
        return ptr != nullptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr))
                   ? 1
                   : 0;
    case effGetOutputProperties:
        return ptr != nullptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr))
                   ? 1
                   : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetCurrentPosition:
        return getCurrentPosition();
    case effGetDestinationBuffer:
        return reinterpret_cast<intptr_t>(getDestinationBuffer());
    case effOfflineNotify:
        return offlineNotify(ptr, static_cast<int32_t>(value), index != 0) ? 1 : 0;
    case effOfflinePrepare:
        return offlinePrepare(ptr, static_cast<int32_t>(value)) ? 1 : 0;
    case effOfflineRun:
        return offlineRun(ptr, static_cast<int32_t>(value)) ? 1 : 0;
    case effProcessVarIo:
        return processVarIo(ptr) ? 1 : 0;
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<void*>(value), ptr) ? 1 : 0;
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(static_cast<int32_t>(value), opt);
        return 1;
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
        return text != nullptr && getEffectName(text) ? 1 : 0;
    case effGetErrorText:
        return text != nullptr && getErrorText(text) ? 1 : 0;
    case effGetVendorString:
        return text != nullptr && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text != nullptr && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text != nullptr ? canDo(text) : 0;
    case effGetTailSize:
        return getTailSize();
    case effIdle:
        return effectIdle();
    case effGetIcon:
        return reinterpret_cast<intptr_t>(getIcon());
    case effSetViewPosition:
        return setViewPosition(index, static_cast<int32_t>(value)) ? 1 : 0;
    case effGetParameterProperties:
        return getParameterProperties(index, ptr) ? 1 : 0;
    case effKeysRequired:
        return keysRequired() ? 0 : 1;
    case effGetVstVersion:
        return getVstVersion();
    default:
        return EffectBase::dispatcher(opCode, index, value, ptr, opt);
    }
}

void ExtendedEffect::requestEvents(int32_t filter) { callHost(audioMasterWantMidi, 0, filter); }
intptr_t ExtendedEffect::getHostTime(int32_t filter) { return callHost(audioMasterGetTime, 0, filter); }
intptr_t ExtendedEffect::getTempoAt(int32_t position) {
    return callHost(audioMasterTempoAt, 0, position);
}
int32_t ExtendedEffect::processEvents(void*) { return 0; }
intptr_t ExtendedEffect::getHostNumAutomatable() {
    return callHost(audioMasterGetNumAutomatableParameters);
}
intptr_t ExtendedEffect::getHostParamQuantization() {
    return callHost(audioMasterGetParameterQuantization);
}
bool ExtendedEffect::canBeAutomated(int32_t) { return true; }
bool ExtendedEffect::stringToParameter(int32_t, char*) { return false; }
float ExtendedEffect::getChannelParam(int32_t, int32_t) { return 0.0f; }
int32_t ExtendedEffect::getNumProgramCategories() { return 1; }
bool ExtendedEffect::getProgramNameIndexed(int32_t, int32_t, char*) { return false; }
bool ExtendedEffect::copyProgram(int32_t) { return false; }
bool ExtendedEffect::notifyIoChanged() { return askHost(audioMasterIOChanged); }
bool ExtendedEffect::requestIdle() { return askHost(audioMasterNeedIdle); }
bool ExtendedEffect::requestWindowSize(int32_t width, int32_t height) {
    return askHost(audioMasterSizeWindow, width, height);
}
// The host is told we asked, but the stored value stays authoritative.
float ExtendedEffect::querySampleRate() {
    callHost(audioMasterGetSampleRate);
    return sampleRate;
}
int32_t ExtendedEffect::queryBlockSize() {
    callHost(audioMasterGetBlockSize);
    return blockSize;
}
intptr_t ExtendedEffect::getHostInputLatency() { return callHost(audioMasterGetInputLatency); }
intptr_t ExtendedEffect::getHostOutputLatency() { return callHost(audioMasterGetOutputLatency); }
intptr_t ExtendedEffect::getPreviousPlug(int32_t) { return callHost(audioMasterGetPreviousPlug); }
intptr_t ExtendedEffect::getNextPlug(int32_t) { return callHost(audioMasterGetNextPlug); }
void ExtendedEffect::connectInput(int32_t, bool) {}
void ExtendedEffect::connectOutput(int32_t, bool) {}
bool ExtendedEffect::getInputProperties(int32_t, VstPinProperties*) { return false; }
bool ExtendedEffect::getOutputProperties(int32_t, VstPinProperties*) { return false; }
int32_t ExtendedEffect::getPlugCategory() {
    return (effectRecord.flags & effFlagsIsSynth) != 0 ? 2 : 0;
}
intptr_t ExtendedEffect::getHostReplaceOrAccumulate() {
    return callHost(audioMasterWillReplaceOrAccumulate);
}
intptr_t ExtendedEffect::getHostProcessLevel() {
    return callHost(audioMasterGetCurrentProcessLevel);
}
intptr_t ExtendedEffect::getHostAutomationState() {
    return callHost(audioMasterGetAutomationState);
}
void ExtendedEffect::setExtIsAsync(bool state) { setFlag(effFlagsExtIsAsync, state); }
void ExtendedEffect::setExtHasBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
int32_t ExtendedEffect::getCurrentPosition() { return 0; }
float* ExtendedEffect::getDestinationBuffer() { return nullptr; }
bool ExtendedEffect::hostOfflineRead(void* task, int32_t option, bool readSource) {
    return askHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task);
}
bool ExtendedEffect::hostOfflineWrite(void* task, int32_t option) {
    return askHost(audioMasterOfflineWrite, 0, option, task);
}
bool ExtendedEffect::hostOfflineStart(void* files, int32_t numFiles, int32_t numNewFiles) {
    return askHost(audioMasterOfflineStart, numNewFiles, numFiles, files);
}
bool ExtendedEffect::hostOfflineCurrentPass() {
    return askHost(audioMasterOfflineGetCurrentPass);
}
bool ExtendedEffect::hostOfflineCurrentMetaPass() {
    return askHost(audioMasterOfflineGetCurrentMetaPass);
}
bool ExtendedEffect::offlineNotify(void*, int32_t, bool) { return false; }
bool ExtendedEffect::offlinePrepare(void*, int32_t) { return false; }
bool ExtendedEffect::offlineRun(void*, int32_t) { return false; }
int32_t ExtendedEffect::offlineNumPasses() { return 0; }
int32_t ExtendedEffect::offlineNumMetaPasses() { return 0; }
void ExtendedEffect::setHostOutputSampleRate(float rate) {
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}
bool ExtendedEffect::getHostSpeakerArrangement(void* input, void* output) {
    return askHost(audioMasterGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(input), output);
}
bool ExtendedEffect::getHostVendorString(char* text) {
    return askHost(audioMasterGetVendorString, 0, 0, text);
}
bool ExtendedEffect::getHostProductString(char* text) {
    return askHost(audioMasterGetProductString, 0, 0, text);
}
intptr_t ExtendedEffect::getHostVendorVersion() { return callHost(audioMasterGetVendorVersion); }
intptr_t ExtendedEffect::hostVendorSpecific(int32_t a, intptr_t b, void* p, float f) {
    return callHost(audioMasterVendorSpecific, a, b, p, f);
}
bool ExtendedEffect::hostCanDo(char* text) { return askHost(audioMasterCanDo, 0, 0, text); }
void ExtendedEffect::setIsSynth(bool state) { setFlag(effFlagsIsSynth, state); }
void ExtendedEffect::setNoSoundInStop(bool state) { setFlag(effFlagsNoSoundInStop, state); }
intptr_t ExtendedEffect::getHostLanguage() { return callHost(audioMasterGetLanguage); }
intptr_t ExtendedEffect::hostOpenWindow(void* description) {
    return callHost(audioMasterOpenWindow, 0, 0, description);
}
bool ExtendedEffect::hostCloseWindow(void* description) {
    return askHost(audioMasterCloseWindow, 0, 0, description);
}
intptr_t ExtendedEffect::getHostDirectory() { return callHost(audioMasterGetDirectory); }
bool ExtendedEffect::requestDisplayUpdate() { return askHost(audioMasterUpdateDisplay); }
bool ExtendedEffect::processVarIo(void*) { return false; }
bool ExtendedEffect::setSpeakerArrangement(void*, void*) { return false; }
void ExtendedEffect::setBlockSizeAndSampleRate(int32_t frames, float rate) {
    blockSize = frames;
    sampleRate = rate;
}
bool ExtendedEffect::setBypass(bool) { return false; }
bool ExtendedEffect::getEffectName(char*) { return false; }
bool ExtendedEffect::getErrorText(char*) { return false; }
bool ExtendedEffect::getVendorString(char*) { return false; }
bool ExtendedEffect::getProductString(char*) { return false; }
int32_t ExtendedEffect::getVendorVersion() { return 0; }
intptr_t ExtendedEffect::vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }
int32_t ExtendedEffect::canDo(char*) { return 0; }
void* ExtendedEffect::getIcon() { return nullptr; }
bool ExtendedEffect::setViewPosition(int32_t, int32_t) { return false; }
int32_t ExtendedEffect::getTailSize() { return 0; }
int32_t ExtendedEffect::effectIdle() { return 0; }
bool ExtendedEffect::getParameterProperties(int32_t, void*) { return false; }
bool ExtendedEffect::keysRequired() { return false; }
int32_t ExtendedEffect::getVstVersion() { return 2; }

} // namespace qx
