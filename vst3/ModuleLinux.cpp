// Linux module exports: the factory, and the entry and exit a host calls around its use of the
// module (after dlopen, before dlclose).
#include "vst3/Vst3Factory.h"

#define QX_EXPORT extern "C" __attribute__((visibility("default")))

using qx::vst3::Vst3Factory;

QX_EXPORT qx::vst3::IPluginFactory* GetPluginFactory() {
    Vst3Factory::instance().addRef();
    return &Vst3Factory::instance();
}

QX_EXPORT bool ModuleEntry(void*) {
    return Vst3Factory::enterModule();
}
QX_EXPORT bool ModuleExit() {
    return Vst3Factory::exitModule();
}
