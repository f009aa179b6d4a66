// Windows module glue: the exported entry. The single export `main` (ordinal 1) is declared in
// the module definition file; the DLL entry that stores the instance handle is the module
// layer's.
#include "plugin/PluginEntry.h"

extern "C" AEffect* QX_CALL VSTPluginMain(HostCallback audioMaster) {
    return qx::createEffect(audioMaster);
}
