// The five static entries every record carries, and the module-wide out-of-memory state.
#include "plugin/PluginEntry.h"

#include "plugin/EffectBase.h"

#include <atomic>

namespace qx {

namespace {
std::atomic<bool> outOfMemoryFlag{false};
std::atomic<AllocationHook> editorAllocationHook{nullptr};
} // namespace

bool outOfMemory() { return outOfMemoryFlag.load(); }
void markOutOfMemory() { outOfMemoryFlag.store(true); }

void setEditorAllocationHook(AllocationHook hook) { editorAllocationHook.store(hook); }

bool editorAllocationAllowed() {
    const AllocationHook hook = editorAllocationHook.load();
    return hook == nullptr || hook();
}

// The static entries trust nothing but a record that carries our magic and an object.
intptr_t QX_CALL dispatcherEntry(AEffect* e, int32_t opCode, int32_t index, intptr_t value,
                                 void* ptr, float opt) {
    EffectBase* effect = EffectBase::fromRecord(e);
    if (effect == nullptr) return 0;
    if (opCode == effClose) {
        effect->dispatcher(opCode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opCode, index, value, ptr, opt);
}

void QX_CALL processEntry(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames) {
    if (EffectBase* effect = EffectBase::fromRecord(e))
        effect->process(inputs, outputs, sampleFrames);
}

void QX_CALL processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                   int32_t sampleFrames) {
    if (EffectBase* effect = EffectBase::fromRecord(e))
        effect->processReplacing(inputs, outputs, sampleFrames);
}

void QX_CALL setParameterEntry(AEffect* e, int32_t index, float value) {
    if (EffectBase* effect = EffectBase::fromRecord(e)) effect->setParameter(index, value);
}

float QX_CALL getParameterEntry(AEffect* e, int32_t index) {
    EffectBase* effect = EffectBase::fromRecord(e);
    return effect != nullptr ? effect->getParameter(index) : 0.0f;
}

} // namespace qx
