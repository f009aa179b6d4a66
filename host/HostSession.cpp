#include "host/HostSession.h"

#include "host/ModuleLibrary.h"

#include <algorithm>

namespace qxhost {

namespace {

// Plug-ins call back before `main` has returned their record (program 0 is selected during
// construction), so the session being constructed is found through this pointer; afterwards
// by the record's address.
std::mutex registryMutex;
std::vector<std::pair<AEffect*, HostSession*>> registry;
thread_local HostSession* constructing = nullptr;

HostSession* sessionFor(AEffect* e) {
    if (constructing != nullptr) return constructing;
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto& p : registry)
        if (p.first == e) return p.second;
    return nullptr;
}

} // namespace

HostSession::~HostSession() { unload(); }

bool HostSession::load(const std::string& path) {
    unload();
    module_ = openModule(path, error_);
    if (module_ == nullptr) return false;
    void* sym = findSymbol(module_, "VSTPluginMain");
    if (sym == nullptr) sym = findSymbol(module_, "main");
    if (sym == nullptr) {
        error_ = path + " exports no plug-in entry";
        unload();
        return false;
    }
    entry_ = reinterpret_cast<EntryProc>(sym);
    return true;
}

AEffect* HostSession::create() {
    if (entry_ == nullptr || effect_ != nullptr) return effect_;
    constructing = this;
    AEffect* e = entry_(&HostSession::callback);
    constructing = nullptr;
    if (e == nullptr) {
        error_ = "the plug-in refused to start";
        return nullptr;
    }
    effect_ = e;
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.emplace_back(e, this);
    return e;
}

intptr_t HostSession::destroy() {
    if (effect_ == nullptr) return 0;
    const intptr_t answer = effect_->dispatcher(effect_, qx::effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.erase(std::remove_if(registry.begin(), registry.end(),
                                  [this](auto& p) { return p.second == this; }),
                   registry.end());
    effect_ = nullptr;
    return answer;
}

void HostSession::unload() {
    destroy();
    if (module_ != nullptr) closeModule(module_);
    module_ = nullptr;
    entry_ = nullptr;
}

intptr_t HostSession::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
    if (effect_ == nullptr) return 0;
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostSession::text(int32_t opcode, int32_t index) {
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer, 0.0f);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

} // namespace

std::string HostSession::parameterName(int32_t index) {
    return trimmed(text(qx::effGetParamName, index));
}

std::string HostSession::parameterText(int32_t index) {
    return text(qx::effGetParamDisplay, index);
}

std::string HostSession::parameterLabel(int32_t index) {
    return text(qx::effGetParamLabel, index);
}

float HostSession::parameter(int32_t index) {
    return effect_ != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

void HostSession::setParameter(int32_t index, float value) {
    if (effect_ != nullptr) effect_->setParameter(effect_, index, value);
}

bool HostSession::selectProgram(int32_t program) {
    if (effect_ == nullptr || program < 0 || program >= effect_->numPrograms) return false;
    dispatch(qx::effSetProgram, 0, program);
    return true;
}

void HostSession::startProcessing(double sampleRate, int32_t maxFrames) {
    dispatch(qx::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(qx::effSetBlockSize, 0, maxFrames);
    dispatch(qx::effMainsChanged, 0, 1);
}

void HostSession::process(float* const* inputs, float* const* outputs, int32_t frames,
                          bool accumulate) {
    if (effect_ == nullptr) return;
    takeCalls();
    float** in = const_cast<float**>(inputs);
    float** out = const_cast<float**>(outputs);
    if (accumulate)
        effect_->process(effect_, in, out, frames);
    else
        effect_->processReplacing(effect_, in, out, frames);
}

intptr_t QX_CALL HostSession::callback(AEffect* effect, int32_t opcode, int32_t index,
                                       intptr_t value, void* ptr, float opt) {
    HostSession* s = sessionFor(effect);
    if (s == nullptr) return opcode == qx::audioMasterVersion ? 2400 : 0;
    return s->answer(opcode, index, value, ptr, opt);
}

} // namespace qxhost
