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

// A text into a fixed field of either width.
template <int N> void put(const char* text, char8 (&field)[N]) {
    copyTrimmed(text, field, N);
}
template <int N> void put(const char* text, char16 (&field)[N]) {
    toUtf16(text, field, N);
}

// The fields every form of the class description has.
template <typename Info> void fillCommon(Info& info) {
    std::memset(&info, 0, sizeof info);
    std::memcpy(info.cid, kEffectClassId.bytes, sizeof info.cid);
    info.cardinality = PClassInfo::kManyInstances;
    put(kVstAudioEffectClass, info.category);
    put(kEffectName, info.name);
}

// The extended forms (8-bit and UTF-16 texts).
template <typename Info> tresult fillExtended(int32 index, Info* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    fillCommon(*info);
    put(kSubCategories, info->subCategories);
    put(kVendor, info->vendor);
    put(kVersion, info->version);
    put(kSdkVersion, info->sdkVersion);
    return kResultOk;
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
    put(kVendor, info->vendor);
    info->flags = PFactoryInfo::kUnicode;
    return kResultOk;
}

tresult Vst3Factory::getClassInfo(int32 index, PClassInfo* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    fillCommon(*info);
    return kResultOk;
}

tresult Vst3Factory::getClassInfo2(int32 index, PClassInfo2* info) {
    return fillExtended(index, info);
}

tresult Vst3Factory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
    return fillExtended(index, info);
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
