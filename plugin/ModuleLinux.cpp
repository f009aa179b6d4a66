// Linux module glue: the exported entry names.
#include "plugin/PluginEntry.h"

extern "C" AEffect* VSTPluginMain(HostCallback audioMaster) {
    return qx::createEffect(audioMaster);
}

// Hosts look up "VSTPluginMain" first and fall back to "main"; both name the same function.
// C++ reserves the identifier `main`, so the second export is an alias set by symbol name.
extern "C" __attribute__((visibility("default"))) AEffect* mainEntryAlias(HostCallback)
    __asm__("main") __attribute__((alias("VSTPluginMain")));
