#include "host/HostSession.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

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

void* openModule(const std::string& path, std::string& error) {
#if defined(_WIN32)
    HMODULE m = LoadLibraryA(path.c_str());
    if (m == nullptr) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(m);
#else
    void* m = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m == nullptr) error = dlerror();
    return m;
#endif
}

void* findSymbol(void* module, const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
    return dlsym(module, name);
#endif
}

void closeModule(void* module) {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(module));
#else
    dlclose(module);
#endif
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

std::vector<AutomationCall> HostSession::takeAutomation() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<AutomationCall> out;
    out.swap(automation_);
    return out;
}

std::vector<int32_t> HostSession::takeOpcodes() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int32_t> out;
    out.swap(opcodes_);
    return out;
}

intptr_t QX_CALL HostSession::callback(AEffect* effect, int32_t opcode, int32_t index,
                                       intptr_t value, void* ptr, float opt) {
    HostSession* s = sessionFor(effect);
    if (s == nullptr) return opcode == qx::audioMasterVersion ? 2400 : 0;
    return s->answer(opcode, index, value, ptr, opt);
}

intptr_t HostSession::answer(int32_t opcode, int32_t index, intptr_t value, void*, float opt) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        opcodes_.push_back(opcode);
        if (opcode == qx::audioMasterAutomate) automation_.push_back({index, opt});
    }
    switch (opcode) {
    case qx::audioMasterVersion:
        return versionAnswer;
    case qx::audioMasterPinConnected:
        if (index >= 0 && index < 2 && (value == 0 || value == 1)) return pinAnswer[value][index];
        return 1;
    default:
        return 0;
    }
}

int32_t findParameter(HostSession& s, const std::string& name) {
    auto norm = [](std::string t) {
        const auto b = t.find_first_not_of(" \t");
        const auto e = t.find_last_not_of(" \t");
        t = b == std::string::npos ? std::string() : t.substr(b, e - b + 1);
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    const std::string wanted = norm(name);
    if (s.effect() == nullptr) return -1;
    for (int32_t i = 0; i < s.effect()->numParams; ++i)
        if (norm(s.text(qx::effGetParamName, i)) == wanted) return i;
    return -1;
}

bool setParameterByName(HostSession& s, const std::string& assignment, std::string& error) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos) {
        error = "expected NAME=VALUE, got '" + assignment + "'";
        return false;
    }
    const std::string name = assignment.substr(0, eq);
    const std::string text = assignment.substr(eq + 1);
    const int32_t index = findParameter(s, name);
    if (index < 0) {
        error = "unknown parameter '" + name + "'";
        return false;
    }
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(v) || v < 0.0 || v > 1.0) {
        error = "value for '" + name + "' must be a number from 0 to 1, got '" + text + "'";
        return false;
    }
    s.effect()->setParameter(s.effect(), index, static_cast<float>(v));
    return true;
}

} // namespace qxhost
