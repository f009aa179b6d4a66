// The module's handle on Windows: the loader's notification handler stores it, and the Win32
// window layer registers its class and loads its bitmaps with it. Every module (VST 2, VST 3,
// CLAP) carries this one DllMain.
#include "editor/platform/Platform.h"

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
