// Windows module exports: the factory, and the entry and exit a host calls after LoadLibrary and
// before FreeLibrary. --kill-at exports the x86 names undecorated, as hosts look them up. The
// loader's notification handler is the module layer's (module/).
#include "vst3/Vst3Factory.h"

#define QX_EXPORT extern "C" __declspec(dllexport)

using qx::vst3::Vst3Factory;

QX_EXPORT qx::vst3::IPluginFactory* QX_VST3_API GetPluginFactory() {
    Vst3Factory::instance().addRef();
    return &Vst3Factory::instance();
}

QX_EXPORT bool InitDll() {
    return Vst3Factory::enterModule();
}
QX_EXPORT bool ExitDll() {
    return Vst3Factory::exitModule();
}
