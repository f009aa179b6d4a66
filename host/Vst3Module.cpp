#include "host/Vst3Module.h"

#include "host/ModuleLibrary.h"

#include <filesystem>
#include <initializer_list>

namespace qxhost {

using namespace qx::vst3;

namespace {

// The bundle's folder for this platform's binaries, and their file name ending.
#if defined(_WIN64)
constexpr const char* kArchitecture = "x86_64-win";
constexpr const char* kSuffix = ".vst3";
#elif defined(_WIN32)
constexpr const char* kArchitecture = "x86-win";
constexpr const char* kSuffix = ".vst3";
#elif defined(__x86_64__)
constexpr const char* kArchitecture = "x86_64-linux";
constexpr const char* kSuffix = ".so";
#else
constexpr const char* kArchitecture = "i386-linux";
constexpr const char* kSuffix = ".so";
#endif

template <typename I> I* ask(IComponent* component) {
    void* obj = nullptr;
    return component->queryInterface(I::iid.bytes, &obj) == kResultOk ? static_cast<I*>(obj)
                                                                      : nullptr;
}

} // namespace

std::string vst3Binary(const std::string& path) {
    std::filesystem::path bundle(path);
    std::error_code failed;
    if (!std::filesystem::is_directory(bundle, failed)) return path;
    if (!bundle.has_filename()) bundle = bundle.parent_path(); // a trailing separator
    return (bundle / "Contents" / kArchitecture / bundle.stem()).string() + kSuffix;
}

bool Vst3Module::load(const std::string& path, std::string& error) {
    unload();
    const std::string binary = vst3Binary(path);
    handle_ = openModule(binary, error);
    if (handle_ == nullptr) return false;
#if defined(_WIN32)
    auto enter = reinterpret_cast<InitDllProc>(symbol("InitDll"));
    const bool entered = enter != nullptr && enter();
#else
    auto enter = reinterpret_cast<ModuleEntryProc>(symbol("ModuleEntry"));
    const bool entered = enter != nullptr && enter(handle_);
#endif
    auto getFactory = reinterpret_cast<GetFactoryProc>(symbol("GetPluginFactory"));
    factory_ = entered && getFactory != nullptr ? getFactory() : nullptr;
    if (factory_ != nullptr) return true;
    error = binary + (entered ? ": no factory" : ": the module's entry failed");
    unload();
    return false;
}

void Vst3Module::unload() {
    if (handle_ == nullptr) return;
    if (factory_ != nullptr) factory_->release();
    factory_ = nullptr;
#if defined(_WIN32)
    if (auto exit = reinterpret_cast<ExitDllProc>(symbol("ExitDll"))) exit();
#else
    if (auto exit = reinterpret_cast<ModuleExitProc>(symbol("ModuleExit"))) exit();
#endif
    closeModule(handle_);
    handle_ = nullptr;
}

void* Vst3Module::symbol(const char* name) const {
    return handle_ != nullptr ? findSymbol(handle_, name) : nullptr;
}

Vst3Instance::Vst3Instance(const Vst3Module& module) {
    IPluginFactory* factory = module.factory();
    PClassInfo info{};
    void* obj = nullptr;
    if (factory == nullptr || factory->getClassInfo(0, &info) != kResultOk ||
        factory->createInstance(info.cid, IComponent::iid.bytes, &obj) != kResultOk)
        return;
    component = static_cast<IComponent*>(obj);
    component->initialize(nullptr);
    processor = ask<IAudioProcessor>(component);
    controller = ask<IEditController>(component);
    units = ask<IUnitInfo>(component);
    privateRequests = ask<IPrivateRequests>(component);
}

Vst3Instance::~Vst3Instance() {
    if (component == nullptr) return;
    stop();
    component->terminate();
    for (FUnknown* i :
         std::initializer_list<FUnknown*>{privateRequests, units, controller, processor})
        if (i != nullptr) i->release();
    component->release();
}

void Vst3Instance::start(double rate, int32_t maxBlock) {
    ProcessSetup setup{kRealtime, kSample32, maxBlock, rate};
    if (processor != nullptr) processor->setupProcessing(setup);
    component->setActive(1);
    if (processor != nullptr) processor->setProcessing(1);
}

void Vst3Instance::stop() {
    if (processor != nullptr) processor->setProcessing(0);
    component->setActive(0);
}

} // namespace qxhost
