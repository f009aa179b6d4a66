#pragma once
// A minimal host: loads a plug-in module the way a sequencer does (dlopen / LoadLibrary, the
// exported entry, the record) and answers its callbacks. Used by the command-line host and by
// the interface tests.

#include "plugin/AEffect.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace qxhost {

struct AutomationCall {
    int32_t index;
    float value;
};

class HostSession {
public:
    HostSession() = default;
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Loads the module and resolves its entry ("VSTPluginMain", else "main"). False with
    // error() set on failure.
    bool load(const std::string& path);
    // Calls the entry; null when the plug-in refuses. The session owns at most one effect.
    AEffect* create();
    // Sends effClose and forgets the effect; returns the plug-in's answer (0 without an effect).
    intptr_t destroy();
    // Unloads the module (destroys the effect first).
    void unload();

    AEffect* effect() const { return effect_; }
    const std::string& error() const { return error_; }
    using EntryProc = AEffect*(QX_CALL*)(HostCallback);
    EntryProc entry() const { return entry_; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    std::string text(int32_t opcode, int32_t index = 0);

    // Host answers, settable by tests.
    intptr_t versionAnswer = 2400;
    // Answer to audioMasterPinConnected per [direction][pin]: 0 connected, 1 not.
    intptr_t pinAnswer[2][2] = {{0, 0}, {0, 0}};

    // Automation calls received since the last take, in order (any thread may add).
    std::vector<AutomationCall> takeAutomation();
    // Every host opcode received, in order (for tests of what the plug-in asks).
    std::vector<int32_t> takeOpcodes();

    static intptr_t QX_CALL callback(AEffect* effect, int32_t opcode, int32_t index,
                                     intptr_t value, void* ptr, float opt);

private:
    intptr_t answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    void* module_ = nullptr;
    EntryProc entry_ = nullptr;
    AEffect* effect_ = nullptr;
    std::string error_;
    std::mutex mutex_;
    std::vector<AutomationCall> automation_;
    std::vector<int32_t> opcodes_;
};

// Parameter lookup by the name the host shows (case-insensitive, blanks trimmed); -1 if none.
int32_t findParameter(HostSession& s, const std::string& name);

// Applies "NAME=VALUE" (VALUE a number from 0 to 1) through the record's setParameter.
// False with a one-line reason in `error` when the name is unknown or the value is not a number
// in range.
bool setParameterByName(HostSession& s, const std::string& assignment, std::string& error);

} // namespace qxhost
