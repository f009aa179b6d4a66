#pragma once
// A minimal host: loads a plug-in module the way a sequencer does (dlopen / LoadLibrary, the
// exported entry, the record) and answers and records its callbacks (RecordingHost). Used by the
// command-line host (as its VST 2 PluginSession) and by the interface tests.

#include "host/PluginSession.h"
#include "host/RecordingHost.h"
#include "plugin/AEffect.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace qxhost {

class HostSession : public RecordingHost, public PluginSession {
public:
    HostSession() = default;
    ~HostSession() override;
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
    const std::string& error() const override { return error_; }
    using EntryProc = AEffect*(QX_CALL*)(HostCallback);
    EntryProc entry() const { return entry_; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    std::string text(int32_t opcode, int32_t index = 0);

    // The callback every effect of a session gets; it answers through that session.
    static intptr_t QX_CALL callback(AEffect* effect, int32_t opcode, int32_t index,
                                     intptr_t value, void* ptr, float opt);

    // PluginSession: load and create; the effect's own calls. process() first drops the record of
    // the previous block's host calls (pin queries), so a long file's record does not pile up.
    bool open(const std::string& path) override { return load(path) && create() != nullptr; }
    void printInfo(std::FILE* out) override;
    int32_t parameterCount() override { return effect_ != nullptr ? effect_->numParams : 0; }
    std::string parameterName(int32_t index) override;
    std::string parameterText(int32_t index) override;
    std::string parameterLabel(int32_t index) override;
    float parameter(int32_t index) override;
    void setParameter(int32_t index, float value) override;
    bool selectProgram(int32_t program) override;
    void startProcessing(double sampleRate, int32_t maxFrames) override;
    void process(float* const* inputs, float* const* outputs, int32_t frames,
                 bool accumulate) override;
    void stopProcessing() override { dispatch(qx::effMainsChanged, 0, 0); }
    intptr_t privateRequest(int32_t index, intptr_t command, void* ptr) override {
        return dispatch(qx::effVendorSpecific, index, command, ptr);
    }

private:
    void* module_ = nullptr;
    EntryProc entry_ = nullptr;
    AEffect* effect_ = nullptr;
    std::string error_;
};

} // namespace qxhost
