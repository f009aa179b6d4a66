#pragma once
// The module's class factory: one class, the limiter (Vst3Effect), described in the three forms
// hosts ask for (8-bit, extended, UTF-16). One factory object lives as long as the module; its
// reference count only counts.
//
// Threads: the host's main thread.

#include "vst3/Vst3Abi.h"

#include <atomic>

namespace qx::vst3 {

class Vst3Factory final : public IPluginFactory3 {
  public:
    // The module's factory.
    static Vst3Factory& instance();
    // The module's entry and exit (ModuleEntry/ModuleExit, InitDll/ExitDll): they nest, and an
    // exit without an entry answers false.
    static bool enterModule();
    static bool exitModule();

    tresult QX_VST3_API queryInterface(const TUID iid, void** obj) override;
    uint32 QX_VST3_API addRef() override;
    uint32 QX_VST3_API release() override;

    tresult QX_VST3_API getFactoryInfo(PFactoryInfo* info) override;
    int32 QX_VST3_API countClasses() override { return 1; }
    tresult QX_VST3_API getClassInfo(int32 index, PClassInfo* info) override;
    // A new limiter for class id kEffectClassId, answering interface `iid`; kResultFalse for an
    // unknown class, kNoInterface for an interface the limiter does not have.
    tresult QX_VST3_API createInstance(FIDString cid, FIDString iid, void** obj) override;
    tresult QX_VST3_API getClassInfo2(int32 index, PClassInfo2* info) override;
    tresult QX_VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) override;
    // The host's context is not needed: the limiter asks its host for nothing at creation.
    tresult QX_VST3_API setHostContext(FUnknown*) override { return kResultOk; }

  private:
    Vst3Factory() = default;

    std::atomic<uint32> refCount_{1};
};

} // namespace qx::vst3
