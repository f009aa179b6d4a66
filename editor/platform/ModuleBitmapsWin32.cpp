#include "editor/platform/ModuleBitmaps.h"

#include <windows.h>

namespace qx {

namespace {

// The module this code is linked into (the plug-in DLL, not the host's executable).
HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&moduleBitmap), &module);
    return module;
}

} // namespace

const unsigned char* moduleBitmap(int id, std::size_t* size) {
    *size = 0;
    HMODULE module = thisModule();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const unsigned char*>(LockResource(loaded));
}

} // namespace qx
