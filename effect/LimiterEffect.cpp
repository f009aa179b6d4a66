// Construction, destruction, processing hand-over and the fixed answers about the effect.
#include "effect/LimiterEffect.h"

#include "core/ParamTable.h"
#include "core/ParamText.h"
#include "core/PrivateRequests.h"
#include "editor/PanelEditor.h"
#include "plugin/PluginEntry.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace qx {

namespace {

constexpr char kEffectName[] = "Orv4417-QX";
constexpr char kVendorName[] = "Qem v1.0";

std::atomic<int32_t> instanceCount{0};

} // namespace

int32_t LimiterEffect::liveInstances() { return instanceCount.load(std::memory_order_relaxed); }

LimiterEffect::LimiterEffect(HostCallback master)
    : ExtendedEffect(master, kNumPrograms, kNumParams), engine(params) {
    if (editorAllocationAllowed()) panel = new (std::nothrow) PanelEditor(this);
    if (panel != nullptr) setEditor(panel);
    initialisePrograms();
    setProgram(0);
    setUniqueId(fourCC("KVqe"));
    setNumInputs(2);
    setNumOutputs(2);
    setCanMono(true);
    setCanReplacing(true);
    setInitialDelay(0);
    suspend();
}

LimiterEffect::~LimiterEffect() {
    instanceCount.fetch_sub(1, std::memory_order_relaxed);
    // The engine releases its buffers with itself; the panel goes with the base class.
}

void LimiterEffect::initialisePrograms() {
    if (instanceCount.load(std::memory_order_relaxed) == 0) PanelEditor::buildTables();
    for (int i = 0; i < kNumParams; ++i) paddedParamName(i, paramNames[i]);
    for (int32_t p = 0; p < kNumPrograms; ++p) {
        currentProgram.store(p, std::memory_order_relaxed);
        char name[kProgramNameWidth + 1];
        std::memset(name, ' ', kProgramNameWidth);
        std::memcpy(name, kProgramNameTable[p], std::strlen(kProgramNameTable[p]));
        name[kProgramNameWidth] = '\0';
        setProgramName(name);
        for (int32_t i = 0; i < kNumParams; ++i) setParameter(i, kParamTable[i].defaultValue);
    }
    currentProgram.store(0, std::memory_order_relaxed);
    fromEditor.store(false, std::memory_order_relaxed);
    meters().singleChannel.store(0, std::memory_order_relaxed);
    instanceCount.fetch_add(1, std::memory_order_relaxed);
    recalculate();
}

void LimiterEffect::process(float** inputs, float** outputs, int32_t sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, true, *this);
}

void LimiterEffect::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, false, *this);
}

void LimiterEffect::recalculate() { engine.recalculate(); }

// The host handlers keep the base layer's copies in step with the engine's, which has the last
// word on odd values (a rate of 0 or NaN is ignored, a block size of 0 raised to a minimum).
void LimiterEffect::setSampleRate(float rate) {
    engine.setSampleRate(rate);
    sampleRate = engine.sampleRate();
}

void LimiterEffect::setBlockSize(int32_t size) {
    engine.setBlockSize(size);
    blockSize = engine.blockSize();
}

void LimiterEffect::setBlockSizeAndSampleRate(int32_t frames, float rate) {
    engine.setBlockSizeAndSampleRate(frames, rate);
    blockSize = engine.blockSize();
    sampleRate = engine.sampleRate();
}

void LimiterEffect::resume() {
    engine.resume();
    if (panel != nullptr) panel->requestFullRedraw();
}

void LimiterEffect::suspend() { engine.suspend(); }

float LimiterEffect::getVu() {
    const float v = vuLevel;
    vuLevel = 0.0f;
    return v;
}

namespace {
bool describePin(int32_t index, VstPinProperties* properties) {
    if (index < 0 || index > 1) return false;
    std::snprintf(properties->label, sizeof properties->label, "4417 %1d", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}
} // namespace

bool LimiterEffect::getInputProperties(int32_t index, VstPinProperties* properties) {
    return describePin(index, properties);
}

bool LimiterEffect::getOutputProperties(int32_t index, VstPinProperties* properties) {
    return describePin(index, properties);
}

bool LimiterEffect::hostCanDo(char*) { return false; }

bool LimiterEffect::getEffectName(char* text) {
    std::strcpy(text, kEffectName);
    return true;
}

bool LimiterEffect::getVendorString(char* text) {
    std::strcpy(text, kVendorName);
    return true;
}

bool LimiterEffect::getProductString(char* text) {
    std::strcpy(text, kEffectName);
    return true;
}

int32_t LimiterEffect::canDo(char* text) {
    if (std::strcmp(text, "plugAsChannelInsert") == 0 || std::strcmp(text, "plugAsSend") == 0)
        return 1;
    return -1;
}

intptr_t LimiterEffect::vendorSpecific(int32_t index, intptr_t value, void* ptr, float) {
    if (index == QX_HEADLESS_INDEX)
        return panel != nullptr ? panel->headlessRequest(value, ptr) : 0;
    if (index == QX_METER_INDEX && ptr != nullptr) {
        auto* out = static_cast<QxMeterReadout*>(ptr);
        out->minGain = takeMinGain();
        out->peakOut = takePeakOut();
        out->clipHold = clipHold();
        out->singleChannel = singleChannel();
        return 1;
    }
    return 0;
}

float LimiterEffect::takeMinGain() {
    return meters().minGain.exchange(1.0f, std::memory_order_relaxed);
}

float LimiterEffect::takePeakOut() {
    return meters().peakOut.exchange(0.0f, std::memory_order_relaxed);
}

int32_t LimiterEffect::clipHold() { return meters().clipHold.load(std::memory_order_relaxed); }

void LimiterEffect::countDownClipHold(int32_t seen) {
    meters().clipHold.compare_exchange_strong(seen, seen - 1, std::memory_order_relaxed);
}

int32_t LimiterEffect::singleChannel() {
    return meters().singleChannel.load(std::memory_order_relaxed);
}

void LimiterEffect::storeMeters(float minGain, float peakOut, int32_t hold, int32_t single) {
    MeterShared& m = meters();
    m.minGain.store(minGain, std::memory_order_relaxed);
    m.peakOut.store(peakOut, std::memory_order_relaxed);
    m.clipHold.store(hold, std::memory_order_relaxed);
    m.singleChannel.store(single, std::memory_order_relaxed);
}

bool LimiterEffect::sendEventsToHost(void* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

} // namespace qx
