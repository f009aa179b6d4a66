// Windows module exports (named in Orv4417-QX.def): the factory, and the entry and exit a host
// calls after LoadLibrary and before FreeLibrary. The loader's notification handler is the
// module layer's (module/).
#include "vst3/Vst3Factory.h"

using qx::vst3::Vst3Factory;

extern "C" qx::vst3::IPluginFactory* QX_VST3_API GetPluginFactory() {
    Vst3Factory::instance().addRef();
    return &Vst3Factory::instance();
}

extern "C" bool InitDll() { return Vst3Factory::enterModule(); }
extern "C" bool ExitDll() { return Vst3Factory::exitModule(); }
