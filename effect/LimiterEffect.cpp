// Construction, destruction, processing hand-over and the fixed answers about the effect.
#include "effect/LimiterEffect.h"

#include "core/ParamTable.h"
#include "core/ParamText.h"
#include "editor/PanelEditor.h"
#include "module/PrivateChannel.h"
#include "plugin/PluginEntry.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace qx {

namespace {

constexpr char kEffectName[] = "Orv4417-QX";
constexpr char kVendorName[] = "Qem v1.0";

std::atomic<int32_t> instanceCount{0};

// A negative count processes nothing, like an empty block.
uint32_t framesOf(int32_t sampleFrames) { return sampleFrames > 0 ? uint32_t(sampleFrames) : 0u; }

} // namespace

int32_t LimiterEffect::liveInstances() { return instanceCount.load(std::memory_order_relaxed); }

LimiterEffect::LimiterEffect(HostCallback master)
    : ExtendedEffect(master, kNumPrograms, kNumParams) {
    model.setListener(this);
    if (editorAllocationAllowed()) panel = new (std::nothrow) PanelEditor(&binding);
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

// The programs themselves come filled from the model's bank (the table's names, the default
// values in every program); what is left is the module-wide tables and the names' padding.
void LimiterEffect::initialisePrograms() {
    if (instanceCount.load(std::memory_order_relaxed) == 0) PanelEditor::buildTables();
    for (int i = 0; i < kNumParams; ++i) paddedParamName(i, paramNames[i]);
    instanceCount.fetch_add(1, std::memory_order_relaxed);
}

void LimiterEffect::process(float** inputs, float** outputs, int32_t sampleFrames) {
    model.process({inputs, outputs, framesOf(sampleFrames), true}, nullptr, 0, *this,
                  IdleOutput::Untouched);
}

void LimiterEffect::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    model.process({inputs, outputs, framesOf(sampleFrames), false}, nullptr, 0, *this,
                  IdleOutput::Untouched);
}

// The host handlers keep the base layer's copies in step with the engine's, which has the last
// word on odd values (a rate of 0 or NaN is ignored, a block size of 0 raised to a minimum).
void LimiterEffect::setSampleRate(float rate) {
    model.setSampleRate(rate);
    sampleRate = model.sampleRate();
}

void LimiterEffect::setBlockSize(int32_t size) {
    model.setMaxBlockSize(size);
    blockSize = model.maxBlockSize();
}

void LimiterEffect::setBlockSizeAndSampleRate(int32_t frames, float rate) {
    model.setMaxBlockSizeAndSampleRate(frames, rate);
    blockSize = model.maxBlockSize();
    sampleRate = model.sampleRate();
}

void LimiterEffect::resume() { model.activate(); }

void LimiterEffect::suspend() { model.deactivate(); }

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
    return PrivateChannel::answer(model, panel, index, value, ptr);
}

bool LimiterEffect::sendEventsToHost(void* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

} // namespace qx
