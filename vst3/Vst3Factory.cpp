#include "vst3/Vst3Factory.h"

#include "vst3/Utf16.h"
#include "vst3/Vst3Effect.h"

#include <cstring>

namespace qx::vst3 {

namespace {

constexpr char kVendor[] = "Qem v1.0";
constexpr char kEffectName[] = "Orv4417-QX";
constexpr char kSubCategories[] = "Fx|Dynamics";
constexpr char kVersion[] = QX_VST3_VERSION;
// The interface level the declarations in Vst3Abi.h follow.
constexpr char kSdkVersion[] = "VST 3.7.9";

std::atomic<int> moduleEntries{0};

template <typename Info> void fillCommon(Info& info) {
    std::memcpy(info.cid, kEffectClassId.bytes, sizeof info.cid);
    info.cardinality = PClassInfo::kManyInstances;
    copyTrimmed(kVstAudioEffectClass, info.category, sizeof info.category);
}

} // namespace

Vst3Factory& Vst3Factory::instance() {
    static Vst3Factory factory;
    return factory;
}

bool Vst3Factory::enterModule() {
    moduleEntries.fetch_add(1, std::memory_order_relaxed);
    return true;
}

bool Vst3Factory::exitModule() {
    int n = moduleEntries.load(std::memory_order_relaxed);
    while (n > 0 && !moduleEntries.compare_exchange_weak(n, n - 1, std::memory_order_relaxed)) {
    }
    return n > 0;
}

tresult Vst3Factory::queryInterface(const TUID iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (iid == nullptr) return kInvalidArgument;
    if (!FUnknown::iid.equals(iid) && !IPluginFactory::iid.equals(iid) &&
        !IPluginFactory2::iid.equals(iid) && !IPluginFactory3::iid.equals(iid))
        return kNoInterface;
    *obj = static_cast<IPluginFactory3*>(this);
    addRef();
    return kResultOk;
}

uint32 Vst3Factory::addRef() {
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

// The factory is static: a count that reaches 0 destroys nothing.
uint32 Vst3Factory::release() {
    const uint32 count = refCount_.load(std::memory_order_relaxed);
    if (count == 0) return 0;
    return refCount_.fetch_sub(1, std::memory_order_relaxed) - 1;
}

tresult Vst3Factory::getFactoryInfo(PFactoryInfo* info) {
    if (info == nullptr) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    copyTrimmed(kVendor, info->vendor, sizeof info->vendor);
    info->flags = PFactoryInfo::kUnicode;
    return kResultOk;
}

tresult Vst3Factory::getClassInfo(int32 index, PClassInfo* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    fillCommon(*info);
    copyTrimmed(kEffectName, info->name, sizeof info->name);
    return kResultOk;
}

tresult Vst3Factory::getClassInfo2(int32 index, PClassInfo2* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    fillCommon(*info);
    copyTrimmed(kEffectName, info->name, sizeof info->name);
    copyTrimmed(kSubCategories, info->subCategories, sizeof info->subCategories);
    copyTrimmed(kVendor, info->vendor, sizeof info->vendor);
    copyTrimmed(kVersion, info->version, sizeof info->version);
    copyTrimmed(kSdkVersion, info->sdkVersion, sizeof info->sdkVersion);
    return kResultOk;
}

tresult Vst3Factory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    fillCommon(*info);
    toUtf16(kEffectName, info->name, 64);
    copyTrimmed(kSubCategories, info->subCategories, sizeof info->subCategories);
    toUtf16(kVendor, info->vendor, 64);
    toUtf16(kVersion, info->version, 64);
    toUtf16(kSdkVersion, info->sdkVersion, 64);
    return kResultOk;
}

tresult Vst3Factory::createInstance(FIDString cid, FIDString iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (cid == nullptr || iid == nullptr) return kInvalidArgument;
    if (!kEffectClassId.equals(cid)) return kResultFalse;
    Vst3Effect* effect = Vst3Effect::create();
    if (effect == nullptr) return kOutOfMemory;
    const tresult result = effect->queryInterface(iid, obj);
    effect->release(); // the interface asked for holds the one reference left, if any
    return result;
}

} // namespace qx::vst3
