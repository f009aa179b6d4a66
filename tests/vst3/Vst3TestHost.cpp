#include "tests/vst3/Vst3TestHost.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace qx::vst3::test {

// ---------------------------------------------------------------- module and instance

#if defined(QX_VST3_BINARY)
const char* Vst3Module::sharedPath = QX_VST3_BINARY;
#else
const char* Vst3Module::sharedPath = "";
#endif

Vst3Module& Vst3Module::shared() {
    static Vst3Module module(sharedPath);
    return module;
}

// The platform's entry and exit around the factory: ModuleEntry/ModuleExit on Linux,
// InitDll/ExitDll on Windows.
#if defined(_WIN32)
void* Vst3Module::load(const char* path) {
    handle_ = LoadLibraryA(path);
    auto init = symbol<InitDllProc>("InitDll");
    return handle_ != nullptr && init != nullptr && init() ? handle_ : nullptr;
}
void Vst3Module::unload() {
    if (auto exit = symbol<ExitDllProc>("ExitDll")) exit();
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}
template <typename Proc> Proc Vst3Module::symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    return reinterpret_cast<Proc>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
}
#else
void* Vst3Module::load(const char* path) {
    handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    auto entry = symbol<ModuleEntryProc>("ModuleEntry");
    return handle_ != nullptr && entry != nullptr && entry(handle_) ? handle_ : nullptr;
}
void Vst3Module::unload() {
    if (auto exit = symbol<ModuleExitProc>("ModuleExit")) exit();
    if (handle_ != nullptr) dlclose(handle_);
}
template <typename Proc> Proc Vst3Module::symbol(const char* name) const {
    return handle_ != nullptr ? reinterpret_cast<Proc>(dlsym(handle_, name)) : nullptr;
}
#endif

Vst3Module::Vst3Module(const char* path) {
    if (load(path) == nullptr) return;
    if (auto getFactory = symbol<GetFactoryProc>("GetPluginFactory")) factory_ = getFactory();
}

Vst3Module::~Vst3Module() {
    if (factory_ != nullptr) factory_->release();
    unload();
}
template ModuleEntryProc Vst3Module::symbol<ModuleEntryProc>(const char*) const;
template ModuleExitProc Vst3Module::symbol<ModuleExitProc>(const char*) const;

Instance::Instance(Vst3Module& module) {
    IPluginFactory* factory = module.factory();
    if (factory == nullptr) throw std::runtime_error("the VST 3 module did not load");
    PClassInfo info{};
    factory->getClassInfo(0, &info);
    void* obj = nullptr;
    if (factory->createInstance(info.cid, IComponent::iid.bytes, &obj) != kResultOk)
        throw std::runtime_error("no component");
    component = static_cast<IComponent*>(obj);
    component->initialize(nullptr);
    component->queryInterface(IAudioProcessor::iid.bytes, reinterpret_cast<void**>(&processor));
    component->queryInterface(IEditController::iid.bytes, reinterpret_cast<void**>(&controller));
    component->queryInterface(IUnitInfo::iid.bytes, reinterpret_cast<void**>(&units));
}

Instance::~Instance() {
    if (processor != nullptr) processor->setProcessing(0);
    component->setActive(0);
    component->terminate();
    for (FUnknown* i : std::initializer_list<FUnknown*>{units, controller, processor})
        if (i != nullptr) i->release();
    component->release();
}

void Instance::start(double rate, int32_t maxBlock) {
    ProcessSetup setup{kRealtime, kSample32, maxBlock, rate};
    processor->setupProcessing(setup);
    component->setActive(1);
    processor->setProcessing(1);
}

// ---------------------------------------------------------------- stream

tresult MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
    const int64_t left = static_cast<int64_t>(bytes.size()) - position;
    const auto n =
        static_cast<int32>(std::max<int64_t>(0, std::min<int64_t>({numBytes, left, chunk})));
    if (n > 0) std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(n));
    position += n;
    if (numBytesRead != nullptr) *numBytesRead = n;
    return kResultOk;
}

tresult MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
    const int32 n = std::max(0, std::min(numBytes, chunk));
    if (bytes.size() < static_cast<size_t>(position + n))
        bytes.resize(static_cast<size_t>(position + n));
    if (n > 0) std::memcpy(bytes.data() + position, buffer, static_cast<size_t>(n));
    position += n;
    if (numBytesWritten != nullptr) *numBytesWritten = n;
    return kResultOk;
}

