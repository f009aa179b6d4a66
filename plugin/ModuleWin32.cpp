// Windows module glue: the loader's notification handler stores the instance handle. The single
// export `main` (ordinal 1) is declared in the module definition file.
#include "editor/platform/Platform.h"
#include "plugin/PluginEntry.h"

#include <windows.h>

namespace qx {

namespace {
HINSTANCE instanceHandle = nullptr;
}

void* moduleInstance() { return instanceHandle; }

int32_t moduleLoadHook(HINSTANCE instance, DWORD, LPVOID) {
    instanceHandle = instance;
    return 1;
}

} // namespace qx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return qx::moduleLoadHook(instance, reason, reserved);
}

extern "C" AEffect* QX_CALL VSTPluginMain(HostCallback audioMaster) {
    return qx::createEffect(audioMaster);
}
