#pragma once
// The module's exported entry, the five static entries stored in each record, and the state the
// module keeps for all its effect instances.

#include "plugin/AEffect.h"

namespace qx {

intptr_t QX_CALL dispatcherEntry(AEffect* e, int32_t opCode, int32_t index, intptr_t value,
                                 void* ptr, float opt);
void QX_CALL processEntry(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames);
void QX_CALL processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                   int32_t sampleFrames);
void QX_CALL setParameterEntry(AEffect* e, int32_t index, float value);
float QX_CALL getParameterEntry(AEffect* e, int32_t index);

// Set for good once an editor could not be allocated; every later `main` then refuses.
bool outOfMemory();
void markOutOfMemory();

// Allocation gate for the editor: tests install a hook that refuses, to exercise the
// out-of-memory path. Null (the default) allows every allocation.
using AllocationHook = bool (*)();
void setEditorAllocationHook(AllocationHook hook);
bool editorAllocationAllowed();

// What the exported entry does: asks the host's version, builds one effect and hands back its
// record, or null (host version 0, no memory, or the module is out of memory for good).
AEffect* createEffect(HostCallback audioMaster);

} // namespace qx

#if defined(_WIN32)
#define QX_ENTRY_VISIBILITY
#else
#define QX_ENTRY_VISIBILITY __attribute__((visibility("default")))
#endif

// The exported entry (defined with the module glue, so the static libraries carry no `main`).
extern "C" QX_ENTRY_VISIBILITY AEffect* QX_CALL VSTPluginMain(HostCallback audioMaster);