tresult MemoryStream::seek(int64 pos, int32 mode, int64* result) {
    const int64 base = mode == kIBSeekCur   ? position
                       : mode == kIBSeekEnd ? static_cast<int64>(bytes.size())
                                            : 0;
    position = std::max<int64>(0, base + pos);
    if (result != nullptr) *result = position;
    return kResultOk;
}

tresult MemoryStream::tell(int64* pos) {
    if (pos == nullptr) return kInvalidArgument;
    *pos = position;
    return kResultOk;
}

// ---------------------------------------------------------------- parameter changes

tresult ParamQueue::getPoint(int32 index, int32& offset, ParamValue& value) {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    offset = points[static_cast<size_t>(index)].first;
    value = points[static_cast<size_t>(index)].second;
    return kResultOk;
}

tresult ParamQueue::addPoint(int32 offset, ParamValue value, int32& index) {
    index = getPointCount();
    points.emplace_back(offset, value);
    return kResultOk;
}

ParamChanges& ParamChanges::add(ParamID id, int32_t offset, double value) {
    int32 index = 0;
    int32 point = 0;
    addParameterData(id, index)->addPoint(offset, value, point);
    return *this;
}

double ParamChanges::last(ParamID id) const {
    for (const ParamQueue& q : queues)
        if (q.id == id && !q.points.empty()) return q.points.back().second;
    return -1.0;
}

IParamValueQueue* ParamChanges::getParameterData(int32 index) {
    if (index < 0 || index >= getParameterCount()) return nullptr;
    return &queues[static_cast<size_t>(index)];
}

IParamValueQueue* ParamChanges::addParameterData(const ParamID& id, int32& index) {
    for (size_t i = 0; i < queues.size(); ++i) {
        if (queues[i].id == id) {
            index = static_cast<int32>(i);
            return &queues[i];
        }
    }
    queues.emplace_back();
    queues.back().id = id;
    index = static_cast<int32>(queues.size() - 1);
    return &queues.back();
}

// ---------------------------------------------------------------- component handler

tresult ComponentHandler::beginEdit(ParamID id) {
    calls.push_back("b" + std::to_string(id));
    return kResultOk;
}

tresult ComponentHandler::performEdit(ParamID id, ParamValue value) {
    char text[48];
    std::snprintf(text, sizeof text, "p%u=%g", id, value);
    calls.emplace_back(text);
    return kResultOk;
}

tresult ComponentHandler::endEdit(ParamID id) {
    calls.push_back("e" + std::to_string(id));
    return kResultOk;
}

tresult ComponentHandler::restartComponent(int32 flags) {
    calls.push_back("r" + std::to_string(flags));
    return kResultOk;
}

// ---------------------------------------------------------------- block

StereoBlock::StereoBlock(int32_t frames) {
    for (int c = 0; c < 2; ++c) {
        in[c].assign(static_cast<size_t>(frames), 0.0f);
        out[c].assign(static_cast<size_t>(frames), 0.0f);
        inPtr[c] = in[c].data();
        outPtr[c] = out[c].data();
    }
    inBus.numChannels = 2;
    inBus.channelBuffers32 = inPtr;
    outBus.numChannels = 2;
    outBus.channelBuffers32 = outPtr;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.inputParameterChanges = &inChanges;
    data.outputParameterChanges = &outChanges;
}

void StereoBlock::fillSignal(int64_t start, float gain) {
    for (size_t i = 0; i < in[0].size(); ++i) {
        const double t = static_cast<double>(start + static_cast<int64_t>(i));
        in[0][i] = gain * static_cast<float>(std::sin(t * 0.031) * std::sin(t * 0.0007));
        in[1][i] = gain * static_cast<float>(std::cos(t * 0.047) * std::sin(t * 0.0011));
    }
}

// ---------------------------------------------------------------- texts

std::string displayText(IEditController* controller, ParamID id, double normalized) {
    String128 text{};
    if (controller->getParamStringByValue(id, normalized, text) != kResultOk) return "<refused>";
    std::string out;
    for (const char16* c = text; *c != 0; ++c)
        out += static_cast<char>(*c);
    return out;
}

std::u16string u16(const char* text) {
    std::u16string out;
    for (; *text != '\0'; ++text)
        out += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return out;
}

} // namespace qx::vst3::test
